// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/safe_file.h"
#include "files/descriptor.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <new>
#include <optional>
#include <random>
#include <utility>
#include <vector>

#include "files/text_lines.h"

namespace veka {

namespace {

// Why a save failed: an errno value, or a text of our own; plus what became of the old content.
struct Failure {
    int err = 0;
    std::string reason;
    std::string note;
};
using Outcome = std::optional<Failure>;  // nothing: saved

Failure fromErrno(std::string note = {}) {
    return {errno, {}, std::move(note)};
}

std::string folderOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

// The file a chain of symbolic links ends at (which need not exist yet).
int resolveLinks(const std::string& path, std::string& target) {
    target = path;
    for (int hop = 0; hop < 40; ++hop) {
        struct stat info {};
        if (::lstat(target.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return 0;
        std::string link(PATH_MAX, '\0');
        const ssize_t n = ::readlink(target.c_str(), link.data(), link.size());
        if (n < 0) return errno;
        if (static_cast<size_t>(n) >= link.size()) return ENAMETOOLONG;
        link.resize(static_cast<size_t>(n));
        target = link.front() == '/' ? link : folderOf(target) + "/" + link;
    }
    return ELOOP;
}

// A new file of a short name nobody else uses in the folder, so that target names up to the
// longest allowed still work. Removed again unless kept.
class TempFile {
  public:
    TempFile(const std::string& folder, mode_t mode) {
        static constexpr char kLetters[] =
            "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
        std::random_device random;
        for (int attempt = 0; attempt < 100; ++attempt) {
            std::string name = folder + "/.veka-";
            for (int i = 0; i < 6; ++i) name += kLetters[random() % (sizeof kLetters - 1)];
            const int fd = ::open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, mode);
            if (fd >= 0) {
                fd_ = Descriptor(fd);
                path_ = std::move(name);
                return;
            }
            if (errno != EEXIST) break;
        }
        error_ = errno;
    }
    ~TempFile() {
        if (!path_.empty()) ::unlink(path_.c_str());
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    bool ok() const { return !path_.empty(); }
    int error() const { return error_; }
    Descriptor& fd() { return fd_; }
    const std::string& path() const { return path_; }
    // The file stays: it took the target's name, or it holds content that must not be lost.
    void keep() { path_.clear(); }

  private:
    Descriptor fd_;
    std::string path_;
    int error_ = 0;
};

bool writeAllAt(int fd, std::string_view bytes, off_t offset) {
    while (!bytes.empty()) {
        const ssize_t n = ::pwrite(fd, bytes.data(), bytes.size(), offset);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<size_t>(n));
        offset += n;
    }
    return true;
}

// The first size bytes of a file, chunk by chunk, to the sink; false on a read error, a
// file shorter than size or a sink that fails.
template <typename Sink>
bool readChunks(int fd, off_t size, Sink&& sink) {
    char buffer[65536];
    for (off_t done = 0; done < size;) {
        const off_t left = size - done;
        const size_t want = left < off_t{sizeof buffer} ? static_cast<size_t>(left) : sizeof buffer;
        const ssize_t n = ::pread(fd, buffer, want, done);
        if (n < 0 && errno == EINTR) continue;
        if (n == 0) errno = EIO;  // shorter than it was
        if (n <= 0) return false;
        if (!sink(std::string_view(buffer, static_cast<size_t>(n)), done)) return false;
        done += n;
    }
    return true;
}

bool copyContent(int from, int to, off_t size) {
    return readChunks(from, size,
                      [to](std::string_view chunk, off_t at) { return writeAllAt(to, chunk, at); });
}

bool rewrite(int fd, std::string_view bytes) {
    return writeAllAt(fd, bytes, 0) && ::ftruncate(fd, static_cast<off_t>(bytes.size())) == 0 &&
           ::fsync(fd) == 0;
}

void syncFolder(const std::string& folder) {
    Descriptor dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.ok()) ::fsync(dir.get());
}

// The file to save into, opened for writing (and reading where allowed, for a backup).
struct Target {
    std::string path;
    Descriptor fd;
    bool readable = false;
    struct stat info {};
};

// The old content of a file rewritten in place, to put back when writing fails.
class Backup {
  public:
    // In the temporary file when there is one, else in memory when the file is small.
    // False when copying failed; the target is then still untouched.
    bool take(Target& t, TempFile* temp) {
        size_ = t.info.st_size;
        if (!t.readable) return true;  // a write-only file: nothing to keep
        if (temp) {
            if (!copyContent(t.fd.get(), temp->fd().get(), size_) || ::fsync(temp->fd().get()))
                return false;
            temp_ = temp;
        } else if (static_cast<uintmax_t>(size_) <= MaxFileBytes) {
            std::string old;
            old.reserve(static_cast<size_t>(size_));
            if (!readChunks(t.fd.get(), size_, [&old](std::string_view chunk, off_t) {
                    old.append(chunk);
                    return true;
                }))
                return false;
            memory_ = std::move(old);
        }
        return true;
    }

