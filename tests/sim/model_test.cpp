// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cmath>

#include "sim/reply.h"
#include "sim/simulator.h"

namespace vekasim {
namespace {

struct LawCase {
    double level;
    bool linear;
    bool tenBit;
    uint16_t raw;
};

TEST(DetectorLaw, MatchesTable) {
    const LawCase cases[] = {
        {0, false, false, 210},     {0, true, false, 210},     {-80, false, false, 50},
        {-80, true, false, 50},     {-120, false, false, 50},  {-120, true, false, 50},
        {-10, false, false, 190},   {-10, true, false, 101},   {-6, true, false, 130},
        {-1.3, false, false, 207},  {-1.2, false, false, 208}, {22.5, false, false, 255},
        {30, false, false, 255},    {10, true, false, 255},    {0, false, true, 840},
        {-0.125, false, true, 839}, {-80, false, true, 200},   {-200, false, true, 200},
        {30, false, true, 1023},    {0, true, true, 840},      {-10, true, true, 402},
        {10, true, true, 1023},     {NAN, false, false, 50},   {INFINITY, true, true, 1023},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(rawReading(c.level, c.linear, c.tenBit), c.raw)
            << "level " << c.level << (c.linear ? " lin" : " log") << (c.tenBit ? " 10" : " 8");
    }
}

TEST(DetectorLaw, TenBitEncodingPutsLowBitsOnTop) {
    const std::pair<uint16_t, std::vector<uint8_t>> cases[] = {
        {839, {209, 0xC0}}, {1023, {255, 0xC0}}, {2, {0, 0x80}}, {1, {0, 0x40}}, {840, {210, 0}},
    };
    for (const auto& [raw, bytes] : cases) {
        EXPECT_EQ(encodeReading(raw, true), bytes) << raw;
        const auto& b = bytes;
        EXPECT_EQ(b[0] * 4 + (b[1] >> 6), raw);
    }
    EXPECT_EQ(encodeReading(210, false), std::vector<uint8_t>{210});
}

TEST(FrameReply, ControlByteSelectsDetectorAttenuatorAndWidth) {
    const std::pair<uint8_t, std::vector<uint8_t>> cases[] = {
        {0x00, {210}},    {0x10, {190}},    {0x20, {170}},       {0x30, {150}}, {0x50, {210}},
        {0x70, {210}},    {0x02, {210}},    {0x01, {210}},       {0x11, {101}}, {0x31, {55}},
        {0x14, {190, 0}}, {0x54, {210, 0}}, {0x15, {100, 0x80}},
    };
    Options o;
    o.dut = Dut::Through;
    for (const auto& [control, bytes] : cases) {
        EXPECT_EQ(frameReply(o, 0x1A000D0A, control), bytes) << "control " << int(control);
    }
}

TEST(FrameReply, FaultsApplyOnTopOfTheReading) {
    Options o;
    o.dut = Dut::Through;
    o.shortReply = true;
    o.strayBytes = 2;
    EXPECT_EQ(frameReply(o, 0, 0x04), (std::vector<uint8_t>{210, 0xEE, 0xEE}));
    EXPECT_EQ(frameReply(o, 0, 0x00), (std::vector<uint8_t>{210, 0xEE, 0xEE}));
    o.silent = true;
    EXPECT_TRUE(frameReply(o, 0, 0x04).empty());
    Options fixed;
    fixed.replyBytes = {0x12, 0x34, 0x56};
    EXPECT_EQ(frameReply(fixed, 0, 0x00), fixed.replyBytes);
}

TEST(Bandpass, ThreeDbPointsAtCentrePlusMinusHalfBandwidth) {
    const std::pair<double, double> filters[] = {
        {10140000, 100000}, {3500000, 35000}, {144e6, 1e6}, {7050000, 352500}};
    for (const auto& [f0, bw] : filters) {
        Options o;
        o.centreHz = f0;
        o.bandwidthHz = bw;
        EXPECT_NEAR(levelDb(o, f0), 0.0, 1e-9);
        EXPECT_NEAR(levelDb(o, f0 - bw / 2), -3.01, 0.1) << f0;
        EXPECT_NEAR(levelDb(o, f0 + bw / 2), -3.01, 0.1) << f0;
        EXPECT_LT(levelDb(o, f0 + 2 * bw), -10.0);
        EXPECT_EQ(levelDb(o, f0 / 1000), -80.0);  // a single resonator only falls 20 dB/decade
        EXPECT_EQ(levelDb(o, 0), -80.0);
    }
}

TEST(Lowpass, ButterworthFifthOrder) {
    Options o;
    o.dut = Dut::Lowpass;
    const double fc = o.cutoffHz;
    EXPECT_NEAR(levelDb(o, 0), 0.0, 1e-12);
    EXPECT_NEAR(levelDb(o, fc / 2), -0.0042, 0.0005);
    EXPECT_NEAR(levelDb(o, fc), -3.0103, 0.001);
    EXPECT_NEAR(levelDb(o, 2 * fc), -30.107, 0.01);
    EXPECT_EQ(levelDb(o, 100 * fc), -80.0);
}

TEST(Reflection, AntennaAndResistiveLoads) {
    Options o;
    o.dut = Dut::Antenna;
    EXPECT_EQ(levelDb(o, o.centreHz), -80.0);
    EXPECT_GT(levelDb(o, o.centreHz / 10), -0.1);
    // |X| = 100 ohm gives |Gamma|^2 = 1/2: f/f0 - f0/f = 2/Q.
    const double r = (0.05 + std::sqrt(0.0025 + 1.0));
    EXPECT_NEAR(levelDb(o, o.centreHz * r), -3.0103, 0.001);
    const std::pair<double, double> loads[] = {
        {50, -80}, {0, 0}, {150, -6.0206}, {50.0 / 3, -6.0206}, {1e9, 0}};
    for (const auto& [ohm, dB] : loads) {
        o.loadOhm = ohm;
        EXPECT_NEAR(levelDb(o, 1e6), dB, 1e-3) << ohm << " ohm";
    }
    Options fixed;
    fixed.dut = Dut::Short;
    EXPECT_EQ(levelDb(fixed, 1e6), 0.0);
    fixed.dut = Dut::Matched;
    EXPECT_EQ(levelDb(fixed, 1e6), -80.0);
}

TEST(Source, PeakAtTheSignalFrequency) {
    Options o;
    o.dut = Dut::Source;
    const double fs = o.sourceFreqHz, rbw = o.rbwHz;
    EXPECT_DOUBLE_EQ(levelDb(o, fs), -20.0);
    EXPECT_DOUBLE_EQ(levelDb(o, fs + rbw), -32.0);
    EXPECT_DOUBLE_EQ(levelDb(o, fs - rbw / 2), -23.0);
    EXPECT_EQ(levelDb(o, fs + 10 * rbw), -80.0);
    o.dut = Dut::CalSignal;
    EXPECT_DOUBLE_EQ(levelDb(o, fs), 10.0);
}

TEST(Level, FixedOverrideAndFloor) {
    const Dut duts[] = {Dut::Through, Dut::Open,    Dut::Bandpass, Dut::Lowpass,  Dut::Antenna,
                        Dut::Short,   Dut::Matched, Dut::Source,   Dut::CalSignal};
    for (Dut d : duts) {
        Options o;
        o.dut = d;
        o.levelDb = -7.5;
        EXPECT_EQ(levelDb(o, 123456), -7.5) << dutName(d);
        o.levelDb = -100;
        EXPECT_EQ(levelDb(o, 123456), -80.0) << dutName(d);
    }
    Options o;
    o.dut = Dut::Through;
    EXPECT_EQ(levelDb(o, 5e6), 0.0);
    o.dut = Dut::Open;
    EXPECT_EQ(levelDb(o, 5e6), -80.0);
}

TEST(OutputFrequency, WordTimesTrueClock) {
    struct Case {
        uint32_t word;
        double nominal, offset, expected;
    };
    const Case cases[] = {
        {0, 100e6, 0, 0},
        {0x80000000u, 100e6, 0, 50e6},
        {0x40000000u, 100e6, -1000, 24999750},
        {0x40000000u, 100e6, 0.5, 25000000.125},
        {0x80000000u, 50e6, 0, 25e6},
        {0xFFFFFFFFu, 100e6, 0, 100e6 - 100e6 / 4294967296.0},
        {435509684u, 100e6, 0, 10140000.0043},
    };
    for (const auto& c : cases) {
        Options o;
        o.nominalClockHz = c.nominal;
        o.clockOffsetHz = c.offset;
        EXPECT_NEAR(outputFrequency(c.word, o), c.expected, 1e-3) << c.word << " " << c.offset;
    }
}

}  // namespace
}  // namespace vekasim
