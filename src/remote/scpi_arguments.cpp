// SPDX-License-Identifier: GPL-3.0-or-later
#include "remote/scpi_arguments.h"

#include <cctype>
#include <filesystem>

#include "remote/error_queue.h"

namespace veka {

namespace {

using Kind = ScpiArgument::Kind;

// The one argument of a command.
int single(const ScpiCommand& c, const ScpiArgument*& a) {
    if (c.arguments.empty()) return scpi::MissingParameter;
    if (c.arguments.size() > 1) return scpi::ParameterNotAllowed;
    a = &c.arguments.front();
    return scpi::NoError;
}

int single(const ScpiCommand& c, Kind kind, const ScpiArgument*& a) {
    if (const int e = single(c, a)) return e;
    return a->kind == kind ? scpi::NoError : scpi::DataTypeError;
}

// The power of ten a suffix stands for in the unit.
int suffixScale(const std::string& suffix, Unit unit, int& scale) {
    scale = 0;
    if (suffix.empty()) return scpi::NoError;
    if (unit == Unit::None) return scpi::SuffixNotAllowed;
    struct Known {
        Unit unit;
        std::string_view name;
        int scale;
    };
    static constexpr Known kSuffixes[] = {
        {Unit::Hertz, "HZ", 0},  {Unit::Hertz, "KHZ", 3},  {Unit::Hertz, "MHZ", 6},
        {Unit::Hertz, "GHZ", 9}, {Unit::Decibel, "DB", 0},
    };
    for (const Known& k : kSuffixes)
        if (k.unit == unit && keywordMatches(suffix, k.name)) {
            scale = k.scale;
            return scpi::NoError;
        }
    return scpi::InvalidSuffix;
}

// MINimum, MAXimum or DEFault of the range; -224 for another word.
int rangeWord(const ScpiArgument& a, const Range& range, int64_t& value) {
    if (keywordMatches(a.text, "MINimum"))
        value = range.min;
    else if (keywordMatches(a.text, "MAXimum"))
        value = range.max;
    else if (keywordMatches(a.text, "DEFault"))
        value = range.def;
    else
        return scpi::IllegalParameterValue;
    return scpi::NoError;
}

}  // namespace

int noArguments(const ScpiCommand& c) {
    return c.arguments.empty() ? scpi::NoError : scpi::ParameterNotAllowed;
}

int numberArgument(const ScpiCommand& c, Unit unit, const Range& range, int32_t& value) {
    const ScpiArgument* a = nullptr;
    if (const int e = single(c, a)) return e;
    int64_t v = 0;
    if (a->kind == Kind::Word) {
        if (const int e = rangeWord(*a, range, v)) return e;
    } else if (a->kind == Kind::Number) {
        int scale = 0;
        if (const int e = suffixScale(a->text, unit, scale)) return e;
        const std::optional<int64_t> n = a->scaled(scale);
        if (!n) return scpi::DataOutOfRange;
        v = *n;
    } else {
        return scpi::DataTypeError;
    }
    if (v < INT32_MIN || v > INT32_MAX) return scpi::DataOutOfRange;
    value = static_cast<int32_t>(v);
    return scpi::NoError;
}

int rangeQuery(const ScpiCommand& c, const Range& range, std::optional<int64_t>& which) {
    which.reset();
    if (c.arguments.empty()) return scpi::NoError;
    const ScpiArgument* a = nullptr;
    if (const int e = single(c, Kind::Word, a)) return e;
    int64_t v = 0;
    if (const int e = rangeWord(*a, range, v)) return e;
    which = v;
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
    return scpi::IllegalParameterValue;  // a word, but not one this command knows
}

int booleanArgument(const ScpiCommand& c, bool& value) {
    if (!c.arguments.empty() && c.arguments.front().kind == Kind::Number) {
        int32_t n = 0;
        if (const int e = numberArgument(c, Unit::None, Range{}, n)) return e;
        if (n != 0 && n != 1) return scpi::DataOutOfRange;
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

int remoteFileName(const std::string& name, std::string_view extension, std::string& why) {
    const std::filesystem::path p(name);
    why.clear();
    if (name.empty() || p.is_absolute()) why = "outside the working folder";
    for (const auto& part : p) {
        const std::string s = part.string();
        if (why.empty() && s != "." && !s.empty() && s.front() == '.') why = "hidden name";
    }
    if (why.empty() && !extension.empty()) {
        std::string file = p.filename().string();
        for (char& c : file) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (file.size() <= extension.size() ||
            file.compare(file.size() - extension.size(), extension.size(), extension) != 0)
            why = "not a " + std::string(extension) + " name";
        else if (file == "frequenz.cfg")
            why = "the frequency marks";
    }
    return why.empty() ? scpi::NoError : scpi::FileNameError;
}

}  // namespace veka
