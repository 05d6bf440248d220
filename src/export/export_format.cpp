#include "export/export_format.h"

#include <array>
#include <cctype>
#include <utility>

namespace veka {

namespace {

constexpr std::array<std::pair<std::string_view, ExportFormat>, 5> kEndungen = {{
    {"csv", ExportFormat::Csv},
    {"png", ExportFormat::Png},
    {"svg", ExportFormat::Svg},
    {"pdf", ExportFormat::Pdf},
    {"dat", ExportFormat::Dat},
}};

}  // namespace

std::optional<ExportFormat> formatOfName(std::string_view pfad) {
    const size_t punkt = pfad.find_last_of("./");
    if (punkt == std::string_view::npos || pfad[punkt] != '.') return std::nullopt;
    std::string endung(pfad.substr(punkt + 1));
    for (char& c : endung) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (const auto& [text, format] : kEndungen)
        if (endung == text) return format;
    return std::nullopt;
}

std::string exportFilter() {
    return "CSV-Tabelle|*.csv|PNG-Bild|*.png|SVG-Grafik|*.svg|PDF-Seite|*.pdf|Messreihe|*.dat";
}

}  // namespace veka
