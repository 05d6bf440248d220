// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The one integer rule of the program, used for typed values, configuration lines and the
// settings dialog: blanks in front, then an optional sign and decimal digits, or a hexadecimal
// number of up to 8 digits after "$", "x", "X", "0x" or "0X"; nothing may follow, not even a
// blank; decimal values must fit in int32.

#include <cstdint>
#include <optional>
#include <string_view>

namespace veka {

std::optional<int32_t> parseInteger(std::string_view text);

// parseInteger, or the fallback when the text is not a valid integer.
inline int32_t integerOr(std::string_view text, int32_t fallback) {
    return parseInteger(text).value_or(fallback);
}

// The leading integer of a series-file field: blanks skipped, optional sign, digits up to the
// first other character ("$"/"x"/"0x" introduce hexadecimal); 0 when no number leads. Too
// many digits saturate rather than wrap: decimal at the int32 limits, hexadecimal at all 32
// bits set ($FFFFFFFF, that is -1).
int32_t leadingInteger(std::string_view field);

}  // namespace veka
