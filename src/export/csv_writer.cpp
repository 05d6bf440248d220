#include "export/csv_writer.h"

#include "display/auswertung.h"

namespace veka {

namespace {

constexpr std::string_view kZeilenende = "\r\n";

void kommentar(std::string& out, std::string_view schluessel, std::string_view wert) {
    out += "# ";
    out += csvField(schluessel);
    out += ',';
    out += csvField(wert);
    out += kZeilenende;
}

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

std::string writeCsv(const TraceSnapshot& a, std::string_view exportiert) {
    std::string out;
    kommentar(out, "Messart", modeName(a.mode));
    kommentar(out, "Detektor", a.linear ? "lin" : "log");
    kommentar(out, "Überschrift", a.heading);
    kommentar(out, "Exportiert", exportiert);
    if (a.factors) {
        kommentar(out, "Korrekturfaktor1", std::to_string(a.factors->k1));
        kommentar(out, "Korrekturfaktor2", std::to_string(a.factors->k2));
    } else {
        kommentar(out, "Korrekturfaktoren", "keine");
    }
    out += a.linear ? "Frequenz (Hz),Anzeigewert,Pegel (linear)"
                    : "Frequenz (Hz),Anzeigewert,Pegel (dB)";
    out += kZeilenende;
    for (int k = 1; k <= a.points; ++k) {
        const int32_t wert = a.values[static_cast<size_t>(k)];
        out += std::to_string(frequencyAt(a.start, a.step, k - 1));
        out += ',';
        out += std::to_string(wert);
        out += ',';
        out += Pegelzahl(wert, a.linear, '.');
        out += kZeilenende;
    }
    return out;
}

}  // namespace veka
