// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/export_format.h"

#include <array>
#include <cctype>
#include <utility>

namespace veka {

namespace {

constexpr std::array<std::pair<std::string_view, ExportFormat>, 6> kExtensions = {{
    {"csv", ExportFormat::Csv},
    {"png", ExportFormat::Png},
    {"svg", ExportFormat::Svg},
    {"pdf", ExportFormat::Pdf},
    {"dat", ExportFormat::Dat},
    {"json", ExportFormat::Json},
}};

}  // namespace

std::optional<ExportFormat> formatOfName(std::string_view path) {
    const size_t dot = path.find_last_of("./");
    if (dot == std::string_view::npos || path[dot] != '.') return std::nullopt;
    std::string extension(path.substr(dot + 1));
    for (char& c : extension)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (const auto& [text, format] : kExtensions)
        if (extension == text) return format;
    return std::nullopt;
}

std::string exportFilter() {
    return "CSV-Tabelle|*.csv|PNG-Bild|*.png|SVG-Grafik|*.svg|PDF-Seite|*.pdf|Messreihe|*.dat|"
           "JSON-Zusammenfassung|*.json";
}

}  // namespace veka
