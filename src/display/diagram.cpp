// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/diagram.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <mutex>

#include "display/auswertung.h"
#include "display/limits.h"

namespace veka {

namespace {

constexpr int64_t X0 = DiagrammLinks;
constexpr int64_t Y0 = DiagrammUnten;
constexpr int64_t Hoehe = 400;

void drawMarkers(Zeichenziel& f, const Instrument& inst, int n) {
    const uint8_t farbe = farbindex(inst.e.Markenfarbe);
    const int32_t start = inst.e.Startfrequenz;
    const int32_t step = inst.e.Schrittweite;
    for (int p = 1; p <= n; ++p) {
        const int32_t lo = frequencyAt(start, step, p - 1);
        const int32_t hi = frequencyAt(start, step, p);
        const int64_t x = X0 + 2 * p - 2;
        for (int m = 1; m <= 20; ++m) {
            const int32_t fm = inst.Frequenzmarken[static_cast<size_t>(m)];
            if (lo <= fm && fm < hi) {
                f.linie(x, Y0, x, Y0 - Hoehe, farbe);
                f.text(x, Y0 + (m % 2 == 1 ? 45 : 55), FrequenzText(fm), farbe);
            }
        }
    }
}

void drawVfoScale(Zeichenziel& f, const Instrument& inst) {
    const uint8_t farbe = farbindex(inst.e.Diagrammfarbe);
    const int32_t start = inst.e.Startfrequenz;
    const int32_t step = inst.e.Schrittweite;
    int32_t fz = start;
    if ((inst.e.ZFBerechnung & 1) != 0) {
        fz = (inst.e.ZFBerechnung & 2) != 0 ? wrapAdd(start, inst.e.Zwischenfrequenz)
                                            : wrapSub(start, inst.e.Zwischenfrequenz);
    }
    f.text(X0 + 250, Y0 - 80, FrequenzText(fz), farbe);
    f.text(X0 + 250, Y0 - 30, FrequenzText(start), farbe);
    f.linie(X0, Y0, X0 + 560, Y0, farbe);
    for (int j = 0; j <= 7; ++j) {
        const int64_t x = X0 + 80 * j;
        f.text(x - 24, Y0 + (j % 2 == 0 ? 15 : 30),
               FrequenzText(frequencyAt(start, step, 4 * j - 14)), farbe);
        f.linie(x, Y0, x, Y0 - 4, farbe);
    }
    for (int m = 0; m <= 14; ++m) f.linie(X0 + 40 * m, Y0, X0 + 40 * m, Y0 - 4, farbe);
    const uint8_t zeiger = farbindex(inst.e.Cursor);
    for (int d = 0; d <= 4; ++d) {
        f.linie(X0 + 280 - d, Y0 - 2 * d, X0 + 280 - d, Y0 - 12, zeiger);
        if (d > 0) f.linie(X0 + 280 + d, Y0 - 2 * d, X0 + 280 + d, Y0 - 12, zeiger);
    }
}

// Rounded half chord heights: h[i] = round(sqrt(R^2 - i^2)) for i = 0..n.
std::array<int32_t, 401> chordHeights(int r, int n) {
    std::array<int32_t, 401> h{};
    for (int i = 0; i <= n; ++i) {
        h[static_cast<size_t>(i)] = runden(std::sqrt(static_cast<double>(r * r - i * i)));
    }
    return h;
}

void drawCircle(Zeichenziel& f, int cx, int cy, int r, uint8_t farbe) {
    const auto h = chordHeights(r, r);
    for (int i = 1; i <= r; ++i) {
        const int a = h[static_cast<size_t>(i - 1)];
        const int b = h[static_cast<size_t>(i)];
        f.linie(cx + i - 1, cy + a, cx + i, cy + b, farbe);
        f.linie(cx + i - 1, cy - a, cx + i, cy - b, farbe);
        f.linie(cx - i + 1, cy + a, cx - i, cy + b, farbe);
        f.linie(cx - i + 1, cy - a, cx - i, cy - b, farbe);
    }
}

// The arcs of constant reactance from the right end of the real axis, inside the rim.
void drawReactanceArcs(Zeichenziel& f, int r, int n, uint8_t farbe) {
    const auto h = chordHeights(r, n);
    const int ex = SmithMitteX + 200;
    for (int i = 1; i <= n; ++i) {
        const int a = h[static_cast<size_t>(i - 1)];
        const int b = h[static_cast<size_t>(i)];
        f.linie(ex - i + 1, SmithMitteY - r + a, ex - i, SmithMitteY - r + b, farbe);
        f.linie(ex - i + 1, SmithMitteY + r - a, ex - i, SmithMitteY + r - b, farbe);
    }
}

void drawSmithChart(Zeichenziel& f, const Instrument& inst) {
    const uint8_t farbe = farbindex(inst.e.Diagrammfarbe);
    const uint8_t marke = farbindex(inst.e.Markenfarbe);
    constexpr int sx = SmithMitteX;
    constexpr int sy = SmithMitteY;
    f.linie(sx - 200, sy, sx + 200, sy, farbe);
    drawCircle(f, sx, sy, 200, farbe);
    drawCircle(f, sx, sy, 100, marke);
    drawCircle(f, sx + 100, sy, 100, farbe);
    drawCircle(f, sx + 50, sy, 150, farbe);
    drawReactanceArcs(f, 200, 200, farbe);
    drawReactanceArcs(f, 400, 320, farbe);
}

GridLayout layoutOf(const Instrument& inst, int n) {
    GridLayout g;
    g.art = inst.Messart;
    g.linear = inst.Linear;
    g.startfrequenz = inst.e.Startfrequenz;
    g.schritt = inst.e.Schrittweite;
    g.breite = 2 * n;
    g.linienHoehe = inst.e.Line;
    g.linienText = inst.e.LineText;
    g.farbe = farbindex(inst.e.Diagrammfarbe);
    g.dezimaltrenner = inst.Dezimaltrenner;
    return g;
}

void drawLevelLine(Zeichenziel& f, const GridLayout& g, int64_t o, const std::string& label) {
    f.linie(X0, Y0 - o, X0 + g.breite, Y0 - o, g.farbe);
    f.text(X0 - 30, Y0 - o - 4, label, g.farbe);
}

void drawReflectionGrid(Zeichenziel& f, const GridLayout& g) {
    f.linie(X0, Y0, X0 + g.breite, Y0, g.farbe);
    f.linie(X0, Y0 - Hoehe, X0 + g.breite, Y0 - Hoehe, g.farbe);
    for (size_t k = 0; k < 7; ++k) {
        drawLevelLine(f, g, g.linienHoehe[k],
                      Bruchtext(static_cast<double>(g.linienText[k]) / 10.0, g.dezimaltrenner));
    }
}

}  // namespace

int32_t saturate(int64_t v) {
    return static_cast<int32_t>(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

void drawLine(TBildfeld& feld, int64_t x1, int64_t y1, int64_t x2, int64_t y2, uint8_t farbe) {
    LinieZiehen(feld, saturate(x1), saturate(y1), saturate(x2), saturate(y2), farbe);
}

void drawText(TBildfeld& feld, int64_t x, int64_t y, std::string_view text, uint8_t farbe) {
    TextMalen(feld, saturate(x), saturate(y), text, farbe);
}

void Flaechenziel::linie(int64_t x1, int64_t y1, int64_t x2, int64_t y2, uint8_t farbe) {
    drawLine(feld_, x1, y1, x2, y2, farbe);
}

void Flaechenziel::text(int64_t x, int64_t y, std::string_view text, uint8_t farbe) {
    drawText(feld_, x, y, text, farbe);
}

std::string Bruchtext(double wert, char dezimaltrenner) {
    // Fixed notation keeps big labels free of exponents, which the digit font cannot show.
    std::array<char, 400> buf{};
    const auto res =
        std::to_chars(buf.data(), buf.data() + buf.size(), wert, std::chars_format::fixed);
    std::string s(buf.data(), res.ptr);
    std::replace(s.begin(), s.end(), '.', dezimaltrenner);
    return s;
}

void drawLevelGrid(Zeichenziel& f, const GridLayout& g) {
    if (g.art == Reflexion) {
        drawReflectionGrid(f, g);
        return;
    }
    if (g.linear) {
        for (int k = 0; k <= 10; ++k) {
            drawLevelLine(f, g, 40 * k, Bruchtext(k / 10.0, g.dezimaltrenner));
        }
        return;
    }
    const int basis = g.art == Spektrum ? -70 : -80;
    for (int k = 0; k <= 8; ++k) drawLevelLine(f, g, 50 * k, std::to_string(basis + 10 * k));
}

void drawFrequencyGrid(Zeichenziel& f, const GridLayout& g) {
    const int64_t w = g.breite;
    for (int64_t j = 0; j <= w / 80; ++j) {
        const int64_t x = X0 + 80 * j;
        f.text(x - 24, Y0 + (j % 2 == 0 ? 15 : 30),
               FrequenzText(frequencyAt(g.startfrequenz, g.schritt, 40 * j)), g.farbe);
        f.linie(x, Y0, x, Y0 - Hoehe, g.farbe);
    }
    for (int64_t m = 0; m <= w / 40; ++m) f.linie(X0 + 40 * m, Y0, X0 + 40 * m, Y0 - 4, g.farbe);
}

void drawLevelGrid(TBildfeld& feld, const GridLayout& g) {
    Flaechenziel ziel(feld);
    drawLevelGrid(ziel, g);
}

void drawFrequencyGrid(TBildfeld& feld, const GridLayout& g) {
    Flaechenziel ziel(feld);
    drawFrequencyGrid(ziel, g);
}

void drawCurve(TBildfeld& feld, const std::array<int32_t, MaxPunkte + 1>& werte, int n,
               uint8_t farbe) {
    for (int p = 1; p <= n - 2; ++p) {
        drawLine(feld, X0 + 2 * p - 1, Y0 - werte[static_cast<size_t>(p)], X0 + 2 * p + 1,
                 Y0 - werte[static_cast<size_t>(p + 1)], farbe);
    }
}

void DiagrammZeichnen(Instrument& inst, Messdaten& d) {
    // The diagram is never wider than the arrays, whatever a configuration says.
    const int n = inst.punktzahl();
    std::fill(d.Messwerte.begin() + 1, d.Messwerte.begin() + 1 + n, 1);
    std::fill(d.Rohwerte.begin() + 1, d.Rohwerte.begin() + 1 + n, 0);
    d.lastSweep.shown = false;  // the values start anew
    d.lastSweep.drawn = false;
    // So do the averaging and the hold; a reference taken over other frequencies no longer
    // stands for this sweep.
    TraceExtras& t = d.extras;
    t.restart();
    if (!t.reference.fits(inst.e.Startfrequenz, inst.e.Schrittweite, n, inst.Messart, inst.Linear))
        t.normalised = false;
    const uint8_t hinten = farbindex(inst.e.Hintergrundfarbe);
    BildLoeschen(d.Diagrammbild, hinten);
    BildLoeschen(d.Rasterbild, hinten);
    Flaechenziel raster(d.Rasterbild);
    RasterZeichnen(inst, raster);
    drawExtras(inst, d, raster);
}

namespace {

constexpr uint8_t kLimitColour = 249;  // red of the halftone palette

// A polyline through the sweep's points 1..n, broken where a point has no value.
template <typename Value>
void drawPoints(Zeichenziel& ziel, int n, uint8_t farbe, Value value) {
    bool joined = false;  // the point before had a value
    int64_t px = 0, py = 0;
    for (int k = 1; k <= n; ++k) {
        const std::optional<double> v = value(k);
        if (v) {
            const int64_t x = X0 + 2 * k + 1;
            const int64_t y = Y0 - std::llround(std::clamp(*v, -1e9, 1e9));
            if (joined) ziel.linie(px, py, x, y, farbe);
            px = x;
            py = y;
        }
        joined = v.has_value();
    }
}

}  // namespace

void drawExtras(const Instrument& inst, const Messdaten& d, Zeichenziel& ziel) {
    const int32_t art = inst.Messart;
    if (art < Durchgang || art > Rohwerte) return;
    const TraceExtras& t = d.extras;
    const int n = inst.punktzahl();
    const bool linear = inst.Linear;
    const Einstellungen& e = inst.e;
    if (t.reference.fits(e.Startfrequenz, e.Schrittweite, n, art, linear) && !t.normalised)
        drawPoints(ziel, n, farbindex(e.Cursor),
                   [&](int k) { return std::optional<double>(t.reference.values[k]); });
    if (!t.limitsOn || t.limits.empty()) return;
    for (const bool upper : {true, false})
        drawPoints(ziel, n, kLimitColour, [&](int k) -> std::optional<double> {
            const auto level = limitAt(t.limits, pointFrequency(e, k), upper);
            if (!level) return std::nullopt;
            return linear ? *level * 400.0 : 400.0 + 5.0 * *level;
        });
}

void rasterNeu(Instrument& inst) {
    inst.fenster.setTimer2(true);
    std::lock_guard lock(inst.datenMutex);
    Messdaten& d = inst.daten;
    BildLoeschen(d.Rasterbild, farbindex(inst.e.Hintergrundfarbe));
    Flaechenziel raster(d.Rasterbild);
    RasterZeichnen(inst, raster);
    drawExtras(inst, d, raster);
}

void RasterZeichnen(const Instrument& inst, Zeichenziel& ziel) {
    const int n = inst.punktzahl();
    const int32_t messart = inst.Messart.load();
    // The VFO ruler and the Smith chart start on a cleared grid: no markers there.
    if (messart != VFO && messart != SmithModus) drawMarkers(ziel, inst, n);
    switch (messart) {
        case Durchgang:
        case Reflexion:
        case Spektrum:
        case Rohwerte: {
            const GridLayout g = layoutOf(inst, n);
            drawLevelGrid(ziel, g);
            drawFrequencyGrid(ziel, g);
            break;
        }
        case VFO:
            drawVfoScale(ziel, inst);
            break;
        case SmithModus:
            drawSmithChart(ziel, inst);
            break;
        default:
            break;
    }
}

void dm_diagramm(Instrument& inst) {
    inst.fenster.setTimer2(true);
    inst.fenster.setTimer1(true);
    std::lock_guard lock(inst.datenMutex);
    DiagrammZeichnen(inst, inst.daten);
}

}  // namespace veka
