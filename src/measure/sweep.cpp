// SPDX-License-Identifier: GPL-3.0-or-later
#include "measure/sweep.h"

#include <utility>

#include "display/auswertung.h"
#include "display/diagram.h"
#include "display/quickdraw.h"

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

int32_t korrigiert(uint16_t rohwert, const Korrfaktorpaar& paar) {
    const int32_t produkt = wrapMul(wrapSub(rohwert, paar.k1), paar.k2);
    return runden(static_cast<double>(produkt) / 100.0);
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
    if (auto danach = std::exchange(nachStop_, nullptr)) danach();
    sperrenWaehrendMessung(inst_.fenster, false);
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
    if (auto danach = std::exchange(nachStop_, nullptr)) danach();
    sperrenWaehrendMessung(inst_.fenster, false);
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
    if (messart == SmithModus) {
        wert = smithWert(roh);
        inst_.Linear = true;
        zweiter = smithWert(link_.FrequenzSetzen(i, f));
        inst_.Linear = false;
    } else if (messart == Rohwerte) {
        wert = roh;
    } else if (const Korrfaktorpaar* paar = inst_.faktorpaar(messart, inst_.Linear)) {
        wert = korrigiert(roh, *paar);
    } else {
        hatWert = false;  // modes without a reading keep the old value
    }

    offen_ = Messpunkt{i, n, messart, hatWert, wert, zweiter, roh};
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
        if (p.i == 1) d.Messwerte[0] = d.Messwerte[1];
        if (p.i > 1 && p.i < p.n) punktZeichnen(inst_, d, p.i, p.messart);
        wecken = d.refreshWecken && (d.Diagrammbild.geaendert || d.Rasterbild.geaendert);
        if (wecken) d.refreshWecken = false;
    }
    if (wecken) ui_.refreshWecken();
}

void Sweep::fertigAblegen(int32_t start, int n) {
    std::lock_guard lock(inst_.datenMutex);
    Messdaten& d = inst_.daten;
    CompletedSweep& c = d.lastSweep;
    c.valid = true;
    c.shown = true;
    c.start = start;
    c.step = inst_.e.Schrittweite;
    c.messart = inst_.Messart;
    c.linear = inst_.Linear;
    c.demo = inst_.DemoModus;
    if (c.demo) ++d.demoSweeps;
    c.points = n;
    c.values = d.Messwerte;
    c.raw = d.Rohwerte;
}

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

}  // namespace veka
