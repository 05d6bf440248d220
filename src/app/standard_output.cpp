// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/standard_output.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace veka {

namespace {

// errno of the first failing write, or 0.
int writeAll(int fd, std::string_view text) {
    while (!text.empty()) {
        const ssize_t n = ::write(fd, text.data(), text.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return n < 0 ? errno : EIO;
        text.remove_prefix(static_cast<size_t>(n));
    }
    return 0;
}

}  // namespace

bool writeStdout(std::string_view text) {
    int error = std::fflush(stdout) == 0 ? 0 : errno;
    if (error == 0) error = writeAll(STDOUT_FILENO, text);
    if (error == 0) return true;
    std::fprintf(stderr, "veka: cannot write to standard output: %s\n", std::strerror(error));
    return false;
}

void reserveStandardStreams() {
    for (int fd = 0; fd <= 2; ++fd) {
        if (::fcntl(fd, F_GETFD) >= 0 || errno != EBADF) continue;
        // open() takes the lowest free number: this one, since the lower ones are open by now.
        const int taken = ::open("/dev/null", O_RDONLY);
        if (taken >= 0 && taken != fd) ::close(taken);
    }
}

}  // namespace veka
