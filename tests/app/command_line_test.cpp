// SPDX-License-Identifier: GPL-3.0-or-later
// The command line as argument lists: what runs, what ends at once, and with which text.
#include "app/command_line.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace veka {
namespace {

CommandLine parse(std::vector<QString> args) {
    QStringList list{"veka"};
    for (const auto& a : args) list << a;
    return parseCommandLine(list);
}

struct ExitCase {
    std::vector<QString> args;
    int exitCode;
    const char* out;  // expected in standard output (empty: nothing there)
    const char* err;  // expected in standard error (empty: nothing there)
};

class ExitTable : public testing::TestWithParam<ExitCase> {};

TEST_P(ExitTable, EndsAtOnceWithItsText) {
    const ExitCase& c = GetParam();
    const CommandLine r = parse(c.args);
    EXPECT_EQ(r.next, CommandLine::Next::Exit);
    EXPECT_EQ(r.exitCode, c.exitCode);
    if (*c.out == '\0')
        EXPECT_TRUE(r.out.empty()) << r.out;
    else
        EXPECT_NE(r.out.find(c.out), std::string::npos) << r.out;
    if (*c.err == '\0') {
        EXPECT_TRUE(r.err.empty()) << r.err;
    } else {
        EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
        // One line of error, then the hint.
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 2) << r.err;
        EXPECT_TRUE(r.err.ends_with("Try 'veka --help'.\n")) << r.err;
    }
}

const ExitCase kExits[] = {
    {{"--help"}, 0, "Usage: veka [OPTIONS] [CONFIG-FILE]", ""},
    {{"-h"}, 0, "--list-ports", ""},
    {{"my.cfg", "--help"}, 0, "Usage:", ""},
    {{"--version"}, 0, "veka 1.", ""},
    {{"-v"}, 0, "veka ", ""},
    {{"--bogus"}, 2, "", "veka: unrecognised option '--bogus'"},
    {{"-x"}, 2, "", "unrecognised option '-x'"},
    {{"-hx"}, 2, "", "unrecognised option '-x'"},
    {{"--port"}, 2, "", "--port"},
    {{"--port", "--help"}, 2, "", "looks like an option"},
    {{"--port", ""}, 2, "", "--port needs a name"},
    {{"--sweep"}, 2, "", "--sweep needs --out FILE"},
    {{"--out", "a.csv"}, 2, "", "--out needs --sweep"},
    {{"--linear"}, 2, "", "--linear needs --sweep"},
    {{"--points", "10"}, 2, "", "--points needs --sweep"},
    {{"--sweep", "--out", "-a.csv"}, 2, "", "write ./-a.csv"},
    {{"--sweep", "--out", "a.csv", "--count", "0"}, 2, "", "invalid value '0' for --count"},
    {{"--sweep", "--out", "a.csv", "--count", "2x"}, 2, "", "invalid value '2x' for --count"},
    {{"--sweep", "--out", "a.csv", "--count", " 2"}, 2, "", "invalid value ' 2' for --count"},
    {{"--sweep", "--out", "a.csv", "--count", "+2"}, 2, "", "invalid value '+2'"},
    {{"--sweep", "--out", "a.csv", "--start", "10e6"}, 2, "", "invalid value '10e6' for --start"},
    {{"--sweep", "--out", "a.csv", "--start", "-1"}, 2, "", "invalid value '-1' for --start"},
    {{"--sweep", "--out", "a.csv", "--start", "2147483648"}, 2, "", "for --start"},
    {{"--sweep", "--out", "a.csv", "--step", "1.5"}, 2, "", "invalid value '1.5' for --step"},
    {{"--sweep", "--out", "a.csv", "--points", "301"}, 2, "", "'301' for --points"},
    {{"--sweep", "--out", "a.csv", "--points", "0"}, 2, "", "'0' for --points"},
    {{"--sweep", "--out", "a.csv", "--mode", "vfo"}, 2, "", "'vfo' for --mode"},
    // A stray word is no configuration in batch mode: it would be created or read as one.
    {{"--sweep", "--out", "a.csv", "b.png"}, 2, "", "'b.png' is no option"},
    {{"--sweep", "--out", "a.csv", "--step", "0"}, 2, "", "invalid value '0' for --step"},
    {{"--sweep", "--out", "a.csv", "--center", "1000"}, 2, "", "--center needs --span"},
    {{"--sweep", "--out", "a.csv", "--span", "1000"}, 2, "", "--center needs --span"},
    {{"--sweep", "--out", "a", "--center", "9", "--span", "2", "--start", "1"}, 2, "", "not both"},
    {{"--sweep", "--out", "a", "--stop", "9", "--step", "2", "--points", "5"}, 2, "", "all be"},
    {{"--sweep", "--out", "-", "--out", "-"}, 2, "", "--out - may be given once"},
    {{"--summary", "s.json"}, 2, "", "--summary needs --sweep"},
    {{"--config", "a.cfg", "b.cfg"}, 2, "", "either with --config"},
    {{"--sweep", "--out", "a.csv", "--mode", "Reflection"}, 2, "", "for --mode"},
    {{"--sweep", "--out", "a.csv", "--remote", "5025"}, 2, "", "cannot be used together"},
    {{"--no-window"}, 2, "", "--no-window needs --remote"},
    {{"--remote", "0"}, 2, "", "invalid value '0' for --remote"},
    {{"--remote", "65536"}, 2, "", "for --remote"},
    {{"--remote", "host:"}, 2, "", "for --remote"},
    {{"--remote", ":5025"}, 2, "", "needs an address"},
    {{"--remote", "::1:5025"}, 2, "", "in brackets"},
    {{"--remote", "port"}, 2, "", "invalid address 'port' for --remote"},
    {{"--remote", "not-an-address:5025"}, 2, "", "invalid address 'not-an-address'"},
    {{"--remote", "0.0.0.0:5025"}, 2, "", "needs --remote-allow NET/PREFIX"},
    {{"--remote", "[::]", "--remote-allow", "10.0.0.0/33"}, 2, "", "invalid value '10.0.0.0/33'"},
    {{"--remote-allow", "10.0.0.0/8"}, 2, "", "--remote-allow needs --remote"},
};
INSTANTIATE_TEST_SUITE_P(CommandLine, ExitTable, testing::ValuesIn(kExits));

