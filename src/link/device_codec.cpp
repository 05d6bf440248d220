// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/device_codec.h"

#include <cmath>

#include "state/instrument.h"

namespace veka {

uint32_t Abstimmwort(int32_t frequenz, int32_t taktfrequenz) {
    constexpr double zweiHoch32 = 4294967296.0;
    const double faktor = zweiHoch32 / static_cast<double>(taktfrequenz);
    const double produkt = faktor * static_cast<double>(frequenz);
    if (!std::isfinite(produkt)) return 0;
    // Integers of this size are exact in a double, so fmod is exact too.
    double rest = std::fmod(std::nearbyint(produkt), zweiHoch32);
    if (rest < 0) rest += zweiHoch32;
    return static_cast<uint32_t>(rest);
}

int32_t gesendeteFrequenz(int32_t frequenz, bool zfAktiv, int32_t zfBerechnung,
                          int32_t zwischenfrequenz) {
    if (!zfAktiv || (zfBerechnung & 1) == 0) return frequenz;
    return (zfBerechnung & 2) ? wrapAdd(frequenz, zwischenfrequenz)
                              : wrapSub(frequenz, zwischenfrequenz);
}

std::array<uint8_t, 4> wortBytes(uint32_t wort) {
    return {static_cast<uint8_t>(wort), static_cast<uint8_t>(wort >> 8),
            static_cast<uint8_t>(wort >> 16), static_cast<uint8_t>(wort >> 24)};
}

uint8_t Steuerbyte(const Steuerbits& bits) {
    uint8_t byte = bits.hardwareversion == "VEKAMX" ? 80 : bits.daempfung;
    if (zehnBit(bits.messgenauigkeit)) byte |= 4;
    if (bits.smith) byte |= 2;
    if (bits.linear) byte |= 1;
    return byte;
}

uint16_t Demowert(int32_t punkt) {
    const double welle = std::sin(static_cast<double>(punkt) / 25.0) * 125.0;
    return static_cast<uint16_t>(runden(welle) + 127);
}

}  // namespace veka
