// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How answers are written: numbers in ASCII with '.' decimals whatever the locale, levels at
// the display's resolution, and lists either as ASCII or as IEEE 488.2 definite-length blocks
// of binary floats (FORMat:DATA REAL,32|64 with FORMat:BORDer NORMal or SWAPped).

#include <cstdint>
#include <string>
#include <vector>

namespace veka {

// SCPI's "not a number": a figure the sweep does not reach.
inline constexpr char kNotANumber[] = "9.91E37";

struct DataFormat {
    enum class Kind { Ascii, Real32, Real64 };
    Kind kind = Kind::Ascii;
    bool swapped = false;  // least significant byte first; NORMal is most significant first
};

// A level as the display resolves it: dB with one decimal ("-10.2", "0.0"), or a linear
// fraction with four ("0.0025").
std::string levelText(double level, bool linear);
// Seconds, shortest form that reads back exactly ("1.75").
std::string secondsText(double seconds);
// "#<digits><length><bytes>".
std::string definiteBlock(const std::string& bytes);

// A list of values: ASCII separated by ',' (each through `ascii`), or a block of floats.
std::string listAnswer(const std::vector<double>& values, const DataFormat& format,
                       std::string (*ascii)(double));

// ASCII renderings for listAnswer.
std::string wholeText(double v);   // "10040000"
std::string dbText(double v);      // levelText(v, false)
std::string linearText(double v);  // levelText(v, true)

// A text fit for one field of *IDN?: printable ASCII without ',', ';' or quotes, blanks
// collapsed and trimmed.
std::string idnField(const std::string& text);

}  // namespace veka
