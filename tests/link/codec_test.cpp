// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <climits>

#include "link/device_codec.h"

namespace veka {
namespace {

struct WortFall {
    int32_t frequenz;
    int32_t takt;
    std::array<uint8_t, 4> bytes;
};

TEST(Abstimmwort, BytesLeastSignificantFirst) {
    const WortFall faelle[] = {
        {10000000, 100000000, {0x9A, 0x99, 0x99, 0x19}},
        {1000000, 100000000, {0x29, 0x5C, 0x8F, 0x02}},
        {50000000, 100000000, {0x00, 0x00, 0x00, 0x80}},
        {0, 100000000, {0, 0, 0, 0}},
        // Negative frequencies give the two's complement of the rounded product.
        {-10000000, 100000000, {0x66, 0x66, 0x66, 0xE6}},
        // At the clock the word wraps to 0; twice the clock, too.
        {100000000, 100000000, {0, 0, 0, 0}},
        // No clock, or a product that is not finite: a defined word.
        {10000000, 0, {0, 0, 0, 0}},
        {0, 0, {0, 0, 0, 0}},
        {INT32_MAX, 1, {0, 0, 0, 0}},
        {INT32_MIN, -1, {0, 0, 0, 0}},
    };
    for (const auto& f : faelle) {
        EXPECT_EQ(wortBytes(Abstimmwort(f.frequenz, f.takt)), f.bytes)
            << f.frequenz << " at " << f.takt;
    }
}

TEST(Abstimmwort, RoundsToNearest) {
    // 2^32 / 3 * 1 = 1431655765.33 and * 2 = 2863311530.67.
    EXPECT_EQ(Abstimmwort(1, 3), 1431655765u);
    EXPECT_EQ(Abstimmwort(2, 3), 2863311531u);
    EXPECT_EQ(Abstimmwort(10000000, -100000000), 0xE6666666u);  // -429496729.6
}

TEST(GesendeteFrequenz, IfOffsetOnlyWhenActiveAndSwitchedOn) {
    struct Fall {
        bool aktiv;
        int32_t bits;
        int32_t erwartet;
    } faelle[] = {
        {true, 1, 1000000},   {true, 3, 19000000}, {false, 3, 10000000},
        {false, 1, 10000000}, {true, 0, 10000000}, {true, 2, 10000000},
    };
    for (const auto& f : faelle)
        EXPECT_EQ(gesendeteFrequenz(10000000, f.aktiv, f.bits, 9000000), f.erwartet) << f.bits;
    EXPECT_EQ(gesendeteFrequenz(INT32_MAX, true, 3, 1), INT32_MIN);  // wraps, no UB
}

TEST(Steuerbyte, BaseValuePerModelAndLowBits) {
    struct Fall {
        const char* modell;
        uint8_t daempfung;
        int32_t bits;
        bool smith, linear;
        uint8_t erwartet;
    } faelle[] = {
        {"VEKAMX", 32, 10, false, true, 85}, {"VEKA", 32, 10, false, true, 37},
        {" V7.3 ", 48, 8, true, false, 50},  {"vekamx", 0, 8, false, false, 0},
        {"VEKAMX", 48, 8, true, true, 83},   {"VEKA", 16, 9, false, false, 20},
    };
    for (const auto& f : faelle)
        EXPECT_EQ(Steuerbyte({f.modell, f.daempfung, f.bits, f.smith, f.linear}), f.erwartet)
            << f.modell;
}

TEST(Antwort, TenBitReading) {
    EXPECT_EQ(zehnBitWert(0xA5, 0xC0), 663);
    EXPECT_EQ(zehnBitWert(0xFF, 0xFF), 1023);
    EXPECT_EQ(zehnBitWert(0x00, 0x3F), 0);  // low six bits are ignored
}

TEST(Demowert, SineBetween2And252) {
    EXPECT_EQ(Demowert(1), 132);
    EXPECT_EQ(Demowert(39), 252);
    EXPECT_EQ(Demowert(118), 2);
    for (int p = -1000; p <= 1000; ++p) {
        EXPECT_GE(Demowert(p), 2);
        EXPECT_LE(Demowert(p), 252);
    }
}

}  // namespace
}  // namespace veka
