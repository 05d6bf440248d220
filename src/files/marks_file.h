// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The frequency-mark file "frequenz.cfg": up to 20 lines, one integer frequency each, for
// entries 1..20 of Frequenzmarken. The program only reads it.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace veka {

inline constexpr int MaxFrequenzmarken = 20;
using Frequenzmarkenfeld = std::array<int32_t, MaxFrequenzmarken + 1>;  // index 0 unused

// Twenty numbers take a few hundred bytes; a larger file than this is not read.
inline constexpr size_t MaxMarkenBytes = size_t{1} << 20;

// Line k gives entry k by the integer rule; invalid, empty or missing lines give 0, lines
// after the 20th are not read.
Frequenzmarkenfeld frequenzmarkenLesen(std::string_view bytes);

// The same from a file; a file that cannot be read or is too large gives all 0.
Frequenzmarkenfeld frequenzmarkenLaden(const std::string& path = "frequenz.cfg");

}  // namespace veka
