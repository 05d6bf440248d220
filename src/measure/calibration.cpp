// SPDX-License-Identifier: GPL-3.0-or-later
#include "measure/calibration.h"

#include <algorithm>
#include <functional>

#include "display/diagram.h"
#include "measure/source_controls.h"

namespace veka {

namespace {

enum class Verfahren { Durchgang, Reflexion, Spektrum };

// One sweep under the set-up the message asks for. Once the box is closed the sweep completes
// as after "Sto&p", while the window goes on painting; then danach runs on the window thread.
void messenMitMeldung(Sweep& sweep, UserInterface& ui, const std::string& meldung,
                      std::function<void()> danach) {
    sweep.startmessung();
    ui.showMessage(meldung);
    sweep.requestStop(std::move(danach));
}

int32_t groesster(const Instrument& inst) {
    std::lock_guard lock(inst.datenMutex);
    int32_t a = 0;
    for (int k = 1; k <= inst.punktzahl(); ++k) a = std::max(a, inst.daten.Messwerte[k]);
    return a;
}

// Without points there is no mean to take: say so and change nothing.
bool punkteVorhanden(const Instrument& inst, UserInterface& ui) {
    if (inst.punktzahl() > 0) return true;
    ui.showMessage(inst.meldungen[4]);
    return false;
}

void zweiSchritte(Instrument& inst, Sweep& sweep, UserInterface& ui, Verfahren v) {
    if (!punkteVorhanden(inst, ui)) return;
    const bool linear = inst.Linear;
    Korrfaktorpaar& k = v == Verfahren::Durchgang   ? (linear ? inst.e.Dlin : inst.e.Dlog)
                        : v == Verfahren::Reflexion ? (linear ? inst.e.Rlin : inst.e.Rlog)
                                                    : (linear ? inst.e.Slin : inst.e.Slog);
    const Meldungstabelle& m = inst.meldungen;
    int erste = 2, zweite = 3;
    if (v == Verfahren::Durchgang && !linear) erste = 5, zweite = 6;
    if (v == Verfahren::Reflexion) erste = 8, zweite = 9;
    if (v == Verfahren::Spektrum) zweite = linear ? 10 : 18;

    if (v != Verfahren::Spektrum) SetDaempfungNull(inst);
    k.k1 = 0;
    k.k2 = 100;
    messenMitMeldung(sweep, ui, m[erste], [&inst, &sweep, &ui, &k, v, zweite] {
        k.k1 = mittelwert(inst);
        messenMitMeldung(sweep, ui, inst.meldungen[zweite], [&inst, &ui, &k, v] {
            const int32_t a = v == Verfahren::Spektrum ? groesster(inst) : mittelwert(inst);
            const bool gut = v == Verfahren::Spektrum ? (a > 0 && a <= 400) : a > 0;
            if (gut)
                k.k2 = verstaerkung(a);
            else
                ui.showMessage(inst.meldungen[4]);
        });
    });
}

}  // namespace

int32_t mittelwert(const Instrument& inst) {
    std::lock_guard lock(inst.datenMutex);
    const int n = inst.punktzahl();
    if (n == 0) return 0;
    int32_t summe = 0;
    for (int k = 1; k <= n; ++k) summe = wrapAdd(summe, inst.daten.Messwerte[k]);
    return runden(static_cast<double>(summe) / n);
}

int32_t verstaerkung(int32_t a) {
    return runden(400.0 / a * 100.0);
}

void Durchgangsmessung2Click(Instrument& inst, Sweep& sweep, UserInterface& ui) {
    zweiSchritte(inst, sweep, ui, Verfahren::Durchgang);
}

void Reflexionsmessung2Click(Instrument& inst, Sweep& sweep, UserInterface& ui) {
    zweiSchritte(inst, sweep, ui, Verfahren::Reflexion);
}

void Spektralmessung2Click(Instrument& inst, Sweep& sweep, UserInterface& ui) {
    zweiSchritte(inst, sweep, ui, Verfahren::Spektrum);
}

void LinieKalibrieren(Instrument& inst, Sweep& sweep, UserInterface& ui, int linie) {
    if (linie < 1 || linie > 7 || !punkteVorhanden(inst, ui)) return;
    SetDaempfungNull(inst);
    messenMitMeldung(sweep, ui, inst.meldungen[10 + linie], [&inst, linie] {
        inst.e.Line[static_cast<size_t>(linie - 1)] = mittelwert(inst);
        dm_diagramm(inst);
    });
}

}  // namespace veka
