// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/auswertung.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <mutex>


namespace veka {

std::string FrequenzText(int32_t n) {
    const int64_t betrag = n < 0 ? -static_cast<int64_t>(n) : static_cast<int64_t>(n);
    const std::string ziffern = std::to_string(betrag);
    const size_t len = ziffern.size();
    std::string s = n < 0 ? "-" : "";
    for (size_t i = 0; i < len; ++i) {
        // A "." before the last three and, in longer numbers, before the last seven digits.
        if ((i == len - 3 && len > 3) || (i == len - 6 && len > 6)) s += '.';
        s += ziffern[i];
    }
    return s + " Hz";
}

namespace {

// v / 400 rounded to three significant digits and three decimals, halves away from zero.
// v / 400 is exactly v * 25 ten-thousandths, so the decimal rounding is done on integers.
std::string linearText(int32_t v, char dezimaltrenner) {
    const int64_t zehntausendstel = static_cast<int64_t>(v) * 25;
    int64_t betrag = zehntausendstel < 0 ? -zehntausendstel : zehntausendstel;
    int64_t stellen = 1;
    for (int64_t t = betrag; t >= 10; t /= 10) ++stellen;
    int64_t einheit = 10;                                 // at most three decimals
    for (int64_t s = 4; s < stellen; ++s) einheit *= 10;  // at most three significant digits
    betrag = (betrag + einheit / 2) / einheit * einheit;
    const int64_t ganz = betrag / 10000;
    const int64_t tausendstel = betrag % 10000 / 10;
    const std::string ziffern = std::to_string(1000 + tausendstel);  // zero padding
    const std::string bruch = ziffern.substr(1);
    std::string s = zehntausendstel < 0 && betrag != 0 ? "-" : "";
    s += std::to_string(ganz);
    s += dezimaltrenner;
    s += bruch;
    return s;
}

}  // namespace

std::string Pegelzahl(int32_t v, bool linear, char dezimaltrenner) {
    if (linear) return linearText(v, dezimaltrenner);
    const double db = static_cast<double>(static_cast<int64_t>(v) - 400) / 5.0;
    return std::to_string(runden(db));
}

std::string Pegeltext(int32_t v, bool linear) {
    // Exact in decimal: dB = (v - 400) / 5 in tenths, linear = v / 400 in ten-thousandths.
    const int64_t teile = linear ? int64_t{v} * 25 : (int64_t{v} - 400) * 2;
    const int64_t nenner = linear ? 10000 : 10;
    const uint64_t betrag = teile < 0 ? 0 - static_cast<uint64_t>(teile) : teile;
    std::string text = teile < 0 ? "-" : "";
    text += std::to_string(betrag / nenner);
    text += '.';
    text += std::to_string(betrag % nenner + nenner).substr(1);  // the leading zeros
    return text;
}

double levelOfValue(double displayValue, bool linear) {
    return linear ? displayValue / 400.0 : (displayValue - 400.0) / 5.0;
}

std::string Pegeltext(double v, bool linear) {
    if (v == std::trunc(v) && std::abs(v) < 2147483647.0)
        return Pegeltext(static_cast<int32_t>(v), linear);
    const double level = levelOfValue(v, linear);
    std::array<char, 32> buf{};
    const auto res = std::to_chars(buf.data(), buf.data() + buf.size(), level);
    return std::string(buf.data(), res.ptr);
}

std::string Werttext(int32_t v, bool linear, char dezimaltrenner) {
    const std::string zahl = Pegelzahl(v, linear, dezimaltrenner);
    return linear ? zahl : zahl + " dB";
}

std::string Ablesung(int32_t f, int32_t v, bool linear, char dezimaltrenner) {
    return FrequenzText(f) + " " + Werttext(v, linear, dezimaltrenner);
}

int32_t Cursorfrequenz(const Instrument& inst) {
    return frequencyAt(inst.e.Startfrequenz, inst.e.Schrittweite, inst.Cursorpunkt);
}

void clear_messwerte(WindowModel& fenster) {
    for (Control c : {Control::Label7, Control::Label8, Control::Label9, Control::Label10,
                      Control::Label11, Control::Label14}) {
        fenster.setText(c, "");
    }
}

Extremes findExtremes(const std::array<int32_t, MaxPunkte + 1>& werte, int n, int32_t start,
                      int32_t schritt, int32_t minStart) {
    Extremes ex;
    ex.maxFrequenz = start;
    ex.minWert = minStart;
    ex.minFrequenz = start;
    for (int k = 1; k <= n; ++k) {
        const int32_t v = werte[static_cast<size_t>(k)];
        const int32_t f = frequencyAt(start, schritt, k - 1);
        if (v > ex.maxWert) {
            ex.maxWert = v;
            ex.maxIndex = k;
            ex.maxFrequenz = f;
        }
        if (v < ex.minWert) {
            ex.minWert = v;
            ex.minFrequenz = f;
        }
    }
    return ex;
}

std::optional<BandEdges> findBandEdges(const std::array<int32_t, MaxPunkte + 1>& werte, int n,
                                       const Extremes& ex, int32_t schritt, bool linear) {
    const auto down = [&](int k) {
        const int32_t v = werte[static_cast<size_t>(k)];
        if (linear) return static_cast<double>(v) <= 0.7 * static_cast<double>(ex.maxWert);
        return static_cast<int64_t>(v) <= static_cast<int64_t>(ex.maxWert) - 24;
    };
    BandEdges b{ex.maxFrequenz, ex.maxFrequenz};
    int j = ex.maxIndex;
    do {
        b.unten = wrapSub(b.unten, schritt);
        j = std::max(j - 1, 1);
    } while (j != 1 && !down(j));
    int r = ex.maxIndex;
    do {
        b.oben = wrapAdd(b.oben, schritt);
        r = std::min(r + 1, n);
    } while (r != n && !down(r));
    if (j > 1 && r < n) return b;
    return std::nullopt;
}

void showBandwidth(WindowModel& fenster, const BandEdges& b, bool linear) {
    fenster.setText(Control::Label9, FrequenzText(b.unten));
    fenster.setText(Control::Label10, FrequenzText(b.oben));
    fenster.setText(Control::Label11,
                    FrequenzText(wrapSub(b.oben, b.unten)) + (linear ? " (3 dB)" : " (6 dB)"));
}

Auswertung auswerten(const std::array<int32_t, MaxPunkte + 1>& werte, int n, int32_t start,
                     int32_t schritt, int32_t messart, bool linear, int32_t cursorpunkt) {
    Auswertung a;
    a.ex = findExtremes(werte, n, start, schritt, 400);
    // A cursor from a configuration may lie outside the sweep: read the nearest stored point
    // but still give the cursor's own frequency.
    a.cursorFrequenz = frequencyAt(start, schritt, cursorpunkt);
    a.cursorWert = werte[static_cast<size_t>(std::clamp<int32_t>(cursorpunkt, 0, n))];
    if (messart == Durchgang) a.band = findBandEdges(werte, n, a.ex, schritt, linear);
    return a;
}

void maxminwert(Instrument& inst) {
    const bool linear = inst.Linear;
    const char sep = inst.Dezimaltrenner;
    Auswertung a;
    {
        std::lock_guard lock(inst.datenMutex);
        a = auswerten(inst.daten.Messwerte, inst.punktzahl(), inst.e.Startfrequenz,
                      inst.e.Schrittweite, inst.Messart, linear, inst.Cursorpunkt);
    }
    auto& fenster = inst.fenster;
    fenster.setText(Control::Label7, Ablesung(a.ex.maxFrequenz, a.ex.maxWert, linear, sep));
    fenster.setText(Control::Label8, Ablesung(a.ex.minFrequenz, a.ex.minWert, linear, sep));
    fenster.setText(Control::Label14, Ablesung(a.cursorFrequenz, a.cursorWert, linear, sep));
    if (a.band) showBandwidth(fenster, *a.band, linear);
}

}  // namespace veka
