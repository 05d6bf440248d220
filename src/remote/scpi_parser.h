#pragma once
// Text of one command line -> typed commands. A line holds one or more commands separated by
// ';'. A command is an optional ':', keywords separated by ':' (or a '*' common command), an
// optional '?', then arguments separated by ','. Arguments are integers, quoted strings or
// words (ON, TRANsmission ...). Nothing here knows which keywords exist.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace veka {

struct ScpiArgument {
    enum class Kind { Integer, String, Word };
    Kind kind = Kind::Integer;
    int64_t integer = 0;  // Integer; outOfRange when the digits do not fit
    bool outOfRange = false;
    std::string text;  // String (unquoted) or Word (as typed)
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
