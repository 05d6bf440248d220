// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/uucp_lock.h"

#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>

namespace veka {

namespace {

// The device's own path, whatever name it was opened by.
std::string devicePathOf(int fd) {
    std::array<char, PATH_MAX> target{};
    const std::string link = "/proc/self/fd/" + std::to_string(fd);
    const ssize_t n = ::readlink(link.c_str(), target.data(), target.size() - 1);
    return n > 0 ? std::string(target.data(), static_cast<size_t>(n)) : std::string();
}

// The process a lock file names; nothing when it names none or cannot be read.
std::optional<pid_t> holderOf(const std::string& lockFile) {
    const int fd = ::open(lockFile.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    std::array<char, 32> bytes{};
    struct stat info {};
    const ssize_t n = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)
                          ? ::read(fd, bytes.data(), bytes.size() - 1)
                          : -1;
    ::close(fd);
    long pid = 0;
    if (n > 0 && std::strspn(bytes.data(), " 0123456789\n") == static_cast<size_t>(n)) {
        pid = std::strtol(bytes.data(), nullptr, 10);
    } else if (n == 4) {  // the old binary form
        int32_t binary = 0;
        std::memcpy(&binary, bytes.data(), sizeof binary);
        pid = binary;
    }
    if (pid <= 0 || pid > INT_MAX) return std::nullopt;
    return static_cast<pid_t>(pid);
}

bool alive(pid_t pid) {
    return ::kill(pid, 0) == 0 || errno == EPERM;
}

// Writes our lock under a name of its own and links it in place, so that nobody sees it half
// written; false with errno set (EEXIST: a lock is there).
bool createLock(const std::string& folder, const std::string& lockFile) {
    const std::string temp = folder + "/LTMP." + std::to_string(::getpid());
    const int fd =
        ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    char text[16];
    const int len = std::snprintf(text, sizeof text, "%10ld\n", static_cast<long>(::getpid()));
    const bool written = ::write(fd, text, static_cast<size_t>(len)) == len;
    ::close(fd);
    const bool linked = written && ::link(temp.c_str(), lockFile.c_str()) == 0;
    const int error = errno;
    ::unlink(temp.c_str());
    errno = error;
    return linked;
}

}  // namespace

std::vector<std::string> lockFolders() {
    return {"/run/lock", "/var/lock"};
}

std::string lockFileName(const std::string& devicePath) {
    if (!devicePath.starts_with("/dev/") || devicePath.size() <= 5) return {};
    std::string name = devicePath.substr(5);
    for (char& c : name)
        if (c == '/') c = '_';
    return "LCK.." + name;
}

bool lockedByOther(int fd, const std::vector<std::string>& folders) {
    const std::string name = lockFileName(devicePathOf(fd));
    if (name.empty()) return false;
    for (const std::string& folder : folders) {
        const std::optional<pid_t> holder = holderOf(folder + "/" + name);
        if (holder && *holder != ::getpid() && alive(*holder)) return true;
    }
    return false;
}

bool UucpLock::take(int fd, const std::vector<std::string>& folders) {
    release();
    const std::string name = lockFileName(devicePathOf(fd));
    if (name.empty()) return true;
    for (const std::string& folder : folders) {
        const std::string lockFile = folder + "/" + name;
        for (int attempt = 0; attempt < 2; ++attempt) {
            if (createLock(folder, lockFile)) {
                path_ = lockFile;
                return true;
            }
            if (errno != EEXIST) break;  // no new file here: try the next folder
            const std::optional<pid_t> holder = holderOf(lockFile);
            if (holder && *holder == ::getpid()) return true;
            if (holder && alive(*holder)) return false;
            ::unlink(lockFile.c_str());  // stale
        }
    }
    return true;
}

void UucpLock::release() {
    if (path_.empty()) return;
    if (holderOf(path_) == ::getpid()) ::unlink(path_.c_str());
    path_.clear();
}

}  // namespace veka
