// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Measurement series files: writing the current sweep, reading one back.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "state/instrument.h"

namespace veka {

// A series of 300 points has about 10 KB; a larger file than this is not read.
inline constexpr size_t MaxMessreiheBytes = size_t{1} << 20;

// A series as read back from a file.
struct GeladeneMessreihe {
    int art = Durchgang;       // 1 transmission, 2 reflection, 3 spectrum
    std::string ueberschrift;  // line 2, shown in Label5 (UTF-8)
    struct Linie {
        int32_t hoehe = 0;
        int32_t text = 0;
    };
    std::array<Linie, 7> linien{};  // reflection only
    bool linear = false;            // scale line was exactly "lin"
    int32_t F0 = 0;                 // first data line's frequency
    int32_t S = 0;                  // second data line's frequency minus F0
    std::vector<int32_t> werte;     // at least 2, at most MaxPunkte
};

// The bytes of a series file for the current sweep: the layout of the mode for modes 1 to 3,
// nothing in every other mode. Reads Messwerte, so the caller holds datenMutex.
std::string messreiheSchreiben(const Instrument& inst);

// Reads a series file's bytes. A first line that is none of the three tags (compared exactly)
// gives nothing and sets *falscheKennung (when given); the caller then shows message 7.
// Values after the 300th data line are ignored.
std::optional<GeladeneMessreihe> messreiheLesen(std::string_view bytes, bool* falscheKennung);

}  // namespace veka
