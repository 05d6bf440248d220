// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/confined_file.h"
#include "files/descriptor.h"

#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <utility>

namespace veka {

namespace {

// openat2 beneath the working folder; -1 with errno on failure.
int openBeneath(const std::string& name, uint64_t flags, uint64_t resolve) {
    open_how how{};
    how.flags = flags | O_PATH | O_CLOEXEC;
    how.resolve = resolve | RESOLVE_BENEATH | RESOLVE_NO_MAGICLINKS;
    return static_cast<int>(::syscall(SYS_openat2, AT_FDCWD, name.c_str(), &how, sizeof how));
}

std::string linkTarget(const std::string& link) {
    std::string out(PATH_MAX, '\0');
    const ssize_t n = ::readlink(link.c_str(), out.data(), out.size());
    out.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return out;
}

std::string procPath(int fd) {
    std::string out = "/proc/self/fd/";  // appended: see the -Wrestrict note in command_line.cpp
    out += std::to_string(fd);
    return out;
}

// The name split at its last '/': folder ("." when none) and file name.
std::pair<std::string, std::string> split(const std::string& name) {
    const size_t slash = name.find_last_of('/');
    if (slash == std::string::npos) return {".", name};
    return {slash == 0 ? "/" : name.substr(0, slash), name.substr(slash + 1)};
}

}  // namespace

ConfinedFile::ConfinedFile(int folder, const std::string& name)
    : folder_(folder), path_(procPath(folder) + "/" + name) {}

ConfinedFile::ConfinedFile(ConfinedFile&& other) noexcept
    : folder_(std::exchange(other.folder_, -1)), path_(std::move(other.path_)) {}

ConfinedFile::~ConfinedFile() {
    if (folder_ >= 0) ::close(folder_);
}

std::optional<ConfinedFile> ConfinedFile::resolve(const std::string& name, int& error) {
    error = EINVAL;
    if (name.empty() || name.find('\0') != std::string::npos) return std::nullopt;
    std::string inside = name;  // the name with every link resolved, relative to the folder
    Descriptor file(openBeneath(name, 0, 0));
    if (file.get() >= 0) {
        char here[PATH_MAX];
        const std::string real = linkTarget(procPath(file.get()));
        if (::getcwd(here, sizeof here) == nullptr) return error = errno, std::nullopt;
        const std::string prefix = std::string(here) == "/" ? "/" : std::string(here) + "/";
        if (real.compare(0, prefix.size(), prefix) != 0) return std::nullopt;  // the folder
        inside = real.substr(prefix.size());
    } else if (errno != ENOENT) {
        error = errno;
        return std::nullopt;
    }
    auto [folderName, fileName] = split(inside);
    if (fileName.empty() || fileName == "." || fileName == "..") return std::nullopt;
    // The real name has no link left: a link that turns up now was swapped in, and is refused.
    const uint64_t links = file.get() >= 0 ? RESOLVE_NO_SYMLINKS : 0;
    Descriptor folder(openBeneath(folderName, O_DIRECTORY, links));
    if (folder.get() < 0) return error = errno, std::nullopt;
    struct stat info {};
    if (file.get() < 0 &&
        ::fstatat(folder.get(), fileName.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0)
        return error = ELOOP, std::nullopt;  // exists, yet did not resolve: a link to nothing
    error = 0;
    return ConfinedFile(folder.release(), fileName);
}

}  // namespace veka
