#include "remote/scpi_arguments.h"

#include <filesystem>

#include "remote/error_queue.h"

namespace veka {

namespace {

using Kind = ScpiArgument::Kind;

// The one argument of a command, of the kind wanted.
int single(const ScpiCommand& c, Kind kind, const ScpiArgument*& a) {
    if (c.arguments.empty()) return scpi::MissingParameter;
    if (c.arguments.size() > 1) return scpi::ParameterNotAllowed;
    a = &c.arguments.front();
    return a->kind == kind ? scpi::NoError : scpi::DataTypeError;
}

}  // namespace

int noArguments(const ScpiCommand& c) {
    return c.arguments.empty() ? scpi::NoError : scpi::ParameterNotAllowed;
}

int integerArgument(const ScpiCommand& c, int64_t lowest, int64_t highest, int32_t& value) {
    const ScpiArgument* a = nullptr;
    if (const int e = single(c, Kind::Integer, a)) return e;
    if (a->outOfRange || a->integer < lowest || a->integer > highest) return scpi::DataOutOfRange;
    value = static_cast<int32_t>(a->integer);
    return scpi::NoError;
}

int choiceArgument(const ScpiCommand& c, std::initializer_list<std::string_view> mnemonics,
                   size_t& index) {
    const ScpiArgument* a = nullptr;
    if (const int e = single(c, Kind::Word, a)) return e;
    index = 0;
    for (std::string_view m : mnemonics) {
        if (keywordMatches(a->text, m)) return scpi::NoError;
        ++index;
    }
    return scpi::DataOutOfRange;  // a word, but not one this command knows
}

int booleanArgument(const ScpiCommand& c, bool& value) {
    if (!c.arguments.empty() && c.arguments.front().kind == Kind::Integer) {
        int32_t n = 0;
        if (const int e = integerArgument(c, 0, 1, n)) return e;
        value = n == 1;
        return scpi::NoError;
    }
    size_t index = 0;
    if (const int e = choiceArgument(c, {"ON", "OFF"}, index)) return e;
    value = index == 0;
    return scpi::NoError;
}

int stringArgument(const ScpiCommand& c, std::string& value) {
    const ScpiArgument* a = nullptr;
    if (const int e = single(c, Kind::String, a)) return e;
    value = a->text;
    return scpi::NoError;
}

bool isSafeRelativeName(const std::string& name) {
    if (name.empty() || name.find('\0') != std::string::npos) return false;
    const std::filesystem::path p(name);
    if (p.is_absolute() || p.has_root_path()) return false;
    for (const auto& part : p)
        if (part == "..") return false;
    return p.has_filename();
}

}  // namespace veka
