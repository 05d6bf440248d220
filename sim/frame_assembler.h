// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>

namespace vekasim {

struct Frame {
    uint32_t word;
    uint8_t control;
    int64_t gapMicros;
    std::chrono::steady_clock::time_point arrival;  // of its last byte
};

// Cuts the host's byte stream into 5-byte frames, whatever the size of the pieces.
class FrameAssembler {
  public:
    using Clock = std::chrono::steady_clock;
    using Sink = std::function<void(const Frame&)>;

    void feed(const uint8_t* data, size_t size, Clock::time_point arrival, const Sink& sink);
    size_t pending() const { return m_count; }

  private:
    std::array<uint8_t, 5> m_bytes{};
    size_t m_count = 0;
    Clock::time_point m_wordComplete{};
};

}  // namespace vekasim
