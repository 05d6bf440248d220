// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/sweep_step.h"

#include <memory>

#include "display/quickdraw.h"

namespace veka {

namespace {

void schrittZeichnen(const Instrument& inst, Messdaten& d, int i, int32_t cursor, int32_t messart) {
    const int64_t x0 = DiagrammLinks;
    const int64_t y0 = DiagrammUnten;
    const auto y = [&](int32_t wert) { return saturiert(y0 - wert); };
    const auto x = [&](int dx) { return static_cast<int32_t>(x0 + 2 * i + dx); };
    const uint8_t kurve = farbindex(inst.e.Kurvenfarbe);
    SpaltenWischen(d.Diagrammbild, DiagrammLinks, DiagrammUnten, i, cursor, d.Messwerte[i],
                   farbindex(inst.e.Hintergrundfarbe), farbindex(inst.e.Cursor));
    LinieZiehen(d.Diagrammbild, x(-1), y(d.Messwerte[i - 1]), x(1), y(d.Messwerte[i]), kurve);
    LinieZiehen(d.Diagrammbild, x(1), y(d.Messwerte[i]), x(3), y(d.Messwerte[i + 1]), kurve);
    if (messart != SmithModus) return;
    const uint8_t zweite = farbindex(inst.e.Cursor);
    LinieZiehen(d.Diagrammbild, x(-1), y(d.Messwerte2[i - 1]), x(1), y(d.Messwerte2[i]), zweite);
    LinieZiehen(d.Diagrammbild, x(1), y(d.Messwerte2[i]), x(3), y(d.Messwerte2[i + 1]), zweite);
}

}  // namespace

void punktZeichnen(const Instrument& inst, Messdaten& d, int i, int32_t messart) {
    // Mostly the wipe and the curve put back what was there: only what differs afterwards
    // needs the window, so a sweep over an unchanged curve lets the refresh rest. The step
    // draws from the wipe's first column (the flag's, at the cursor) to the end of the
    // segment to the next point.
    const int32_t cursor = inst.Cursorpunkt;  // once: the window thread may move it
    const int64_t mitte = int64_t{DiagrammLinks} + 2 * int64_t{i};
    const Bildbereich bisher = d.Diagrammbild.geaendert;
    const Spaltenstand vorher(d.Diagrammbild, mitte - (i == cursor ? 4 : 1), mitte + 3);
    schrittZeichnen(inst, d, i, cursor, messart);
    d.Diagrammbild.geaendert = bisher;
    vorher.markieren(d.Diagrammbild);
}

TBildfeld fertigeKurve(const Instrument& inst, const Messdaten& d, int32_t messart) {
    auto kopie = std::make_unique<Messdaten>();  // too big for the stack
    kopie->Messwerte = d.Messwerte;
    kopie->Messwerte2 = d.Messwerte2;
    kopie->Diagrammbild = d.Diagrammbild;
    // Only the last drawn step joined the old value of the last point: draw it again.
    const int n = inst.punktzahl();
    if (n >= 3) punktZeichnen(inst, *kopie, n - 1, messart);
    return kopie->Diagrammbild;
}

}  // namespace veka
