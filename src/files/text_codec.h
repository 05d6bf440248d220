// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Strings inside the program are UTF-8; the files are 8-bit Windows-1252 text. The five
// bytes that code page leaves undefined map to U+0081, U+008D, U+008F, U+0090 and U+009D,
// so every byte survives a round trip.

#include <string>
#include <string_view>

namespace veka {

// Every byte becomes one character.
std::string cp1252ToUtf8(std::string_view bytes);

// Characters outside the code page, and bytes that are not valid UTF-8, become '?'.
std::string utf8ToCp1252(std::string_view text);

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool isValidUtf8(std::string_view bytes);

// A text file of unknown encoding as UTF-8: a leading UTF-8 byte order mark is dropped; the
// rest is taken as UTF-8 when it is valid UTF-8, else as Windows-1252.
std::string textFileToUtf8(std::string_view bytes);

}  // namespace veka
