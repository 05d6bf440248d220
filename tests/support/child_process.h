// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Running a piece of a test in a child process: as an ordinary user when the tests run as
// root (root bypasses file modes and would hide faults), or under limits that must not touch
// the test program itself (a maximal file size).

#include <grp.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <string>

namespace veka::test {

inline constexpr uid_t kNobody = 65534;

inline bool runningAsRoot() {
    return ::geteuid() == 0;
}

// Gives a file or folder (not following links) to the user the child becomes; nothing to do
// unless the tests run as root.
inline void giveToChild(const std::filesystem::path& path) {
    if (runningAsRoot() && ::lchown(path.c_str(), kNobody, kNobody) != 0)
        ADD_FAILURE() << "lchown " << path;
}

struct ChildSetup {
    bool dropRoot = true;     // become nobody when running as root
    off_t maxFileBytes = -1;  // RLIMIT_FSIZE for the child, -1 for none
};

// Runs fn in a forked child and returns what it reported: "" when all went well, else its
// words, or a note that the child ended abnormally.
inline std::string inChild(const ChildSetup& setup, const std::function<std::string()>& fn) {
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) return "pipe failed";
    const pid_t child = ::fork();
    if (child < 0) return "fork failed";
    if (child == 0) {
        ::close(pipeFds[0]);
        std::string report;
        if (setup.dropRoot && runningAsRoot() &&
            (::setgroups(0, nullptr) != 0 || ::setresgid(kNobody, kNobody, kNobody) != 0 ||
             ::setresuid(kNobody, kNobody, kNobody) != 0))
            report = "could not drop root";
        if (report.empty() && setup.maxFileBytes >= 0) {
            ::signal(SIGXFSZ, SIG_IGN);  // a write over the limit fails with EFBIG instead
            const rlimit limit{static_cast<rlim_t>(setup.maxFileBytes),
                               static_cast<rlim_t>(setup.maxFileBytes)};
            if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) report = "setrlimit failed";
        }
        if (report.empty()) report = fn();
        ssize_t ignored = ::write(pipeFds[1], report.data(), report.size());
        (void)ignored;
        ::_exit(0);
    }
    ::close(pipeFds[1]);
    std::string report;
    char buffer[4096];
    for (ssize_t n; (n = ::read(pipeFds[0], buffer, sizeof buffer)) != 0;) {
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) break;
        report.append(buffer, static_cast<size_t>(n));
    }
    ::close(pipeFds[0]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        report += " [child ended with status " + std::to_string(status) + "]";
    return report;
}

}  // namespace veka::test
