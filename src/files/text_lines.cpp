// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/text_lines.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <new>
#include <stdexcept>

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

std::optional<std::string> refuse(ReadStatus* status, ReadStatus why) {
    if (status) *status = why;
    return std::nullopt;
}

// Reads to the end, but never more than maxBytes + 1 bytes: one more tells a larger file.
ReadStatus readBounded(int fd, size_t maxBytes, std::string& bytes) {
    char buffer[65536];
    for (;;) {
        const size_t room = maxBytes + 1 - bytes.size();
        const ssize_t n = ::read(fd, buffer, room < sizeof buffer ? room : sizeof buffer);
        if (n == 0) return ReadStatus::Ok;
        if (n < 0) {
            if (errno == EINTR) continue;
            return ReadStatus::Unreadable;
        }
        bytes.append(buffer, static_cast<size_t>(n));
        if (bytes.size() > maxBytes) return ReadStatus::TooLarge;
    }
}

}  // namespace

std::optional<std::string> readFileBytes(const std::string& path, size_t maxBytes,
                                         ReadStatus* status) {
    // Only regular files are opened: opening a pipe or a serial device can block or act.
    struct stat info {};
    if (path.empty() || ::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return refuse(status, ReadStatus::Unreadable);
    // Non-blocking, in case the name was swapped for a pipe since; fstat then refuses it.
    FdGuard file{::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY)};
    if (file.fd < 0 || ::fstat(file.fd, &info) != 0 || !S_ISREG(info.st_mode))
        return refuse(status, ReadStatus::Unreadable);
    if (info.st_size < 0 || static_cast<uintmax_t>(info.st_size) > maxBytes)
        return refuse(status, ReadStatus::TooLarge);

    try {
        std::string bytes;
        bytes.reserve(static_cast<size_t>(info.st_size));  // within the bound, checked above
        const ReadStatus result = readBounded(file.fd, maxBytes, bytes);
        if (result != ReadStatus::Ok) return refuse(status, result);
        if (status) *status = ReadStatus::Ok;
        return bytes;
    } catch (const std::bad_alloc&) {
        return refuse(status, ReadStatus::Unreadable);
    } catch (const std::length_error&) {
        return refuse(status, ReadStatus::Unreadable);
    }
}

std::string tooLargeMessage(const std::string& path, size_t maxBytes) {
    constexpr size_t mib = size_t{1} << 20;
    const std::string bound = maxBytes % mib == 0 ? std::to_string(maxBytes / mib) + " MiB"
                                                  : std::to_string(maxBytes) + " Bytes";
    return "Die Datei \"" + path + "\" ist zu groß (mehr als " + bound +
           ") und wurde nicht gelesen.";
}

}  // namespace veka
