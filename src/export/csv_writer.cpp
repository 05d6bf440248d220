// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/csv_writer.h"

#include <utility>
#include <vector>

#include "display/auswertung.h"

namespace veka {

namespace {

constexpr std::string_view kLineEnd = "\r\n";

}  // namespace

std::string csvField(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
    std::string s = "\"";
    for (char c : text) {
        if (c == '"') s += '"';
        s += c;
    }
    return s + '"';
}

std::string writeCsv(const TraceSnapshot& a) {
    const std::string unit = a.linear ? "_linear" : "_db";
    // The columns of the additions that are on, after the four of every table.
    std::vector<std::pair<std::string, const PointValues*>> extra;
    if (a.hold != Hold::Off) extra.emplace_back("held" + unit, &a.held);
    if (a.referenceShown) extra.emplace_back("reference" + unit, &a.reference);
    if (a.normalised) extra.emplace_back("normalised" + unit, &a.shownValues);
    std::string out = "frequency_hz,level" + unit + ",display_value,raw_reading";
    for (const auto& [name, values] : extra) out += "," + name;
    out += kLineEnd;
    for (int k = 1; k <= a.points; ++k) {
        const auto i = static_cast<size_t>(k);
        out += std::to_string(frequencyAt(a.start, a.step, k - 1));
        out += ',';
        out += Pegeltext(a.level[i], a.linear);
        out += ',';
        out += std::to_string(a.values[i]);
        out += ',';
        if (a.measured) out += std::to_string(a.raw[i]);
        for (const auto& [name, values] : extra) {
            out += ',';
            out += Pegeltext((*values)[i], a.linear);
        }
        out += kLineEnd;
    }
    return out;
}

}  // namespace veka
