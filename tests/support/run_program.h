// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Runs a program as a separate process in a given folder and collects its exit status,
// standard output and standard error. asUser drops to nobody/nogroup (when run as root) with
// setpriv, so that file modes and exclusive opens count as they do for a normal user.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace veka::test {

struct ProgramRun {
    int exitCode = -1;  // -1: did not end by itself
    int signal = 0;     // the signal that ended it, if one did
    std::string out;
    std::string err;
};

inline std::vector<std::string> withDroppedPrivileges(std::vector<std::string> args) {
    if (::geteuid() != 0) return args;
    std::vector<std::string> a = {"/usr/bin/setpriv", "--reuid=65534", "--regid=65534",
                                  "--clear-groups"};
    a.insert(a.end(), args.begin(), args.end());
    return a;
}

using StopWhen = std::function<bool(const ProgramRun&)>;
// Called while the program runs, e.g. to send it a signal at the right moment.
using WhileRunning = std::function<void(pid_t, const ProgramRun&)>;

// Reads both pipes until the program closes them, stopWhen holds, or 60 s pass.
inline void collect(int outFd, int errFd, ProgramRun& run, pid_t pid, const StopWhen& stopWhen,
                    const WhileRunning& whileRunning = {}) {
    pollfd fds[2] = {{outFd, POLLIN, 0}, {errFd, POLLIN, 0}};
    int open = 2;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (open > 0 && std::chrono::steady_clock::now() < deadline) {
        if (stopWhen && stopWhen(run)) break;
        if (whileRunning) whileRunning(pid, run);
        if (::poll(fds, 2, 20) < 0) break;
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || fds[i].revents == 0) continue;
            char buf[4096];
            const ssize_t n = ::read(fds[i].fd, buf, sizeof buf);
            if (n <= 0) {
                fds[i].fd = -1;
                --open;
                continue;
            }
            (i == 0 ? run.out : run.err).append(buf, static_cast<size_t>(n));
        }
    }
    ::kill(pid, SIGKILL);  // harmless when it has ended already
}

// Stops the program once its standard error holds text.
inline StopWhen errorSays(std::string text) {
    return [text = std::move(text)](const ProgramRun& r) {
        return r.err.find(text) != std::string::npos;
    };
}

using Environment = std::vector<std::pair<std::string, std::string>>;

// args[0] is the program; stopWhen, when given, ends it early.
inline ProgramRun runProgram(const std::vector<std::string>& call, const std::string& folder,
                             bool asUser, const Environment& env = {},
                             const StopWhen& stopWhen = {}, const WhileRunning& whileRunning = {},
                             int stdoutFd = -1) {
    const std::vector<std::string> args = asUser ? withDroppedPrivileges(call) : call;
    int outPipe[2], errPipe[2];
    if (::pipe2(outPipe, O_CLOEXEC) != 0 || ::pipe2(errPipe, O_CLOEXEC) != 0) return {};
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(stdoutFd >= 0 ? stdoutFd : outPipe[1], 1);
        ::dup2(errPipe[1], 2);
        if (::chdir(folder.c_str()) != 0) ::_exit(126);
        for (const auto& [k, v] : env) ::setenv(k.c_str(), v.c_str(), 1);
        std::vector<char*> argv;
        for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::dprintf(2, "cannot run %s\n", argv[0]);  // e.g. setpriv (util-linux) missing
        ::_exit(127);
    }
    ::close(outPipe[1]);
    ::close(errPipe[1]);
    ProgramRun run;
    collect(outPipe[0], errPipe[0], run, pid, stopWhen, whileRunning);
    ::close(outPipe[0]);
    ::close(errPipe[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (WIFEXITED(status)) run.exitCode = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) run.signal = WTERMSIG(status);
    return run;
}

}  // namespace veka::test
