// SPDX-License-Identifier: GPL-3.0-or-later
#include <algorithm>
#include <cmath>

#include "reply.h"
#include "simulator.h"

namespace vekasim {
namespace {

constexpr double kFloorDb = -80.0;
constexpr double kReferenceOhm = 50.0;

double floored(double dB) {
    return std::isnan(dB) ? kFloorDb : std::max(dB, kFloorDb);
}

double powerRatioDb(double ratio) {
    return ratio > 0 ? 10.0 * std::log10(ratio) : kFloorDb;
}

double bandpassDb(double f, double f0, double bw) {
    if (f <= 0 || f0 <= 0 || bw <= 0) return kFloorDb;
    const double x = (f0 / bw) * (f / f0 - f0 / f);
    return powerRatioDb(1.0 / (1.0 + x * x));
}

double lowpassDb(double f, double fc) {
    if (fc <= 0) return kFloorDb;
    return -10.0 * std::log10(1.0 + std::pow(std::abs(f) / fc, 10));
}

double resistiveGamma(double r) {
    // A passive load never reflects more than it gets.
    if (r + kReferenceOhm <= 0) return 1.0;
    return std::min(1.0, std::abs((r - kReferenceOhm) / (r + kReferenceOhm)));
}

double antennaGamma(const Options& o, double f) {
    if (o.loadOhm) return resistiveGamma(*o.loadOhm);
    if (f <= 0 || o.centreHz <= 0) return 1.0;  // the series capacitor blocks DC
    // Series RLC with R = 50 ohm: Z - 50 = jX, Z + 50 = 100 + jX.
    const double x = kReferenceOhm * o.q * (f / o.centreHz - o.centreHz / f);
    return std::abs(x) / std::hypot(2 * kReferenceOhm, x);
}

double sourceDb(double f, double fs, double levelDbm, double rbw) {
    if (rbw <= 0) return f == fs ? levelDbm : kFloorDb;
    const double d = (f - fs) / rbw;
    return levelDbm - 12.0 * d * d;
}

double responseDb(const Options& o, double f) {
    switch (o.dut) {
        case Dut::Through:
        case Dut::Short:
            return 0.0;
        case Dut::Open:
        case Dut::Matched:
            return kFloorDb;
        case Dut::Bandpass:
            return bandpassDb(f, o.centreHz, o.bandwidthHz);
        case Dut::Lowpass:
            return lowpassDb(f, o.cutoffHz);
        case Dut::Antenna: {
            const double g = antennaGamma(o, f);
            return g > 0 ? 20.0 * std::log10(g) : kFloorDb;
        }
        case Dut::Source:
            return sourceDb(f, o.sourceFreqHz, o.sourceLevelDbm, o.rbwHz);
        case Dut::CalSignal:
            return sourceDb(f, o.sourceFreqHz, 10.0, o.rbwHz);
    }
    return kFloorDb;
}

}  // namespace

double levelDb(const Options& o, double frequencyHz) {
    if (o.levelDb) return floored(*o.levelDb);
    return floored(responseDb(o, frequencyHz));
}

uint16_t rawReading(double levelDb, bool linear, bool tenBit) {
    const double l = floored(levelDb);
    const double raw8 = linear ? 50.0 + 160.0 * std::pow(10.0, l / 20.0) : 50.0 + 2.0 * (l + 80.0);
    const double scaled = tenBit ? 4.0 * raw8 : raw8;
    const double top = tenBit ? 1023.0 : 255.0;
    return static_cast<uint16_t>(std::lround(std::clamp(scaled, 0.0, top)));
}

double outputFrequency(uint32_t word, const Options& o) {
    const double trueClock = o.nominalClockHz + o.clockOffsetHz;
    return static_cast<double>(word) * trueClock / 4294967296.0;
}

double attenuationDb(uint8_t control) {
    // The second model sets bit 6 and has no switchable attenuator.
    if (control & kControlSecondModel) return 0.0;
    return 10.0 * ((control >> 4) & 0x03);
}

std::vector<uint8_t> encodeReading(uint16_t raw, bool tenBit) {
    if (!tenBit) return {static_cast<uint8_t>(raw)};
    return {static_cast<uint8_t>(raw >> 2), static_cast<uint8_t>((raw & 0x03) << 6)};
}

std::vector<uint8_t> frameReply(const Options& o, uint32_t word, uint8_t control,
                                double noiseDb) {
    if (o.silent) return {};
    const bool tenBit = control & kControlTenBit;
    std::vector<uint8_t> bytes = o.replyBytes;
    if (bytes.empty()) {
        const double l = levelDb(o, outputFrequency(word, o)) - attenuationDb(control) + noiseDb;
        bytes = encodeReading(rawReading(l, control & kControlLinear, tenBit), tenBit);
    }
    if (o.shortReply && tenBit && bytes.size() > 1) bytes.resize(1);
    bytes.insert(bytes.end(), static_cast<size_t>(std::max(o.strayBytes, 0)), kStrayByte);
    return bytes;
}

}  // namespace vekasim
