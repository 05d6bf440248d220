// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/trace_tables.h"

#include <charconv>
#include <optional>

namespace veka {

namespace {

std::vector<std::string_view> split(std::string_view s, char sep) {
    std::vector<std::string_view> parts;
    for (size_t from = 0;;) {
        const size_t at = s.find(sep, from);
        parts.push_back(s.substr(from, at == std::string_view::npos ? at : at - from));
        if (at == std::string_view::npos) return parts;
        from = at + 1;
    }
}

// The table's rows, the line ends taken off and empty lines at the end dropped.
std::vector<std::vector<std::string_view>> rows(std::string_view bytes) {
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);  // a byte order mark
    std::vector<std::vector<std::string_view>> out;
    for (std::string_view line : split(bytes, '\n')) {
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        out.push_back(split(line, ','));
    }
    while (!out.empty() && out.back().size() == 1 && out.back()[0].empty()) out.pop_back();
    return out;
}

template <typename T>
std::optional<T> number(std::string_view s) {
    T v{};
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (s.empty() || ec != std::errc{} || end != s.data() + s.size()) return std::nullopt;
    return v;
}

std::string rowText(size_t row) {
    return "row " + std::to_string(row + 1);
}

}  // namespace

std::variant<std::vector<LimitRow>, std::string> readLimitTable(std::string_view bytes) {
    const auto table = rows(bytes);
    if (table.empty() || table[0].size() != 3 || table[0][0] != "frequency_hz" ||
        table[0][1] != "upper" || table[0][2] != "lower")
        return std::string("the first row must be frequency_hz,upper,lower");
    std::vector<LimitRow> limits;
    for (size_t r = 1; r < table.size(); ++r) {
        const auto& f = table[r];
        const auto hz = f.size() == 3 ? number<int32_t>(f[0]) : std::nullopt;
        if (!hz) return rowText(r) + ": three fields, a frequency in whole Hz first";
        LimitRow row{*hz, number<double>(f[1]), number<double>(f[2])};
        if ((!row.upper && !f[1].empty()) || (!row.lower && !f[2].empty()))
            return rowText(r) + ": a limit must be a number or empty";
        if (!limits.empty() && row.frequencyHz <= limits.back().frequencyHz)
            return rowText(r) + ": the frequencies must rise from row to row";
        limits.push_back(row);
    }
    if (limits.empty()) return std::string("the table has no rows");
    return limits;
}

std::variant<TraceTable, std::string> readTraceTable(std::string_view bytes) {
    const auto table = rows(bytes);
    if (table.empty() || table[0].size() < 2 || table[0][0] != "frequency_hz" ||
        (table[0][1] != "level_db" && table[0][1] != "level_linear"))
        return std::string("the first row must start frequency_hz,level_db or level_linear");
    TraceTable t;
    t.linear = table[0][1] == "level_linear";
    std::vector<int64_t> hz;
    for (size_t r = 1; r < table.size(); ++r) {
        const auto f = table[r].size() >= 2 ? number<int64_t>(table[r][0]) : std::nullopt;
        const auto level = table[r].size() >= 2 ? number<double>(table[r][1]) : std::nullopt;
        if (!f || !level) return rowText(r) + ": a frequency and a level";
        hz.push_back(*f);
        t.levels.push_back(*level);
    }
    if (hz.empty()) return std::string("the table has no points");
    t.startHz = hz[0];
    t.stepHz = hz.size() > 1 ? hz[1] - hz[0] : 0;
    for (size_t k = 1; k < hz.size(); ++k)
        if (hz[k] - hz[k - 1] != t.stepHz) return rowText(k + 1) + ": not in equal steps";
    return t;
}

}  // namespace veka
