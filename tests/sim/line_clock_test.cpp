// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/line_clock.h"

#include <gtest/gtest.h>

#include <vector>

namespace vekasim {
namespace {

using namespace std::chrono_literals;

TEST(LineClock, BaudOfTheTermiosConstants) {
    const std::pair<speed_t, long> faelle[] = {
        {B0, 0},         {B50, 50},         {B1200, 1200},       {B9600, 9600},
        {B57600, 57600}, {B115200, 115200}, {B4000000, 4000000}, {static_cast<speed_t>(0x7777), 0},
    };
    for (const auto& [speed, baud] : faelle) EXPECT_EQ(baudOf(speed), baud) << baud;
}

TEST(LineClock, CharacterTimeCountsStartDataParityAndStopBits) {
    struct Fall {
        const char* name;
        speed_t speed;
        tcflag_t cflag;
        std::chrono::nanoseconds zeit;
    };
    const Fall faelle[] = {
        {"8N1 9600", B9600, CS8, 1041666ns},
        {"8N1 57600", B57600, CS8, 173611ns},
        {"7E2 1200", B1200, CS7 | PARENB | CSTOPB, 9166666ns},
        {"5N1 50", B50, CS5, 140ms},
        {"6O1 300", B300, CS6 | PARENB | PARODD, 30ms},
        {"no speed", B0, CS8, 0ns},
    };
    for (const Fall& f : faelle) {
        termios t{};
        t.c_cflag = f.cflag;
        cfsetospeed(&t, f.speed);
        EXPECT_EQ(characterTime(t), f.zeit) << f.name;
    }
}

TEST(LineClock, CharactersFollowEachOtherWithoutOverlap) {
    using T = LineClock::Clock::time_point;
    struct Schritt {
        T uebergeben;
        std::chrono::nanoseconds zeichen;
        T angekommen;
    };
    const T t0{10s};
    const std::vector<Schritt> schritte = {
        {t0, 1ms, t0 + 1ms},           // idle line: one character time
        {t0, 1ms, t0 + 2ms},           // handed over at once: waits for the first
        {t0 + 1500us, 1ms, t0 + 3ms},  // still busy
        {t0 + 10ms, 1ms, t0 + 11ms},   // idle again
        {t0 + 10ms, 2ms, t0 + 13ms},   // a slower setting from now on
        {t0 + 13ms, 0ns, t0 + 13ms},   // no speed: no time
        {t0 + 5ms, 1ms, t0 + 14ms},    // never earlier than the line allows
    };
    LineClock line;
    for (size_t i = 0; i < schritte.size(); ++i) {
        const Schritt& s = schritte[i];
        EXPECT_EQ(line.send(s.uebergeben, s.zeichen), s.angekommen) << "step " << i;
    }
}

}  // namespace
}  // namespace vekasim
