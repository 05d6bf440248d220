// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <termios.h>

#include <chrono>

namespace vekasim {

// The time a character takes on the line with the settings of a terminal: start bit, data
// bits, parity and stop bits at its output speed. Zero when the speed is 0 or unknown.
std::chrono::nanoseconds characterTime(const termios& t);
// Bits per second of a termios speed constant (B9600 -> 9600); 0 for B0 or an unknown one.
long baudOf(speed_t speed);

// One direction of a serial line: characters go out back to back, never two at once.
class LineClock {
  public:
    using Clock = std::chrono::steady_clock;

    // A character handed to the line at `at` has arrived at the far end at the returned
    // moment: one character time after the line became free for it.
    Clock::time_point send(Clock::time_point at, std::chrono::nanoseconds characterTime);
    // When the last character sent has arrived.
    Clock::time_point free() const { return m_free; }

  private:
    Clock::time_point m_free{};
};

}  // namespace vekasim
