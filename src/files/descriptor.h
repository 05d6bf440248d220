// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Owns a file descriptor (a file, a folder, a socket) and closes it when it goes.

#include <unistd.h>

#include <utility>

namespace veka {

class Descriptor {
  public:
    explicit Descriptor(int fd = -1) : fd_(fd) {}
    ~Descriptor() { close(); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    Descriptor& operator=(Descriptor&& other) noexcept {
        if (this != &other) {
            close();
            fd_ = std::exchange(other.fd_, -1);
        }
        return *this;
    }
    int get() const { return fd_; }
    bool ok() const { return fd_ >= 0; }
    // Gives the descriptor away; this object then owns none.
    int release() { return std::exchange(fd_, -1); }
    // Closes now; a late write error shows here.
    bool close() {
        const int fd = std::exchange(fd_, -1);
        return fd < 0 || ::close(fd) == 0;
    }

  private:
    int fd_;
};

}  // namespace veka
