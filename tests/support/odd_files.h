// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Files a reader must survive: larger than any real file (sparse, so they cost no disk), a
// named pipe nobody writes to, and a link to an endless device.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <string_view>

namespace veka::test {

enum class OddFile { Oversized, Fifo, DevZero };

inline const char* describe(OddFile kind) {
    switch (kind) {
        case OddFile::Oversized:
            return "oversized";
        case OddFile::Fifo:
            return "fifo";
        case OddFile::DevZero:
            return "link to /dev/zero";
    }
    return "?";
}

// A file of the given size that starts with head and reads as zeros after it.
inline void sparseFile(const std::string& path, off_t size, std::string_view head = {}) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    ASSERT_GE(fd, 0) << path;
    EXPECT_EQ(::write(fd, head.data(), head.size()), static_cast<ssize_t>(head.size()));
    EXPECT_EQ(::ftruncate(fd, size), 0) << path;
    ::close(fd);
}

// Oversized: one byte over the bound, starting with head (a valid beginning of its kind).
inline void makeOddFile(OddFile kind, const std::string& path, size_t bound,
                        std::string_view head = {}) {
    switch (kind) {
        case OddFile::Oversized:
            sparseFile(path, static_cast<off_t>(bound) + 1, head);
            break;
        case OddFile::Fifo:
            ASSERT_EQ(::mkfifo(path.c_str(), 0644), 0) << path;
            break;
        case OddFile::DevZero:
            ASSERT_EQ(::symlink("/dev/zero", path.c_str()), 0) << path;
            break;
    }
}

inline constexpr OddFile kOddFiles[] = {OddFile::Oversized, OddFile::Fifo, OddFile::DevZero};

}  // namespace veka::test
