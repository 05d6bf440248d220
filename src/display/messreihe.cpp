// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/messreihe.h"

#include <algorithm>
#include <mutex>
#include <optional>

#include "display/auswertung.h"
#include "display/diagram.h"

namespace veka {

namespace {

GridLayout layoutOf(const Instrument& inst, const GeladeneMessreihe& reihe, int n) {
    GridLayout g;
    g.art = reihe.art;
    g.linear = reihe.linear;
    g.startfrequenz = reihe.F0;
    g.schritt = reihe.S;
    g.breite = 2 * n;
    for (size_t k = 0; k < 7; ++k) {
        g.linienHoehe[k] = reihe.linien[k].hoehe;
        g.linienText[k] = reihe.linien[k].text;
    }
    g.farbe = farbindex(inst.e.Diagrammfarbe);
    g.dezimaltrenner = inst.Dezimaltrenner;
    return g;
}

}  // namespace

void MessreiheAnzeigen(Instrument& inst, const GeladeneMessreihe& reihe) {
    // The arrays hold 300 points; further values of a file are not shown.
    const int n = static_cast<int>(std::min<size_t>(reihe.werte.size(), MaxPunkte));
    const GridLayout g = layoutOf(inst, reihe, n);
    Extremes ex;
    std::optional<BandEdges> band;
    {
        std::lock_guard lock(inst.datenMutex);
        auto& d = inst.daten;
        std::copy_n(reihe.werte.begin(), n, d.Messwerte.begin() + 1);
        std::fill_n(d.Rohwerte.begin() + 1, n, uint16_t{0});  // a file holds no readings
        d.lastSweep = CompletedSweep{};
        CompletedSweep& c = d.lastSweep;
        c.valid = c.shown = true;
        c.start = reihe.F0;
        c.step = reihe.S;
        c.messart = reihe.art;
        c.linear = reihe.linear;
        c.points = n;
        c.values = d.Messwerte;
        for (int k = 1; k <= n; ++k) c.level[k] = c.held[k] = c.shownValues[k] = c.values[k];
        const uint8_t hinten = farbindex(inst.e.Hintergrundfarbe);
        BildLoeschen(d.Diagrammbild, hinten);
        BildLoeschen(d.Rasterbild, hinten);
        if (reihe.art >= Durchgang && reihe.art <= Spektrum) {
            drawLevelGrid(d.Rasterbild, g);
            drawFrequencyGrid(d.Rasterbild, g);
        }
        drawCurve(d.Diagrammbild, d.Messwerte, n, farbindex(inst.e.Kurvenfarbe));
        ex = findExtremes(d.Messwerte, n, reihe.F0, reihe.S, 320);
        if (reihe.art == Durchgang) band = findBandEdges(d.Messwerte, n, ex, reihe.S, reihe.linear);
    }
    auto& fenster = inst.fenster;
    clear_messwerte(fenster);
    fenster.setText(Control::Label7, FrequenzText(ex.maxFrequenz));
    fenster.setText(Control::Label8, FrequenzText(ex.minFrequenz));
    if (band) showBandwidth(fenster, *band, reihe.linear);
    fenster.setText(Control::Label5, reihe.ueberschrift);
    fenster.setTimer2(true);
    fenster.setTimer1(true);
}

}  // namespace veka
