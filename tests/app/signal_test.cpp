// SPDX-License-Identifier: GPL-3.0-or-later
// The built program as a normal user, ended by SIGTERM, SIGINT or SIGHUP in each state of the
// window and of the server without a window: it must end by itself with status 0 and leave
// the port unclaimed. Runs on an X server (under_window_manager.sh); boxes are found and keys
// pressed with xdotool.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>
#include <algorithm>
#include <csignal>
#include <thread>

#include "support/run_program.h"
#include "support/sim_room.h"

namespace veka::test {
namespace {

using namespace std::chrono_literals;
constexpr auto npos = std::string::npos;

enum class Front { Window, Server };
enum class State { StartupWait, StartupBox, Running, ModalBox };

struct Row {
    Front front;
    State state;
    int signal;
};

// Polls until done() holds; false after 30 s.
template <typename F>
bool waitFor(F done) {
    for (int i = 0; i < 600; ++i, std::this_thread::sleep_for(50ms))
        if (done()) return true;
    return false;
}

std::string xdotool(std::vector<std::string> args) {
    args.insert(args.begin(), "/usr/bin/xdotool");
    return runProgram(args, "/", false).out;
}

// The program's visible windows, one id a line.
std::string visibleWindows(pid_t pid) {
    return xdotool({"search", "--onlyvisible", "--pid", std::to_string(pid)});
}

uint16_t freePort() {
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    socklen_t n = sizeof a;
    ::bind(s, reinterpret_cast<sockaddr*>(&a), n);
    ::getsockname(s, reinterpret_cast<sockaddr*>(&a), &n);
    ::close(s);
    return ntohs(a.sin_port);
}

// Whether the terminal still carries an exclusive claim (root sees the flag, others EBUSY).
bool claimed(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return errno == EBUSY;
    int exclusive = 0;
    ::ioctl(fd, TIOCGEXCL, &exclusive);
    ::close(fd);
    return exclusive != 0;
}

class QuitBySignal : public testing::TestWithParam<Row> {};

TEST_P(QuitBySignal, EndsAndReleasesThePort) {
    const Row row = GetParam();
    if (row.front == Front::Window &&
        (!std::getenv("DISPLAY") || ::access("/usr/bin/xdotool", X_OK)))
        GTEST_SKIP() << "no X server or no xdotool";
    vekasim::Options o;
    o.silent = row.state == State::StartupWait || row.state == State::StartupBox;
    SimRoom room(o);
    ::chmod(room.dir.path().c_str(), 0777);
    ::chmod(room.sim->slavePath().c_str(), 0666);
    const uint16_t port = freePort();
    std::vector<std::string> args = withDroppedPrivileges({VEKA_BINARY});
    if (row.front == Front::Server)
        for (const char* a : {"--remote", "", "--no-window"})
            args.push_back(*a ? a : std::to_string(port));
    const std::string log = (room.dir.path() / "veka.log").string();
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::setenv("XDG_CONFIG_HOME", room.dir.path().c_str(), 1);
        const int out = ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::dup2(out, 1);
        ::dup2(out, 2);
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ASSERT_GT(pid, 0);

    const auto windows = [pid](long n) {
        return waitFor([&] {
            const std::string w = visibleWindows(pid);
            return std::count(w.begin(), w.end(), '\n') >= n;
        });
    };
    // Acts on the main window, which is the only one then; "W" stands for its id.
    const auto onWindow = [pid](std::vector<std::string> action) {
        std::string w = visibleWindows(pid);
        w = w.substr(0, w.find('\n'));
        std::replace(action.begin(), action.end(), std::string("W"), w);
        action.insert(action.begin(), {"windowactivate", "--sync", w});
        xdotool(action);
    };
    switch (row.state) {
        case State::StartupWait:
            EXPECT_TRUE(room.sim->waitForExchanges(1, std::chrono::seconds(30)));
            break;
        case State::StartupBox:  // the box is the only window while starting
            EXPECT_TRUE(windows(1));
            break;
        case State::Running:  // the server listens; the window sweeps after a click on "&Start"
            if (row.front == Front::Server) {
                EXPECT_TRUE(waitFor([&] { return fileContents(log).find("listening") != npos; }));
                break;
            }
            EXPECT_TRUE(windows(1));
            onWindow({"mousemove", "--window", "W", "700", "40", "click", "1"});
            EXPECT_TRUE(room.sim->waitForExchanges(20, std::chrono::seconds(30)));
            break;
        case State::ModalBox:  // F5: the start frequency's input box
            EXPECT_TRUE(windows(1));
            onWindow({"key", "F5"});
            EXPECT_TRUE(windows(2));
            break;
    }

    ::kill(pid, row.signal);
    int status = -1;
    if (!waitFor([&] { return ::waitpid(pid, &status, WNOHANG) == pid; })) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &status, 0);
        ADD_FAILURE() << "the program did not end";
    }
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status << "\n"
                                                               << fileContents(log);
    EXPECT_FALSE(claimed(room.sim->slavePath()));
}

const Row kRows[] = {
    {Front::Window, State::StartupWait, SIGHUP}, {Front::Window, State::StartupBox, SIGTERM},
    {Front::Window, State::StartupBox, SIGINT},  {Front::Window, State::StartupBox, SIGHUP},
    {Front::Window, State::Running, SIGHUP},     {Front::Window, State::ModalBox, SIGTERM},
    {Front::Window, State::ModalBox, SIGHUP},    {Front::Server, State::StartupWait, SIGTERM},
    {Front::Server, State::StartupWait, SIGHUP}, {Front::Server, State::Running, SIGINT},
    {Front::Server, State::Running, SIGHUP},
};
std::string rowName(const testing::TestParamInfo<Row>& info) {
    const char* states[] = {"StartupWait", "StartupBox", "Running", "ModalBox"};
    return std::string(info.param.front == Front::Window ? "Window" : "Server") +
           states[static_cast<int>(info.param.state)] + sigabbrev_np(info.param.signal);
}
INSTANTIATE_TEST_SUITE_P(Program, QuitBySignal, testing::ValuesIn(kRows), rowName);

}  // namespace
}  // namespace veka::test
