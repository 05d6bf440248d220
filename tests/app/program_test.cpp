// SPDX-License-Identifier: GPL-3.0-or-later
// The built program as a process: help, version, the port list and usage errors never open a
// window or create a file; a device the user may not open is named with the reason.
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>
#include <filesystem>

#include "simulator.h"
#include "support/pty_device.h"
#include "support/run_program.h"
#include "support/work_dir.h"

namespace veka::test {
namespace {

namespace fs = std::filesystem;

size_t entriesIn(const fs::path& dir) {
    size_t n = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir)) ++n;
    return n;
}

// A folder nobody/nogroup may work in (the work folder itself is root's when run as root).
void openToEveryone(const fs::path& dir) {
    ::chmod(dir.c_str(), 0777);
}

struct Expect {
    std::vector<std::string> args;
    int exitCode;
    const char* out;
    const char* err;
};

class ProgramExits : public testing::TestWithParam<Expect> {};

TEST_P(ProgramExits, WithoutWindowOrFile) {
    WorkDir dir;
    openToEveryone(dir.path());
    std::vector<std::string> args = {VEKA_BINARY};
    args.insert(args.end(), GetParam().args.begin(), GetParam().args.end());
    // No display at all: a window attempt would fail loudly.
    const ProgramRun run =
        runProgram(args, dir.path().string(), true,
                   {{"QT_QPA_PLATFORM", "none-such"}, {"XDG_CONFIG_HOME", dir.path().string()}});
    EXPECT_EQ(run.exitCode, GetParam().exitCode) << run.err;
    EXPECT_NE(run.out.find(GetParam().out), std::string::npos) << run.out;
    EXPECT_NE(run.err.find(GetParam().err), std::string::npos) << run.err;
    EXPECT_EQ(entriesIn(dir.path()), 0u) << "a file was created in the working folder";
}

const Expect kExits[] = {
    {{"--help"}, 0, "Usage: veka [OPTIONS] [CONFIG-FILE]", ""},
    {{"-h", "other.cfg"}, 0, "--port DEVICE", ""},
    {{"--version"}, 0, "veka 1.", ""},
    {{"-v"}, 0, "veka ", ""},
    {{"--bogus"}, 2, "", "veka: unrecognised option '--bogus'\nTry 'veka --help'.\n"},
    {{"--sweep", "--out", "a.csv", "--count", "x"}, 2, "", "invalid value 'x' for --count"},
    {{"--list-ports"}, 0, "", ""},
};
INSTANTIATE_TEST_SUITE_P(Program, ProgramExits, testing::ValuesIn(kExits));

// Output that cannot be written: one line on standard error and status 1.
TEST(Program, StandardOutputFailures) {
    WorkDir dir;
    openToEveryone(dir.path());
    fs::create_symlink("/nonexistent/tty", dir.path() / "COM4");  // one line to list
    const struct {
        const char* args;
        const char* redirect;
        const char* reason;
    } cases[] = {
        {"--version", ">/dev/full", "No space left on device"},
        {"--help", ">&-", "Bad file descriptor"},
        {"--list-ports", ">&-", "Bad file descriptor"},
        {"--list-ports", ">/dev/full", "No space left on device"},
    };
    for (const auto& c : cases) {
        const std::string line = std::string("exec \"$0\" ") + c.args + " " + c.redirect;
        const ProgramRun run =
            runProgram({"/bin/sh", "-c", line, VEKA_BINARY}, dir.path().string(), true);
        EXPECT_EQ(run.exitCode, 1) << line;
        EXPECT_EQ(run.err,
                  std::string("veka: cannot write to standard output: ") + c.reason + "\n");
    }
}

TEST(Program, ListsPortsWithTheirState) {
    PtyDevice device;
    ASSERT_TRUE(device.forbidNormalUsers());
    WorkDir dir;
    openToEveryone(dir.path());
    fs::create_symlink(device.path(), dir.path() / "COM3");
    fs::create_symlink("/nonexistent/tty", dir.path() / "COM4");
    vekasim::Options o;
    o.dir = dir.path().string();
    o.port = 5;
    vekasim::Simulator sim(o);
    std::string error;
    ASSERT_TRUE(sim.start(&error)) << error;
    ::chmod(sim.slavePath().c_str(), 0666);

    const std::string vekaBin = VEKA_BINARY;
    const ProgramRun user = runProgram({vekaBin, "--list-ports"}, dir.path().string(), true);
    EXPECT_EQ(user.exitCode, 0) << user.err;
    EXPECT_NE(user.out.find("/COM3 -> " + device.path() + ": permission denied\n"),
              std::string::npos)
        << user.out;
    EXPECT_NE(user.out.find("/COM4: not present\n"), std::string::npos) << user.out;
    EXPECT_NE(user.out.find("/COM5 -> " + sim.slavePath() + ": usable\n"), std::string::npos)
        << user.out;
    sim.stop();
}

TEST(Program, SaysWhyTheDeviceDoesNotOpen) {
    PtyDevice device;
    ASSERT_TRUE(device.forbidNormalUsers());
    WorkDir dir;
    openToEveryone(dir.path());
    const std::string expected = "veka: " + device.path() +
                                 ": permission denied \u2014 add your user to the group 'dialout' "
                                 "and log in again\n";
    const ProgramRun run =
        runProgram({VEKA_BINARY, "--port", device.path()}, dir.path().string(), true,
                   {{"QT_QPA_PLATFORM", "offscreen"}, {"XDG_CONFIG_HOME", dir.path().string()}},
                   errorSays(expected));
    EXPECT_NE(run.err.find(expected), std::string::npos) << run.err;
}

// The simulator linked in one folder, the program working in another: --port reaches it.
TEST(Program, PortGivenForTheRunInAnotherFolder) {
    WorkDir simFolder;
    vekasim::Options o;
    o.dir = simFolder.path().string();
    vekasim::Simulator sim(o);
    std::string error;
    ASSERT_TRUE(sim.start(&error)) << error;
    WorkDir programFolder;
    const ProgramRun run = runProgram(
        {VEKA_BINARY, "--port", (simFolder.path() / "COM2").string()},
        programFolder.path().string(), false,
        {{"QT_QPA_PLATFORM", "offscreen"}, {"XDG_CONFIG_HOME", programFolder.path().string()}},
        [&sim](const ProgramRun&) { return sim.exchangeCount() >= 1; });
    EXPECT_GE(sim.exchangeCount(), 1u) << run.err;
    EXPECT_EQ(run.err.find("veka:"), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(programFolder.path() / "COM2"));
    sim.stop();
}

}  // namespace
}  // namespace veka::test
