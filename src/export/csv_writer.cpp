#include "export/csv_writer.h"

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
    std::string out = a.linear ? "frequency_hz,level_linear,display_value,raw_reading"
                               : "frequency_hz,level_db,display_value,raw_reading";
    out += kLineEnd;
    for (int k = 1; k <= a.points; ++k) {
        const auto i = static_cast<size_t>(k);
        out += std::to_string(frequencyAt(a.start, a.step, k - 1));
        out += ',';
        out += Pegeltext(a.values[i], a.linear);
        out += ',';
        out += std::to_string(a.values[i]);
        out += ',';
        if (a.measured) out += std::to_string(a.raw[i]);
        out += kLineEnd;
    }
    return out;
}

}  // namespace veka
