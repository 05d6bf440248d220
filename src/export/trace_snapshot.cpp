// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/trace_snapshot.h"

#include <mutex>

#include "display/diagram.h"
#include "display/quickdraw.h"
#include "display/sweep_step.h"
#include "files/series_file.h"

namespace veka {

namespace {

class GridRecorder final : public Zeichenziel {
  public:
    explicit GridRecorder(VectorGrid& grid) : grid_(grid) {}
    void linie(int64_t x1, int64_t y1, int64_t x2, int64_t y2, uint8_t farbe) override {
        grid_.lines.push_back({x1, y1, x2, y2, farbe});
    }
    void text(int64_t x, int64_t y, std::string_view text, uint8_t farbe) override {
        grid_.labels.push_back({x, y, std::string(text), farbe});
    }

  private:
    VectorGrid& grid_;
};

// The trace shown and its frequencies: those of the last sweep or series while the diagram
// still shows it, else what the settings say.
void copyTrace(const Instrument& inst, TraceSnapshot& a) {
    const Messdaten& d = inst.daten;
    const CompletedSweep& last = d.lastSweep;
    a.mode = last.shown ? last.messart : inst.Messart.load();
    a.linear = last.shown ? last.linear : inst.Linear.load();
    a.start = last.shown ? last.start : inst.e.Startfrequenz;
    a.step = last.shown ? last.step : inst.e.Schrittweite;
    a.points = last.shown ? last.points : inst.punktzahl();
    a.shown = last.shown;
    a.measured = last.shown && last.measured;
    a.values = d.Messwerte;
    a.values2 = d.Messwerte2;
    a.raw = d.Rohwerte;
    for (int k = 1; k <= a.points; ++k) a.level[k] = a.held[k] = a.shownValues[k] = a.values[k];
    if (last.shown) {
        a.level = last.level;
        a.held = last.held;
        a.shownValues = last.shownValues;
        a.averagedOf = last.averagedOf;
        a.hold = last.hold;
        a.normalised = last.normalised;
        a.limitsTested = last.limitsTested;
        a.firstFailure = last.firstFailure;
    }
    const ReferenceTrace& ref = d.extras.reference;
    a.referenceShown = ref.fits(a.start, a.step, a.points, a.mode, a.linear);
    if (a.referenceShown) a.reference = ref.values;
    const TBildfeld& kurve = last.drawn ? fertigeKurve(inst, d, a.mode) : d.Diagrammbild;
    BilderVerknuepfen(a.picture, d.Rasterbild, kurve);
    a.series = messreiheSchreiben(inst);
}

}  // namespace

TraceSnapshot takeSnapshot(const Instrument& inst) {
    TraceSnapshot a;
    a.attenuationDb = inst.fenster.attenuatorPosition();
    a.demo = inst.DemoModus;
    a.heading = inst.Diagrammueberschrift;
    a.cursorPoint = inst.Cursorpunkt;
    a.background = farbindex(inst.e.Hintergrundfarbe);
    a.grid = farbindex(inst.e.Diagrammfarbe);
    a.curve = farbindex(inst.e.Kurvenfarbe);
    a.cursor = farbindex(inst.e.Cursor);
    a.window = inst.fenster;
    GridRecorder recorder(a.vectors);
    RasterZeichnen(inst, recorder);
    {
        std::lock_guard lock(inst.datenMutex);
        drawExtras(inst, inst.daten, recorder);
        copyTrace(inst, a);
    }
    if (const Korrfaktorpaar* pair = inst.faktorpaar(a.mode, a.linear)) a.factors = *pair;
    return a;
}

std::string captionOf(const TraceSnapshot& a) {
    std::string s(modeKey(a.mode));
    s += a.linear ? ", linear detector" : ", log detector";
    s += ", attenuator " + std::to_string(a.attenuationDb) + " dB";
    if (a.factors) {
        s += ", correction K1 ";
        s += std::to_string(a.factors->k1);
        s += " K2 ";
        s += std::to_string(a.factors->k2);
    }
    if (a.demo) s += ", demonstration readings";
    if (!a.heading.empty()) {
        s += ", ";
        s += a.heading;
    }
    return s;
}

std::string_view modeName(int32_t messart) {
    switch (messart) {
        case Durchgang:
            return "Durchgangsmessung";
        case Reflexion:
            return "Reflexionsmessung";
        case Spektrum:
            return "Spektralmessung";
        case Rohwerte:
            return "Rohwerte";
        case VFO:
            return "VFO";
        case SmithModus:
            return "Smith";
        default:
            return "unbekannt";
    }
}

std::string_view modeKey(int32_t messart) {
    switch (messart) {
        case Durchgang:
            return "transmission";
        case Reflexion:
            return "reflection";
        case Spektrum:
            return "spectrum";
        case Rohwerte:
            return "raw";
        case VFO:
            return "vfo";
        case SmithModus:
            return "smith";
        default:
            return "unknown";
    }
}

}  // namespace veka