    // Puts the old content back; the note tells the user what became of it.
    std::string restore(int fd) {
        if (temp_) {
            if (copyContent(temp_->fd().get(), fd, size_) && ::ftruncate(fd, size_) == 0 &&
                ::fsync(fd) == 0)
                return {};
            temp_->keep();
            return "der alte Inhalt liegt in \"" + temp_->path() + "\"";
        }
        if (memory_ && rewrite(fd, *memory_)) return {};
        return "die Datei kann unvollständig sein";
    }

  private:
    off_t size_ = 0;
    TempFile* temp_ = nullptr;
    std::optional<std::string> memory_;
};

Outcome writeInPlace(Target& t, std::string_view bytes, TempFile* temp) {
    Backup backup;
    if (!backup.take(t, temp)) return fromErrno();
    if (rewrite(t.fd.get(), bytes)) return std::nullopt;
    const int err = errno;
    return Failure{err, {}, backup.restore(t.fd.get())};
}

// Writes the temporary file completely, then gives it the target's name.
Outcome replaceByRename(TempFile& temp, const std::string& target, std::string_view bytes) {
    if (!writeAllAt(temp.fd().get(), bytes, 0) || ::fsync(temp.fd().get()) != 0) return fromErrno();
    if (!temp.fd().close()) return fromErrno();
    if (::rename(temp.path().c_str(), target.c_str()) != 0) return fromErrno();
    temp.keep();
    syncFolder(folderOf(target));  // makes the new name durable; too late to fail now
    return std::nullopt;
}

Outcome replaceExisting(Target& t, std::string_view bytes) {
    TempFile temp(folderOf(t.path), 0600);
    if (!temp.ok()) {
        // A folder that admits no new file: the file itself is writable, so write in place.
        if (temp.error() == EACCES || temp.error() == EPERM) return writeInPlace(t, bytes, nullptr);
        errno = temp.error();
        return fromErrno();
    }
    // A new file stands in for the old one only with its owner and mode and no other names.
    if (t.info.st_nlink == 1 && ::fchown(temp.fd().get(), t.info.st_uid, t.info.st_gid) == 0 &&
        ::fchmod(temp.fd().get(), t.info.st_mode & 07777) == 0)
        return replaceByRename(temp, t.path, bytes);
    return writeInPlace(t, bytes, &temp);
}

Outcome createNew(const std::string& target, std::string_view bytes) {
    TempFile temp(folderOf(target), 0666);  // takes the umask, as a plainly created file would
    if (!temp.ok()) {
        errno = temp.error();
        return fromErrno();
    }
    return replaceByRename(temp, target, bytes);
}

Outcome save(const std::string& path, std::string_view bytes) {
    if (path.empty()) return Failure{ENOENT, {}, {}};
    Target t;
    if (const int err = resolveLinks(path, t.path)) return Failure{err, {}, {}};
    if (::stat(t.path.c_str(), &t.info) != 0)
        return errno == ENOENT ? createNew(t.path, bytes) : fromErrno();
    if (S_ISDIR(t.info.st_mode)) return Failure{EISDIR, {}, {}};
    const Failure notAFile{0, "keine gewöhnliche Datei", {}};
    if (!S_ISREG(t.info.st_mode)) return notAFile;  // a pipe or device is never opened
    // Opening for writing is the real permission check (modes, ACLs, read-only mounts).
    constexpr int kFlags = O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
    t.fd = Descriptor(::open(t.path.c_str(), O_RDWR | kFlags));
    t.readable = t.fd.ok();
    if (!t.readable) t.fd = Descriptor(::open(t.path.c_str(), O_WRONLY | kFlags));
    if (!t.fd.ok() || ::fstat(t.fd.get(), &t.info) != 0) return fromErrno();
    if (!S_ISREG(t.info.st_mode)) return notAFile;
    return replaceExisting(t, bytes);
}

}  // namespace

std::string errorText(int err) {
    const char* text = ::strerrordesc_np(err);
    return text ? text : "error " + std::to_string(err);
}

bool saveFileSafely(const std::string& path, std::string_view bytes, std::string* error,
                    std::string* reason) {
    Outcome failure;
    try {
        failure = save(path, bytes);
    } catch (const std::bad_alloc&) {
        failure = Failure{ENOMEM, {}, {}};
    }
    if (!failure) return true;
    if (reason) *reason = failure->err != 0 ? errorText(failure->err) : "not a regular file";
    if (error) {
        *error = "Die Datei \"" + path + "\" konnte nicht gespeichert werden: " +
                 (failure->reason.empty() ? std::strerror(failure->err) : failure->reason);
        if (!failure->note.empty()) *error += "; " + failure->note;
    }
    return false;
}

namespace {

// A path as its components, for the walk below.
std::vector<std::string> componentsOf(const std::string& path) {
    std::vector<std::string> out;
    size_t start = 0;
    while (start <= path.size()) {
        const size_t end = std::min(path.find('/', start), path.size());
        if (end > start) out.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return out;
}

std::string joined(bool absolute, const std::vector<std::string>& parts) {
    std::string out = absolute ? "/" : "./";
    for (const std::string& p : parts) out += p + "/";
    out.pop_back();
    return out.empty() ? "/" : out;
}

bool mayNotFollow(const struct stat& link, const std::string& folder) {
    struct stat dir {};
    if (::stat(folder.c_str(), &dir) != 0) return false;
    const bool shared = (dir.st_mode & S_ISVTX) != 0 && (dir.st_mode & S_IWOTH) != 0;
    return shared && link.st_uid != ::geteuid() && link.st_uid != dir.st_uid;
}

}  // namespace

bool followsProtectedSymlink(const std::string& path) {
    bool absolute = !path.empty() && path.front() == '/';
    std::vector<std::string> done;  // resolved so far: no links in it
    std::vector<std::string> todo = componentsOf(path);
    std::reverse(todo.begin(), todo.end());
    for (int hops = 0; !todo.empty();) {
        const std::string part = std::move(todo.back());
        todo.pop_back();
        if (part == ".") continue;
        if (part == "..") {
            if (!done.empty() && done.back() != "..")
                done.pop_back();
            else if (!absolute)
                done.push_back(part);
            continue;
        }
        const std::string folder = joined(absolute, done);
        done.push_back(part);
        struct stat info {};
        if (::lstat(joined(absolute, done).c_str(), &info) != 0) return false;  // nothing further
        if (!S_ISLNK(info.st_mode)) continue;
        if (mayNotFollow(info, folder)) return true;
        if (++hops > 40) return false;  // a loop: the open fails on its own
        std::string target(PATH_MAX, '\0');
        const ssize_t n = ::readlink(joined(absolute, done).c_str(), target.data(), target.size());
        if (n <= 0) return false;
        target.resize(static_cast<size_t>(n));
        done.pop_back();
        if (target.front() == '/') {
            absolute = true;
            done.clear();
        }
        std::vector<std::string> more = componentsOf(target);
        todo.insert(todo.end(), more.rbegin(), more.rend());
    }
    return false;
}

}  // namespace veka
