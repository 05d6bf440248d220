// SPDX-License-Identifier: GPL-3.0-or-later
// Any settings, as a configuration file or the settings dialog could leave them, and any mode,
// cursor and readings: the redraw, the sweep's conversion and drawing of every point, the
// evaluation, the cursor buttons, the refresh and the series writer never fail, and the
// written series reads back with one value per point.

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <mutex>

#include "display/auswertung.h"
#include "display/diagram.h"
#include "display/quickdraw.h"
#include "files/series_file.h"
#include "measure/steps.h"
#include "measure/sweep.h"

namespace {

int32_t zahl(FuzzedDataProvider& in) {
    return in.ConsumeIntegral<int32_t>();
}

void einstellen(veka::Instrument& inst, FuzzedDataProvider& in) {
    veka::Einstellungen& e = inst.e;
    for (int32_t* f :
         {&e.Startfrequenz, &e.Endfrequenz, &e.Schrittweite, &e.Taktfrequenz, &e.Eichfrequenz,
          &e.Zwischenfrequenz, &e.ZFBerechnung, &e.Delay, &e.Hintergrundfarbe, &e.Diagrammfarbe,
          &e.Kurvenfarbe, &e.Markenfarbe, &e.Cursor, &e.Baudrate, &e.Messgenauigkeit})
        *f = zahl(in);
    for (veka::Korrfaktorpaar* p : {&e.Dlog, &e.Rlog, &e.Slog, &e.Dlin, &e.Rlin, &e.Slin})
        *p = {zahl(in), zahl(in)};
    for (int32_t& l : e.Line) l = zahl(in);
    for (int32_t& l : e.LineText) l = zahl(in);
    // The readers and the dialog never leave more than the arrays hold.
    e.Messpunkte = in.ConsumeIntegralInRange<int32_t>(INT32_MIN, veka::MaxPunkte);
    for (int32_t& m : inst.Frequenzmarken) m = zahl(in);
    inst.Frequenzmarken[0] = 0;
    inst.Messart = in.ConsumeIntegralInRange<int32_t>(-1, 7);
    inst.Linear = in.ConsumeBool();
    inst.Smith = in.ConsumeBool();
    inst.ZFAktiv = in.ConsumeBool();
    inst.Cursorpunkt = zahl(in);
    inst.Dezimaltrenner = in.ConsumeBool() ? ',' : '.';
    inst.Diagrammueberschrift = in.ConsumeRandomLengthString(200);
}

// What the worker does after each exchange, with the readings taken from the input.
void messen(veka::Instrument& inst, FuzzedDataProvider& in) {
    const int n = inst.punktzahl();
    const int32_t messart = inst.Messart;
    std::lock_guard lock(inst.datenMutex);
    veka::Messdaten& d = inst.daten;
    for (int i = 1; i <= n; ++i) {
        const uint16_t roh = in.ConsumeIntegralInRange<uint16_t>(0, 1023);
        if (messart == veka::SmithModus) {
            d.Messwerte[i] = veka::smithWert(roh);
            d.Messwerte2[i] = veka::smithWert(in.ConsumeIntegralInRange<uint16_t>(0, 1023));
        } else if (messart == veka::Rohwerte) {
            d.Messwerte[i] = roh;
        } else if (const veka::Korrfaktorpaar* p = inst.faktorpaar(messart, inst.Linear)) {
            d.Messwerte[i] = veka::korrigiert(roh, *p);
        }
        if (d.Messwerte[i] < 1) d.Messwerte[i] = 1;
        if (i == 1) d.Messwerte[0] = d.Messwerte[1];
        if (i > 1 && i < n) veka::punktZeichnen(inst, d, i, messart);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    auto inst = std::make_unique<veka::Instrument>();
    einstellen(*inst, in);
    veka::dm_diagramm(*inst);
    messen(*inst, in);
    veka::maxminwert(*inst);
    // The cursor buttons keep the cursor within 1..points; any such cursor is drawn.
    for (int k = in.ConsumeIntegralInRange(0, 3); k > 0; --k) {
        inst->Cursorpunkt = in.ConsumeIntegralInRange<int32_t>(1, std::max(1, inst->punktzahl()));
        veka::cursorZeigen(*inst);
    }
    auto bild = std::make_unique<veka::Anzeigebitmap>();
    std::string reihe;
    {
        std::lock_guard lock(inst->datenMutex);
        veka::BilderVerknuepfen(*bild, inst->daten.Rasterbild, inst->daten.Diagrammbild);
        reihe = veka::messreiheSchreiben(*inst);
    }
    if (reihe.empty()) return 0;
    bool falsch = false;
    const auto gelesen = veka::messreiheLesen(reihe, &falsch);
    const size_t n = static_cast<size_t>(inst->punktzahl());
    if (falsch) std::abort();
    if (n >= 2 && (!gelesen || gelesen->werte.size() != n)) std::abort();
    return 0;
}
