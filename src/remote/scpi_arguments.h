#pragma once
// Checks of a command's arguments against what a handler takes. Each returns 0 and fills its
// result, or the SCPI code of what is wrong: none given (-109), too many (-108), the wrong
// kind (-104), a value outside the range (-222).

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "remote/scpi_parser.h"

namespace veka {

int noArguments(const ScpiCommand& c);
int integerArgument(const ScpiCommand& c, int64_t lowest, int64_t highest, int32_t& value);
// A word naming one of the mnemonics ("TRANsmission"); index is its position in the list.
int choiceArgument(const ScpiCommand& c, std::initializer_list<std::string_view> mnemonics,
                   size_t& index);
// ON, OFF, 1 or 0.
int booleanArgument(const ScpiCommand& c, bool& value);
int stringArgument(const ScpiCommand& c, std::string& value);

// A file name a remote client may use: relative, and never climbing out of the working folder.
bool isSafeRelativeName(const std::string& name);

}  // namespace veka
