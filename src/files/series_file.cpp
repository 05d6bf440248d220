// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/series_file.h"

#include "files/integer_rule.h"
#include "files/text_codec.h"
#include "files/text_lines.h"

namespace veka {

namespace {

constexpr std::array<std::string_view, 4> kKennungen = {
    "", "Durchgangsmessung VEKA", "Reflexionsmessung VEKA", "Spektralmessung VEKA"};

std::string joined(int32_t a, int32_t b) {
    return std::to_string(a) + ";" + std::to_string(b);
}

void writeHeader(LineWriter& out, const Instrument& inst, int art) {
    const Einstellungen& e = inst.e;
    const bool linear = inst.Linear.load();
    out.line(kKennungen[static_cast<size_t>(art)]);
    out.line(utf8ToCp1252(inst.Diagrammueberschrift));
    if (art == Reflexion)
        for (size_t k = 0; k < e.Line.size(); ++k) out.line(joined(e.Line[k], e.LineText[k]));
    const Korrfaktorpaar* paar = nullptr;
    switch (art) {
        case Durchgang:
            paar = linear ? &e.Dlin : &e.Dlog;
            break;
        case Reflexion:
            paar = linear ? &e.Rlin : &e.Rlog;
            break;
        default:
            paar = linear ? &e.Slin : &e.Slog;
            break;
    }
    out.line(linear ? "lin" : "log");
    out.line("Korrekturfaktor1 =" + std::to_string(paar->k1));
    out.line("Korrekturfaktor2 =" + std::to_string(paar->k2));
}

// The level in dB a transmission line carries beside its value.
int32_t pegel(int32_t wert) {
    return runden((static_cast<double>(wert) - 320.0) / 4.0);
}

// A field that ends at a ";" is empty when that ";" is missing.
std::string_view firstField(std::string_view line) {
    const size_t semi = line.find(';');
    return semi == std::string_view::npos ? std::string_view{} : line.substr(0, semi);
}

std::string_view secondField(std::string_view line) {
    const size_t first = line.find(';');
    if (first == std::string_view::npos) return {};
    const size_t second = line.find(';', first + 1);
    if (second == std::string_view::npos) return {};
    return line.substr(first + 1, second - first - 1);
}

// Everything after the first ";"; without one nothing is cut, as with "=" in a
// configuration line.
std::string_view restAfterFirstField(std::string_view line) {
    const size_t semi = line.find(';');
    return semi == std::string_view::npos ? line : line.substr(semi + 1);
}

int kindOf(std::string_view tag) {
    for (size_t art = 1; art < kKennungen.size(); ++art)
        if (tag == kKennungen[art]) return static_cast<int>(art);
    return 0;
}

}  // namespace

std::string messreiheSchreiben(const Instrument& inst) {
    const int art = inst.Messart.load();
    if (art != Durchgang && art != Reflexion && art != Spektrum) return {};
    LineWriter out;
    writeHeader(out, inst, art);
    const Einstellungen& e = inst.e;
    const int punkte = inst.punktzahl();
    for (int k = 1; k <= punkte; ++k) {
        const int32_t f = pointFrequency(e, k);
        const int32_t wert = inst.daten.Messwerte[static_cast<size_t>(k)];
        const int32_t dritter = art == Durchgang ? pegel(wert) : wert;
        out.line(joined(f, wert) + ";" + std::to_string(dritter));
    }
    return out.take();
}

std::optional<GeladeneMessreihe> messreiheLesen(std::string_view bytes, bool* falscheKennung) {
    LineReader in(bytes);
    GeladeneMessreihe reihe;
    reihe.art = kindOf(in.next());
    if (falscheKennung) *falscheKennung = reihe.art == 0;
    if (reihe.art == 0) return std::nullopt;

    reihe.ueberschrift = cp1252ToUtf8(in.next());
    if (reihe.art == Reflexion) {
        for (GeladeneMessreihe::Linie& linie : reihe.linien) {
            const std::string_view line = in.next();
            linie.hoehe = leadingInteger(firstField(line));
            linie.text = leadingInteger(restAfterFirstField(line));
        }
    }
    reihe.linear = in.next() == "lin";
    in.next();  // the two factor lines are not used
    in.next();

    const std::string_view first = in.next();
    reihe.F0 = leadingInteger(firstField(first));
    reihe.werte.push_back(leadingInteger(secondField(first)));
    const std::string_view second = in.next();
    reihe.S = wrapSub(leadingInteger(firstField(second)), reihe.F0);
    reihe.werte.push_back(leadingInteger(secondField(second)));
    // Messwerte holds no more; the rest of a longer file is ignored.
    while (!in.atEnd() && reihe.werte.size() < static_cast<size_t>(MaxPunkte))
        reihe.werte.push_back(leadingInteger(secondField(in.next())));
    return reihe;
}

}  // namespace veka
