// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The bytes of one device exchange, as pure functions: tuning word, IF offset, control byte,
// reply decoding and the synthesised demonstration reading.

#include <array>
#include <cstdint>
#include <string_view>

namespace veka {

// Tuning word for a frequency: round(2^32 / Taktfrequenz * frequenz), halves to even, taken
// modulo 2^32 (negative products give their two's complement). A clock of 0, or any input
// whose product is not finite, gives the word 0.
uint32_t Abstimmwort(int32_t frequenz, int32_t taktfrequenz);

// The frequency actually sent: shifted by the IF when the offset is active (bit 0 of
// zfBerechnung) and allowed (zfAktiv); added when bit 1 is set, else subtracted. Wraps.
int32_t gesendeteFrequenz(int32_t frequenz, bool zfAktiv, int32_t zfBerechnung,
                          int32_t zwischenfrequenz);

// The four tuning-word bytes, least significant first.
std::array<uint8_t, 4> wortBytes(uint32_t wort);

struct Steuerbits {
    std::string_view hardwareversion;
    uint8_t daempfung = 0;  // 0, 16, 32 or 48
    int32_t messgenauigkeit = 8;
    bool smith = false;
    bool linear = false;
};

// Base value Daempfung (first model) or 80 ("VEKAMX"), bit 2 for a 10-bit reply, bit 1 Smith,
// bit 0 linear.
uint8_t Steuerbyte(const Steuerbits& bits);

inline bool zehnBit(int32_t messgenauigkeit) {
    return messgenauigkeit > 8;
}

// Reading of a 10-bit reply: b0 carries bits 9..2, the top two bits of b1 bits 1..0.
inline uint16_t zehnBitWert(uint8_t b0, uint8_t b1) {
    return static_cast<uint16_t>(b0 * 4 + (b1 >> 6));
}

// The demonstration reading of a point: round(sin(punkt / 25) * 125) + 127.
uint16_t Demowert(int32_t punkt);

}  // namespace veka
