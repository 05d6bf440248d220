#include "files/safe_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <random>

namespace veka {

namespace {

std::string folderOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string fileNameOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool fail(std::string* error, const std::string& path, int err) {
    if (error)
        *error =
            "Die Datei \"" + path + "\" konnte nicht gespeichert werden: " + std::strerror(err);
    return false;
}

// Creates a new file of a name nobody else uses in the target's folder. A fresh file takes
// the umask's permissions, as a plainly created file would.
int createTemporary(const std::string& path, std::string& tempPath) {
    std::random_device random;
    const std::string stem = folderOf(path) + "/." + fileNameOf(path) + ".tmp";
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempPath = stem + std::to_string(random());
        const int fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

}  // namespace

bool saveFileSafely(const std::string& path, std::string_view bytes, std::string* error) {
    struct stat info {};
    if (path.empty()) return fail(error, path, ENOENT);
    if (::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) return fail(error, path, EISDIR);

    std::string tempPath;
    const int fd = createTemporary(path, tempPath);
    if (fd < 0) return fail(error, path, errno);

    bool ok = writeAll(fd, bytes) && ::fsync(fd) == 0;
    int err = ok ? 0 : errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        err = errno;
    }
    if (ok && ::rename(tempPath.c_str(), path.c_str()) != 0) {
        ok = false;
        err = errno;
    }
    if (!ok) {
        ::unlink(tempPath.c_str());
        return fail(error, path, err);
    }
    // Makes the new name itself durable; a failure here no longer loses data.
    const int folder = ::open(folderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
    return true;
}

}  // namespace veka
