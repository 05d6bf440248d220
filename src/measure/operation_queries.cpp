// SPDX-License-Identifier: GPL-3.0-or-later
// The queries of the typed operations: settings, trace and results as numbers.
#include <mutex>

#include "display/auswertung.h"
#include "link/device_codec.h"
#include "measure/netzwerktester.h"
#include "measure/operations.h"

namespace veka {

SettingsReading Operations::settings() const {
    const Einstellungen& e = inst_.e;
    const WindowModel& w = inst_.fenster;
    SettingsReading r;
    r.startHz = e.Startfrequenz;
    r.stepHz = e.Schrittweite;
    r.points = e.Messpunkte;
    r.messart = inst_.Messart;
    r.linear = inst_.Linear;
    r.attenuationDb = w.attenuatorPosition();
    r.ifHz = e.Zwischenfrequenz;
    r.ifApplied = w.checked(Control::Zwischenfrequenz1);
    r.ifAdded = w.checked(Control::AdditionvsSubtraktion1);
    r.cursorHz = Cursorfrequenz(inst_);
    r.clockHz = e.Taktfrequenz;
    r.demo = inst_.DemoModus;
    r.sweeping = core_.messungLaeuft();
    r.continuous = r.sweeping && !inst_.Stopanforderung;
    std::lock_guard lock(inst_.datenMutex);
    r.demoSweeps = inst_.daten.demoSweeps;
    return r;
}

std::chrono::microseconds Operations::sweepTime() const {
    const Einstellungen& e = inst_.e;
    const size_t reply = zehnBit(e.Messgenauigkeit) ? 2 : 1;
    const auto point =
        leitungszeit(reply, e.Baudrate) + std::chrono::milliseconds(pausenDauer(e.Delay));
    const int64_t exchanges = int64_t{inst_.punktzahl()} * (inst_.Messart == SmithModus ? 2 : 1);
    return point * exchanges;
}

namespace {

CompletedSweep letzter(const Instrument& inst) {
    std::lock_guard lock(inst.datenMutex);
    return inst.daten.lastSweep;
}

}  // namespace

Result<Trace> Operations::trace() const {
    const CompletedSweep c = letzter(inst_);
    if (!c.valid) return Error{Fault::NoTrace, {}};
    Trace t;
    t.linear = c.linear;
    t.demo = c.demo;
    t.messart = c.messart;
    t.points.reserve(static_cast<size_t>(c.points));
    for (int k = 1; k <= c.points; ++k) {
        const auto i = static_cast<size_t>(k);
        t.points.push_back({frequencyAt(c.start, c.step, k - 1), c.values[i],
                            levelOfValue(c.shownValues[i], c.linear), c.raw[i]});
    }
    return t;
}

Result<Results> Operations::results() const {
    const CompletedSweep c = letzter(inst_);
    if (!c.valid) return Error{Fault::NoTrace, {}};
    const Auswertung a =
        auswerten(c.values, c.points, c.start, c.step, c.messart, c.linear, inst_.Cursorpunkt);
    const auto lesen = [&](int32_t f, int32_t v) { return Reading{f, v, levelOfValue(v, c.linear)}; };
    Results r;
    r.linear = c.linear;
    r.maximum = lesen(a.ex.maxFrequenz, a.ex.maxWert);
    r.minimum = lesen(a.ex.minFrequenz, a.ex.minWert);
    r.cursor = lesen(a.cursorFrequenz, a.cursorWert);
    if (a.band)
        r.bandwidth = Bandwidth{a.band->unten, a.band->oben, wrapSub(a.band->oben, a.band->unten),
                                c.linear ? 3.0 : 6.0};
    return r;
}

}  // namespace veka