struct RunCase {
    std::vector<QString> args;
    std::function<void(const ProgramOptions&)> check;
};

class RunTable : public testing::TestWithParam<RunCase> {};

TEST_P(RunTable, RunsWithTheseOptions) {
    const CommandLine r = parse(GetParam().args);
    ASSERT_EQ(r.next, CommandLine::Next::Run) << r.err;
    EXPECT_TRUE(r.out.empty());
    EXPECT_TRUE(r.err.empty());
    GetParam().check(r.options);
}

const RunCase kRuns[] = {
    {{},
     [](const ProgramOptions& o) {
         EXPECT_FALSE(o.configFile);
         EXPECT_FALSE(o.port);
         EXPECT_FALSE(o.lang);
         EXPECT_FALSE(o.listPorts || o.sweep || o.remote || o.noWindow);
     }},
    {{"my.cfg"}, [](const ProgramOptions& o) { EXPECT_EQ(o.configFile, "my.cfg"); }},
    // Further positional arguments are ignored, as before.
    {{"a.cfg", "b.cfg"}, [](const ProgramOptions& o) { EXPECT_EQ(o.configFile, "a.cfg"); }},
    {{"--", "-name.cfg"}, [](const ProgramOptions& o) { EXPECT_EQ(o.configFile, "-name.cfg"); }},
    {{"./-name.cfg"}, [](const ProgramOptions& o) { EXPECT_EQ(o.configFile, "./-name.cfg"); }},
    {{"-"}, [](const ProgramOptions& o) { EXPECT_EQ(o.configFile, "-"); }},
    {{"x.cfg", "--port", "/dev/ttyUSB0"},
     [](const ProgramOptions& o) {
         EXPECT_EQ(o.configFile, "x.cfg");
         EXPECT_EQ(o.port, "/dev/ttyUSB0");
     }},
    {{"--port=/dev/ttyACM1"}, [](const ProgramOptions& o) { EXPECT_EQ(o.port, "/dev/ttyACM1"); }},
    {{"--list-ports"}, [](const ProgramOptions& o) { EXPECT_TRUE(o.listPorts); }},
    // Language sections may start with '-'.
    {{"--lang", "-DL"}, [](const ProgramOptions& o) { EXPECT_EQ(o.lang, "-DL"); }},
    {{"--lang=English"}, [](const ProgramOptions& o) { EXPECT_EQ(o.lang, "English"); }},
    {{"--sweep", "--out", "a.csv", "--out=b.png", "--config", "c.cfg"},
     [](const ProgramOptions& o) {
         EXPECT_TRUE(o.sweep);
         EXPECT_EQ(o.count, 1);
         EXPECT_EQ(o.outFiles, (std::vector<std::string>{"a.csv", "b.png"}));
         EXPECT_EQ(o.configFile, "c.cfg");
         EXPECT_FALSE(o.start || o.step || o.points || o.messart || o.linear);
     }},
    {{"--sweep", "--out", "a.csv", "--count", "5", "--start", "7000000", "--step", "1", "--points",
      "300", "--mode", "reflection", "--linear"},
     [](const ProgramOptions& o) {
         EXPECT_EQ(o.count, 5);
         EXPECT_EQ(o.start, 7000000);
         EXPECT_EQ(o.step, 1);
         EXPECT_EQ(o.points, 300);
         EXPECT_EQ(o.messart, 2);
         EXPECT_TRUE(o.linear);
     }},
    {{"--sweep", "--out", "a", "--mode", "spectrum", "--start", "2147483647"},
     [](const ProgramOptions& o) {
         EXPECT_EQ(o.messart, 3);
         EXPECT_EQ(o.start, 2147483647);
     }},
    {{"--sweep", "--out", "a", "--mode", "transmission"},
     [](const ProgramOptions& o) { EXPECT_EQ(o.messart, 1); }},
    {{"--sweep", "--out", "-", "--summary", "s.json", "--center", "10700000", "--span", "20000"},
     [](const ProgramOptions& o) {
         EXPECT_EQ(o.outFiles, std::vector<std::string>{"-"});
         EXPECT_TRUE(o.toStdout);
         EXPECT_EQ(o.summaryFile, "s.json");
         EXPECT_EQ(o.center, 10700000);
         EXPECT_EQ(o.span, 20000);
     }},
    {{"--sweep", "--summary", "s.json", "--start", "1", "--stop", "2"},
     [](const ProgramOptions& o) { EXPECT_EQ(o.stop, 2); }},
    {{"--config", "my.cfg"}, [](const ProgramOptions& o) { EXPECT_EQ(o.configFile, "my.cfg"); }},
    {{"--remote", "5025"},
     [](const ProgramOptions& o) {
         ASSERT_TRUE(o.remote);
         EXPECT_EQ(o.remote->address, "127.0.0.1");
         EXPECT_FALSE(o.remote->addressGiven);
         EXPECT_EQ(o.remote->port, 5025);
         EXPECT_FALSE(o.noWindow);
     }},
    {{"--remote", "0.0.0.0:65535", "--no-window", "--remote-allow=10.1.0.0/16"},
     [](const ProgramOptions& o) {
         ASSERT_TRUE(o.remote);
         EXPECT_EQ(o.remote->address, "0.0.0.0");
         EXPECT_TRUE(o.remote->addressGiven);
         EXPECT_EQ(o.remote->port, 65535);
         EXPECT_EQ(o.remote->allowed, std::vector<std::string>{"10.1.0.0/16"});
         EXPECT_TRUE(o.noWindow);
     }},
    {{"--remote", "--no-window"},
     [](const ProgramOptions& o) {
         ASSERT_TRUE(o.remote);
         EXPECT_EQ(o.remote->address, "127.0.0.1");
         EXPECT_EQ(o.remote->port, 5025);
         EXPECT_TRUE(o.noWindow);
     }},
    {{"a.cfg", "--remote"}, [](const ProgramOptions& o) { EXPECT_EQ(o.remote->port, 5025); }},
    {{"--remote", "localhost"},
     [](const ProgramOptions& o) {
         EXPECT_EQ(o.remote->address, "localhost");
         EXPECT_EQ(o.remote->port, 5025);
     }},
    {{"--remote=[::1]:1"},
     [](const ProgramOptions& o) {
         ASSERT_TRUE(o.remote);
         EXPECT_EQ(o.remote->address, "::1");
         EXPECT_EQ(o.remote->port, 1);
     }},
};
INSTANTIATE_TEST_SUITE_P(CommandLine, RunTable, testing::ValuesIn(kRuns));

TEST(CommandLine, NamesKeepTheirBytes) {
    const char* argv[] = {"veka", "--port", "/dev/tty\xff", "conf\xfe.cfg"};
    const CommandLine r = parseCommandLine(4, argv);
    ASSERT_EQ(r.next, CommandLine::Next::Run) << r.err;
    EXPECT_EQ(r.options.port, "/dev/tty\xff");
    EXPECT_EQ(r.options.configFile, "conf\xfe.cfg");
}

TEST(CommandLine, VersionComesFromTheBuild) {
    EXPECT_EQ(parse({"--version"}).out, "veka " + programVersion() + "\n");
    EXPECT_FALSE(programVersion().empty());
}

}  // namespace
}  // namespace veka
