// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The device end of a real pseudo-terminal, linked as COMn in the working directory, driven
// byte by byte by the test: for the moments the simulator cannot hold still (a frame that
// stops after the tuning word, a reply that never comes).

#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

#include "pty_link.h"

namespace veka::test {

class RawLine {
  public:
    explicit RawLine(int port = 2) {
        std::string error;
        if (!pty_.open(&error) || !pty_.createLink(vekasim::comLinkPath(".", port), &error))
            ADD_FAILURE() << "pseudo-terminal: " << error;
    }

    // Exactly n bytes from the host; empty when they did not come within the guard time.
    std::vector<uint8_t> lesen(size_t n, std::chrono::milliseconds guard) {
        std::vector<uint8_t> bytes;
        const auto ende = std::chrono::steady_clock::now() + guard;
        while (bytes.size() < n) {
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(
                ende - std::chrono::steady_clock::now());
            if (left.count() <= 0 || !lesbar(static_cast<int>(left.count()))) return {};
            uint8_t b = 0;
            if (::read(pty_.master(), &b, 1) == 1) bytes.push_back(b);
        }
        return bytes;
    }
    // Whether a byte from the host waits right now.
    bool wartet() { return lesbar(0); }
    void schreiben(const std::vector<uint8_t>& bytes) {
        ASSERT_EQ(::write(pty_.master(), bytes.data(), bytes.size()),
                  static_cast<ssize_t>(bytes.size()));
    }
    const std::string& slavePath() const { return pty_.slavePath(); }

  private:
    bool lesbar(int ms) {
        pollfd p{pty_.master(), POLLIN, 0};
        return ::poll(&p, 1, ms) > 0 && (p.revents & POLLIN) != 0;
    }
    vekasim::PtyLink pty_;
};

}  // namespace veka::test
