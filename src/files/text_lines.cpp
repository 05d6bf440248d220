#include "files/text_lines.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace veka {

LineReader::LineReader(std::string_view bytes) : bytes_(bytes) {
    const size_t eof = bytes_.find('\x1A');
    if (eof != std::string_view::npos) bytes_ = bytes_.substr(0, eof);
}

std::string_view LineReader::next() {
    if (atEnd()) return {};
    const size_t cr = bytes_.find('\r', pos_);
    const size_t end = cr == std::string_view::npos ? bytes_.size() : cr;
    const std::string_view line = bytes_.substr(pos_, end - pos_);
    pos_ = end;
    if (pos_ < bytes_.size()) ++pos_;  // the CR
    if (pos_ < bytes_.size() && bytes_[pos_] == '\n') ++pos_;
    return line;
}

void LineWriter::line(std::string_view bytes) {
    out_.append(bytes);
    out_.append("\r\n");
}

namespace {

// Closes the descriptor on every path out.
struct FdGuard {
    int fd;
    ~FdGuard() {
        if (fd >= 0) ::close(fd);
    }
};

}  // namespace

std::optional<std::string> readFileBytes(const std::string& path) {
    // Non-blocking, so that a pipe given as a name cannot hang us before fstat refuses it.
    FdGuard file{::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY)};
    if (file.fd < 0) return std::nullopt;
    struct stat info {};
    if (::fstat(file.fd, &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;

    std::string bytes;
    if (info.st_size > 0) bytes.reserve(static_cast<size_t>(info.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(file.fd, buffer, sizeof buffer);
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            return std::nullopt;
        }
        bytes.append(buffer, static_cast<size_t>(n));
    }
    return bytes;
}

}  // namespace veka
