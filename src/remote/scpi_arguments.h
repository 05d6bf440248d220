// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Checks of a command's arguments against what a handler takes. Each returns 0 and fills its
// result, or the SCPI code of what is wrong: none given (-109), too many (-108), the wrong
// kind (-104), a unit the setting does not take (-131, -138), a value outside the range
// (-222), a word the command does not know (-224).

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

#include "measure/operations.h"
#include "remote/scpi_parser.h"

namespace veka {

// The unit of a setting, and so the suffixes it takes: HZ, KHZ, MHZ, GHZ; DB; none.
enum class Unit { None, Hertz, Decibel };

int noArguments(const ScpiCommand& c);
// A number in the unit, rounded to a whole one, or MINimum, MAXimum or DEFault of the range.
// Anything beyond the int32 range is -222; the operation checks the range itself.
int numberArgument(const ScpiCommand& c, Unit unit, const Range& range, int32_t& value);
// The optional MINimum|MAXimum|DEFault of a query: `which` gets the range's value, or stays
// empty for a query of the present value.
int rangeQuery(const ScpiCommand& c, const Range& range, std::optional<int64_t>& which);
// A word naming one of the mnemonics ("TRANsmission"); index is its position in the list.
int choiceArgument(const ScpiCommand& c, std::initializer_list<std::string_view> mnemonics,
                   size_t& index);
// ON, OFF, 1 or 0.
int booleanArgument(const ScpiCommand& c, bool& value);
int stringArgument(const ScpiCommand& c, std::string& value);

// Whether a remote client may name this file: relative, no hidden component (".ssh/x"), and
// when `extension` is given (".cfg", ".csv") a name with it, in any case; never the frequency
// marks' "frequenz.cfg". 0, or -257 with the reason in `why`. Where the name leads is checked
// when it is resolved (ConfinedFile).
int remoteFileName(const std::string& name, std::string_view extension, std::string& why);

}  // namespace veka
