// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/abort_event.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>

namespace veka {

AbortEvent::AbortEvent() : fd_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

AbortEvent::~AbortEvent() {
    if (fd_ >= 0) ::close(fd_);
}

void AbortEvent::raise() const {
    gesetzt_.store(true);
    const uint64_t one = 1;
    [[maybe_unused]] const ssize_t n = ::write(fd_, &one, sizeof one);
}

bool AbortEvent::sleepFor(std::chrono::microseconds time) const {
    return sleepUntil(std::chrono::steady_clock::now() + time);
}

bool AbortEvent::sleepUntil(std::chrono::steady_clock::time_point until) const {
    using namespace std::chrono;
    for (;;) {
        const auto left = until - steady_clock::now();
        if (left <= steady_clock::duration::zero()) return !raised();
        // poll counts whole milliseconds; round up so the sleep is never cut short.
        const auto ms = ceil<milliseconds>(left).count();
        pollfd p{fd_, POLLIN, 0};
        const int r = ::poll(&p, 1, static_cast<int>(std::min<int64_t>(ms, 60000)));
        if (r > 0) return false;
        if (r < 0 && errno != EINTR) return !raised();
    }
}

}  // namespace veka
