// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <vector>

#include "simulator.h"

namespace vekasim {

constexpr uint8_t kControlLinear = 0x01;
constexpr uint8_t kControlTenBit = 0x04;
constexpr uint8_t kControlSecondModel = 0x40;
constexpr uint8_t kStrayByte = 0xEE;

double attenuationDb(uint8_t control);
// The detector reading as it goes over the wire: one byte, or two in 10-bit mode.
std::vector<uint8_t> encodeReading(uint16_t raw, bool tenBit);
// Everything the device sends for one frame, fault modes included (empty when silent).
// noiseDb: added to the level before it is read, for a noisy device.
std::vector<uint8_t> frameReply(const Options& o, uint32_t word, uint8_t control,
                                double noiseDb = 0);

}  // namespace vekasim
