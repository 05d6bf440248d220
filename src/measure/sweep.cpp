// SPDX-License-Identifier: GPL-3.0-or-later
#include "measure/sweep.h"

#include <utility>

#include "display/auswertung.h"
#include "display/diagram.h"
#include "display/quickdraw.h"
#include "display/limits.h"
#include "display/sweep_step.h"
#include "measure/trace_processing.h"

namespace veka {

namespace {

constexpr Control kGesperrt[] = {
    Control::Button1,         Control::Button2,   Control::Button3,     Control::Button4,
    Control::Button5,         Control::Button8,   Control::Button9,     Control::Button10,
    Control::Button11,        Control::Button15,  Control::Button16,    Control::Button17,
    Control::Button19,        Control::MenuDatei, Control::MenuMessung, Control::MenuEinstellungen,
    Control::MenuKalibrieren,
};

}  // namespace

double korrigiertGenau(uint16_t rohwert, const Korrfaktorpaar& paar) {
    const int32_t produkt = wrapMul(wrapSub(rohwert, paar.k1), paar.k2);
    return static_cast<double>(produkt) / 100.0;
}

int32_t korrigiert(uint16_t rohwert, const Korrfaktorpaar& paar) {
    return runden(korrigiertGenau(rohwert, paar));
}

int32_t smithWert(uint16_t rohwert) {
    return runden(rohwert / 368.64 * 400.0);
}

void sperrenWaehrendMessung(WindowModel& fenster, bool gesperrt) {
    for (Control c : kGesperrt) fenster.setEnabled(c, !gesperrt);
}

Sweep::Sweep(Instrument& inst, DeviceLink& link, UserInterface& ui)
    : inst_(inst), link_(link), ui_(ui) {}

Sweep::~Sweep() {
    beenden();
}

void Sweep::beenden() {
    abbrechen_ = true;
    link_.abort();  // a reply wait or pause of the worker ends now
    nachStop_ = nullptr;
    if (!worker_.joinable()) return;
    {
        std::lock_guard lock(stopMutex_);
        inst_.Stopanforderung = true;
    }
    stopSignal_.notify_all();
    worker_.join();
}

void Sweep::Button5Click() {
    if (inst_.Messart != SmithModus) dm_diagramm(inst_);
    startmessung();
}

void Sweep::startmessung() {
    if (worker_.joinable() || abbrechen_) return;  // one worker at a time; none after the end
    inst_.fenster.setTimer2(true);
    clear_messwerte(inst_.fenster);
    sperrenWaehrendMessung(inst_.fenster, true);
    inst_.fenster.setEnabled(Control::Button6, true);
    inst_.MessungBeendet = false;
    {
        std::lock_guard lock(stopMutex_);
        inst_.Stopanforderung = false;
        fertigPosten_ = false;
    }
    zaehlungBeginnen();
    worker_ = std::thread([this, lauf = ++lauf_] { messschleife(lauf); });
}

void Sweep::stopmessung() {
    inst_.fenster.setEnabled(Control::Button6, false);
    {
        std::lock_guard lock(stopMutex_);
        inst_.Stopanforderung = true;
    }
    stopSignal_.notify_all();
    if (worker_.joinable()) worker_.join();  // returns once the worker set MessungBeendet
    sperrenWaehrendMessung(inst_.fenster, false);
    if (auto danach = std::exchange(nachStop_, nullptr)) danach();
}

void Sweep::requestStop(std::function<void()> afterStop) {
    if (afterStop) {
        nachStop_ = nachStop_ ? [a = std::move(nachStop_), b = std::move(afterStop)] {
            a();
            b();
        }
                              : std::move(afterStop);
    }
    if (!worker_.joinable()) return stopmessung();
    inst_.fenster.setEnabled(Control::Button6, false);
    bool schonFertig = false;
    {
        std::lock_guard lock(stopMutex_);
        inst_.Stopanforderung = true;
        fertigPosten_ = true;
        schonFertig = inst_.MessungBeendet;  // left early, having posted nothing
    }
    stopSignal_.notify_all();
    if (schonFertig) stopAbschliessen(lauf_);
}

void Sweep::stopAbschliessen(uint64_t lauf) {
    if (lauf != lauf_ || abbrechen_ || !worker_.joinable()) return;  // done another way
    worker_.join();
    sperrenWaehrendMessung(inst_.fenster, false);
    if (auto danach = std::exchange(nachStop_, nullptr)) danach();
}

void Sweep::fertigMelden(uint64_t lauf) {
    std::lock_guard lock(stopMutex_);
    inst_.MessungBeendet = true;
    if (fertigPosten_ && !abbrechen_)
        ui_.postToWindowThread([this, lauf] { stopAbschliessen(lauf); });
}

bool Sweep::mussEnden() const {
    return abbrechen_ || link_.aborted();
}

void Sweep::warteAufStop() {
    // Nothing to measure: wait for the stop instead of spinning on the flag.
    std::unique_lock lock(stopMutex_);
    stopSignal_.wait(lock, [this] { return inst_.Stopanforderung.load(); });
}

void Sweep::messschleife(uint64_t lauf) {
    for (;;) {
        durchlaufBeginnt();
        const int32_t start = inst_.e.Startfrequenz;
        int32_t f = start;
        const int n = inst_.punktzahl();
        if (n == 0) warteAufStop();
        for (int i = 1; i <= n && !mussEnden(); ++i) {
            punktMessen(i, n, f);
            f = wrapAdd(f, inst_.e.Schrittweite);
        }
        eintragen();  // the sweep's last point
        if (n > 0 && !mussEnden()) fertigAblegen(start, n);
        if (inst_.Stopanforderung || mussEnden() || letzterDurchlauf()) break;
    }
    zaehlungBeenden();
    fertigMelden(lauf);
}

// ---- Counting sweeps ----

void Sweep::zaehlungBeginnen() {
    std::lock_guard lock(zaehlMutex_);
    begonnen_ = 0;
    zaehlungLaeuft_ = true;
}

void Sweep::durchlaufBeginnt() {
    {
        std::lock_guard lock(zaehlMutex_);
        ++begonnen_;
    }
    zaehlSignal_.notify_all();
}

void Sweep::zaehlungBeenden() {
    {
        std::lock_guard lock(zaehlMutex_);
        zaehlungLaeuft_ = false;
        grenze_ = 0;  // the limit holds for one worker
    }
    zaehlSignal_.notify_all();
}

void Sweep::durchlaeufeBegrenzen(uint64_t k) {
    std::lock_guard lock(zaehlMutex_);
    grenze_ = k;
}

bool Sweep::letzterDurchlauf() {
    std::lock_guard lock(zaehlMutex_);
    return grenze_ != 0 && begonnen_ >= grenze_;
}

bool Sweep::warteAufDurchlauf(uint64_t k) {
    std::unique_lock lock(zaehlMutex_);
    zaehlSignal_.wait(lock, [&] { return begonnen_ >= k || !zaehlungLaeuft_; });
    return begonnen_ >= k;
}

void Sweep::punktMessen(int i, int n, int32_t f) {
    // Each reading is the one its own call returned: an attenuator click on the window
    // thread may change Rohwert between the calls.
    const uint16_t roh = link_.FrequenzSetzen(i, f, eintragenUnterwegs_);
    eintragen();  // when no frame went out
    const int32_t messart = inst_.Messart;
    int32_t zweiter = 0;
    bool hatWert = true;
    int32_t wert = 0;
    double genau = 0;
    if (messart == SmithModus) {
        wert = smithWert(roh);
        inst_.Linear = true;
        zweiter = smithWert(link_.FrequenzSetzen(i, f));
        inst_.Linear = false;
    } else if (messart == Rohwerte) {
        wert = roh;
    } else if (const Korrfaktorpaar* paar = inst_.faktorpaar(messart, inst_.Linear)) {
        genau = korrigiertGenau(roh, *paar);
        wert = runden(genau);
    } else {
        hatWert = false;  // modes without a reading keep the old value
    }

    offen_ = Messpunkt{i, n, messart, hatWert, wert, zweiter, roh, genau, inst_.Linear};
}

void Sweep::eintragen() {
    if (!offen_) return;
    const Messpunkt p = *std::exchange(offen_, std::nullopt);
    bool wecken = false;
    {
        std::lock_guard lock(inst_.datenMutex);
        Messdaten& d = inst_.daten;
        if (p.hatWert) {
            d.Messwerte[p.i] = p.wert;
            d.Rohwerte[p.i] = p.roh;
        }
        if (p.messart == SmithModus) d.Messwerte2[p.i] = p.zweiter;
        if (d.Messwerte[p.i] < 1) d.Messwerte[p.i] = 1;
        if (p.i == 1) zusaetzeBeginnen(d, p.messart, p.n);
        if (zusaetze_ && p.hatWert && p.messart <= Spektrum)
            d.Messwerte[p.i] = processPoint(d.extras, p.i, p.genau, d.Messwerte[p.i], p.linear,
                                            normalisieren_);
        if (p.i == 1) d.Messwerte[0] = d.Messwerte[1];
        if (p.i > 1 && p.i < p.n) punktZeichnen(inst_, d, p.i, p.messart);
        wecken = d.refreshWecken && (d.Diagrammbild.geaendert || d.Rasterbild.geaendert);
        if (wecken) d.refreshWecken = false;
    }
    if (wecken) ui_.refreshWecken();
}

// At a sweep's first point: whether its values go through the additions, decided once.
void Sweep::zusaetzeBeginnen(Messdaten& d, int32_t messart, int n) {
    TraceExtras& t = d.extras;
    zusaetze_ = messart >= Durchgang && messart <= Spektrum && t.changesValues();
    normalisieren_ = zusaetze_ && t.normalised &&
                     t.reference.fits(inst_.e.Startfrequenz, inst_.e.Schrittweite, n, messart,
                                      inst_.Linear);
    if (zusaetze_) beginSweep(t);
}

void Sweep::fertigAblegen(int32_t start, int n) {
    std::lock_guard lock(inst_.datenMutex);
    Messdaten& d = inst_.daten;
    CompletedSweep& c = d.lastSweep;
    c.valid = true;
    c.shown = true;
    c.drawn = true;
    c.measured = true;
    c.start = start;
    c.step = inst_.e.Schrittweite;
    c.messart = inst_.Messart;
    c.linear = inst_.Linear;
    c.demo = inst_.DemoModus;
    if (c.demo) ++d.demoSweeps;
    c.points = n;
    c.values = d.Messwerte;
    c.raw = d.Rohwerte;
    TraceExtras& t = d.extras;
    for (int k = 1; k <= n; ++k) {
        c.level[k] = zusaetze_ ? t.level[k] : c.values[k];
        c.held[k] = zusaetze_ ? t.heldNow[k] : c.values[k];
        c.shownValues[k] = zusaetze_ ? t.shown[k] : c.values[k];
    }
    c.averagedOf = zusaetze_ && t.averaging ? std::min(t.sweeps, t.averageCount) : 0;
    c.hold = zusaetze_ ? t.hold : Hold::Off;
    c.normalised = normalisieren_;
    c.limitsTested = t.limitsOn && !t.limits.empty();
    c.firstFailure = c.limitsTested ? firstLimitFailure(t.limits, c) : 0;
    if (c.firstFailure > 0) ++t.failedSweeps;
}

}  // namespace veka
