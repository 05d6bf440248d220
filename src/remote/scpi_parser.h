// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Text of one command line -> typed commands. A line holds one or more commands separated by
// ';'. A command is an optional ':', keywords separated by ':' (or a '*' common command), an
// optional '?', then arguments separated by ','. Arguments are decimal numbers (with sign,
// decimals, exponent and a unit suffix such as "10.7MHZ" or "9500 kHz"), quoted strings or
// words (ON, TRANsmission, MAXimum ...). Nothing here knows which keywords or units exist.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace veka {

struct ScpiArgument {
    enum class Kind { Number, String, Word };
    Kind kind = Kind::Number;
    // Number: mantissa * 10^exponent exactly, digits beyond the 18th dropped.
    int64_t mantissa = 0;
    int32_t exponent = 0;
    std::string text;  // String (unquoted), Word (as typed), or a Number's suffix ("MHZ")

    // The number times 10^scale, rounded half away from zero; nothing when it does not fit.
    std::optional<int64_t> scaled(int scale) const;
};

struct ScpiCommand {
    bool common = false;                // "*IDN?"
    bool absolute = false;              // leading ':' resets the path of a compound line
    std::vector<std::string> keywords;  // as typed; a common command has one, without '*'
    bool query = false;
    std::vector<ScpiArgument> arguments;
};

// One command of a line, or the SCPI error its text is.
struct ScpiParsed {
    int error = 0;  // 0, or a negative SCPI code
    ScpiCommand command;
};

// The commands of a line in order. A command with an error ends the list: nothing after it
// on the line is run.
std::vector<ScpiParsed> parseScpiLine(std::string_view line);

// Whether a typed keyword names the mnemonic "FREQuency": its short form (the capitals,
// "FREQ") or its long form, in any case.
bool keywordMatches(std::string_view typed, std::string_view mnemonic);

}  // namespace veka
