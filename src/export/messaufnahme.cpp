#include "export/messaufnahme.h"

#include <mutex>

#include "display/diagram.h"
#include "files/series_file.h"

namespace veka {

namespace {

class Aufzeichnung final : public Zeichenziel {
  public:
    explicit Aufzeichnung(Vektorraster& ziel) : ziel_(ziel) {}
    void linie(int64_t x1, int64_t y1, int64_t x2, int64_t y2, uint8_t farbe) override {
        ziel_.linien.push_back({x1, y1, x2, y2, farbe});
    }
    void text(int64_t x, int64_t y, std::string_view text, uint8_t farbe) override {
        ziel_.texte.push_back({x, y, std::string(text), farbe});
    }

  private:
    Vektorraster& ziel_;
};

}  // namespace

Messaufnahme aufnehmen(const Instrument& inst) {
    Messaufnahme a;
    a.messart = inst.Messart.load();
    a.linear = inst.Linear.load();
    a.startfrequenz = inst.e.Startfrequenz;
    a.schrittweite = inst.e.Schrittweite;
    a.punkte = inst.punktzahl();
    if (const Korrfaktorpaar* paar = inst.faktorpaar(a.messart, a.linear)) a.faktoren = *paar;
    a.ueberschrift = inst.Diagrammueberschrift;
    a.hintergrund = farbindex(inst.e.Hintergrundfarbe);
    a.kurve = farbindex(inst.e.Kurvenfarbe);
    a.cursor = farbindex(inst.e.Cursor);
    a.fenster = inst.fenster;
    Aufzeichnung raster(a.raster);
    RasterZeichnen(inst, raster);
    std::lock_guard lock(inst.datenMutex);
    a.werte = inst.daten.Messwerte;
    a.werte2 = inst.daten.Messwerte2;
    BilderVerknuepfen(a.bild, inst.daten.Rasterbild, inst.daten.Diagrammbild);
    a.messreihe = messreiheSchreiben(inst);
    return a;
}

int32_t punktfrequenz(const Messaufnahme& a, int k) {
    return wrapAdd(a.startfrequenz, wrapMul(k - 1, a.schrittweite));
}

std::string_view messartName(int32_t messart) {
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
