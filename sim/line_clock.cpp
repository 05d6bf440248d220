// SPDX-License-Identifier: GPL-3.0-or-later
#include "line_clock.h"

#include <algorithm>
#include <utility>

namespace vekasim {

long baudOf(speed_t speed) {
    static constexpr std::pair<speed_t, long> kSpeeds[] = {
        {B50, 50},           {B75, 75},           {B110, 110},         {B134, 134},
        {B150, 150},         {B200, 200},         {B300, 300},         {B600, 600},
        {B1200, 1200},       {B1800, 1800},       {B2400, 2400},       {B4800, 4800},
        {B9600, 9600},       {B19200, 19200},     {B38400, 38400},     {B57600, 57600},
        {B115200, 115200},   {B230400, 230400},   {B460800, 460800},   {B500000, 500000},
        {B576000, 576000},   {B921600, 921600},   {B1000000, 1000000}, {B1152000, 1152000},
        {B1500000, 1500000}, {B2000000, 2000000}, {B2500000, 2500000}, {B3000000, 3000000},
        {B3500000, 3500000}, {B4000000, 4000000},
    };
    for (const auto& [constant, bits] : kSpeeds) {
        if (constant == speed) return bits;
    }
    return 0;
}

std::chrono::nanoseconds characterTime(const termios& t) {
    const long baud = baudOf(cfgetospeed(&t));
    if (baud == 0) return std::chrono::nanoseconds(0);
    long bits = 1;  // start bit
    switch (t.c_cflag & CSIZE) {
        case CS5:
            bits += 5;
            break;
        case CS6:
            bits += 6;
            break;
        case CS7:
            bits += 7;
            break;
        default:
            bits += 8;
            break;
    }
    if (t.c_cflag & PARENB) bits += 1;
    bits += (t.c_cflag & CSTOPB) ? 2 : 1;
    return std::chrono::nanoseconds(bits * 1'000'000'000LL / baud);
}

LineClock::Clock::time_point LineClock::send(Clock::time_point at,
                                             std::chrono::nanoseconds characterTime) {
    m_free = std::max(at, m_free) + characterTime;
    return m_free;
}

}  // namespace vekasim
