#include "export/trace_snapshot.h"

#include <mutex>

#include "display/diagram.h"
#include "display/quickdraw.h"
#include "files/series_file.h"

namespace veka {

namespace {

class GridRecorder final : public Zeichenziel {
  public:
    explicit GridRecorder(VectorGrid& ziel) : ziel_(ziel) {}
    void linie(int64_t x1, int64_t y1, int64_t x2, int64_t y2, uint8_t farbe) override {
        ziel_.lines.push_back({x1, y1, x2, y2, farbe});
    }
    void text(int64_t x, int64_t y, std::string_view text, uint8_t farbe) override {
        ziel_.labels.push_back({x, y, std::string(text), farbe});
    }

  private:
    VectorGrid& ziel_;
};

}  // namespace

TraceSnapshot takeSnapshot(const Instrument& inst) {
    TraceSnapshot a;
    a.mode = inst.Messart.load();
    a.linear = inst.Linear.load();
    a.start = inst.e.Startfrequenz;
    a.step = inst.e.Schrittweite;
    a.points = inst.punktzahl();
    if (const Korrfaktorpaar* paar = inst.faktorpaar(a.mode, a.linear)) a.factors = *paar;
    a.heading = inst.Diagrammueberschrift;
    a.background = farbindex(inst.e.Hintergrundfarbe);
    a.curve = farbindex(inst.e.Kurvenfarbe);
    a.cursor = farbindex(inst.e.Cursor);
    a.window = inst.fenster;
    GridRecorder raster(a.grid);
    RasterZeichnen(inst, raster);
    std::lock_guard lock(inst.datenMutex);
    a.values = inst.daten.Messwerte;
    a.values2 = inst.daten.Messwerte2;
    BilderVerknuepfen(a.picture, inst.daten.Rasterbild, inst.daten.Diagrammbild);
    a.series = messreiheSchreiben(inst);
    return a;
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

}  // namespace veka
