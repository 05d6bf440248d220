// SPDX-License-Identifier: GPL-3.0-or-later
// The settings and sweeps of the typed operations; files and queries are in
// operation_files.cpp and operation_queries.cpp.
#include "measure/operations.h"

#include "display/auswertung.h"
#include "display/diagram.h"
#include "measure/modes.h"
#include "measure/netzwerktester.h"
#include "measure/source_controls.h"
#include "measure/steps.h"

namespace veka {

namespace {

constexpr int32_t kInt32Max = INT32_MAX;

// The highest frequency the device's 32-bit tuning word reaches without wrapping round.
int64_t hoechsteFrequenz(const Einstellungen& e) {
    return e.Taktfrequenz > 0 ? int64_t{e.Taktfrequenz} - 1 : kInt32Max;
}

// The span from point 1 to the last point, for n points in steps of step.
int64_t spanne(int64_t step, int64_t n) {
    return step * (n > 1 ? n - 1 : 0);
}

Error fehler(Fault f) {
    return Error{f, {}};
}

}  // namespace

Operations::Operations(Netzwerktester& core, Entry entry)
    : core_(core), inst_(core.inst()), entry_(entry) {}

Status Operations::unlocked() const {
    if (core_.messungLaeuft()) return fehler(Fault::SweepRunning);
    return {};
}

// The three IF items and the VFO frequency exist only in VFO mode, which ZFAktiv marks (a
// time-out there switches Messart to 4 but leaves the items as they were).
Status Operations::inVfoMode() const {
    if (!inst_.ZFAktiv) return fehler(Fault::WrongMode);
    return unlocked();
}

Status Operations::checked(const Range& r, int64_t v) const {
    if (entry_ == Entry::Checked && !r.contains(v)) return fehler(Fault::OutOfRange);
    return {};
}

// ---- Ranges: every point of the sweep stays within the tuning word.

SweepPlan Operations::plan() const {
    return {inst_.e.Startfrequenz, inst_.e.Schrittweite, inst_.e.Messpunkte};
}

Status Operations::checkedSweep(const SweepPlan& p) const {
    if (p.points < 1 || p.points > MaxPunkte) return fehler(Fault::OutOfRange);  // the arrays
    if (entry_ != Entry::Checked) return {};
    if (p.startHz < 0 || p.stepHz < 1)
        return Error{Fault::OutOfRange, {}, "the start must be 0 Hz or more and the step 1 Hz or more"};
    const int64_t last = stopOf(p);
    if (last > hoechsteFrequenz(inst_.e))
        return Error{Fault::OutOfRange, {},
                     "the last point (" + std::to_string(last) +
                         " Hz) lies at or above the clock of " +
                         std::to_string(inst_.e.Taktfrequenz) + " Hz"};
    return {};
}

Range Operations::startRange() const {
    const Einstellungen& e = inst_.e;
    const int64_t span = spanne(std::max<int64_t>(e.Schrittweite, 0), inst_.punktzahl());
    return {0, hoechsteFrequenz(e) - span, 10000000};
}

Range Operations::stepRange() const {
    const Einstellungen& e = inst_.e;
    const int64_t platz = hoechsteFrequenz(e) - e.Startfrequenz;
    const int64_t schritte = std::max(inst_.punktzahl() - 1, 1);
    return {1, std::min<int64_t>(platz / schritte, kInt32Max), 10000};
}

Range Operations::pointsRange() const {
    const Einstellungen& e = inst_.e;
    int64_t n = MaxPunkte;
    if (e.Schrittweite > 0)
        n = std::clamp<int64_t>((hoechsteFrequenz(e) - e.Startfrequenz) / e.Schrittweite + 1, 1,
                                MaxPunkte);
    return {1, n, 280};
}

Range Operations::vfoRange() const {
    return {0, hoechsteFrequenz(inst_.e), 10000000};
}

Range Operations::ifRange() const {
    return {0, hoechsteFrequenz(inst_.e), 9000000};
}

Range Operations::cursorRange() const {
    const Einstellungen& e = inst_.e;
    const int32_t a = e.Startfrequenz;
    const int32_t b = frequencyAt(a, e.Schrittweite, inst_.punktzahl());
    return {std::min(a, b), std::max(a, b), frequencyAt(a, e.Schrittweite, inst_.Cursorpunkt)};
}

// ---- Settings

Status Operations::setStartFrequency(int32_t hz) {
    if (Status s = unlocked(); !s) return s;
    if (Status s = checked(startRange(), hz); !s) return s;  // the points may lie outside
    inst_.e.Startfrequenz = hz;
    frequenzenZeigen(inst_);
    parken(inst_, core_.link());
    cursorMitte(inst_);
    leerZeichnen(inst_);
    return {};
}

Status Operations::moveStartFrequency(int richtung) {
    if (Status s = unlocked(); !s) return s;
    if (richtung != 1 && richtung != -1) return fehler(Fault::OutOfRange);
    schritt(inst_, core_.link(), richtung);
    return {};
}

Status Operations::setStep(int32_t hz) {
    if (Status s = unlocked(); !s) return s;
    if (Status s = checked(stepRange(), hz); !s) return s;
    inst_.e.Schrittweite = hz;
    frequenzenZeigen(inst_);
    cursorMitte(inst_);
    leerZeichnen(inst_);
    return {};
}

Status Operations::setPoints(int32_t n) {
    SweepPlan p = plan();
    p.points = n;
    return setSweep(p);
}

Status Operations::setSweep(const SweepPlan& p) {
    if (Status s = unlocked(); !s) return s;
    if (Status s = checkedSweep(p); !s) return s;
    inst_.e.Startfrequenz = p.startHz;
    inst_.e.Schrittweite = p.stepHz;
    inst_.e.Messpunkte = p.points;
    frequenzenZeigen(inst_);
    cursorMitte(inst_);
    leerZeichnen(inst_);
    return {};
}

Status Operations::setMode(int32_t messart) {
    if (Status s = unlocked(); !s) return s;
    switch (messart) {
        case Durchgang:
            Button8Click(inst_);
            return {};
        case Reflexion:
            Button9Click(inst_);
            return {};
        case Spektrum:
            Button10Click(inst_);
            return {};
        case VFO:
            Button15Click(inst_, core_.link());
            return {};
        default:
            return fehler(Fault::OutOfRange);
    }
}

Status Operations::setDetector(bool linear) {
    if (Status s = unlocked(); !s) return s;
    detektorSetzen(inst_, linear);
    return {};
}

Status Operations::setAttenuation(int dB) {
    if (dB != 0 && dB != 10 && dB != 20 && dB != 30) return fehler(Fault::OutOfRange);
    inst_.fenster.setAttenuatorPosition(dB);
    inst_.fenster.setText(Control::AttenuatorLabel, daempfungstext(dB));
    inst_.Daempfung = daempfungsbits(dB);
    parken(inst_, core_.link());
    return {};
}

Status Operations::setVfoFrequency(int32_t hz) {
    if (Status s = inVfoMode(); !s) return s;
    if (Status s = checked(vfoRange(), hz); !s) return s;
    return setStartFrequency(hz);
}

Status Operations::setIfOffset(int32_t hz) {
    if (Status s = inVfoMode(); !s) return s;
    if (Status s = checked(ifRange(), hz); !s) return s;
    inst_.e.Zwischenfrequenz = hz;
    dm_diagramm(inst_);
    return {};
}

Status Operations::setIfApplied(bool on) {
    if (Status s = inVfoMode(); !s) return s;
    zfSchalten(inst_, core_.link(), Control::Zwischenfrequenz1, on);
    return {};
}

Status Operations::setIfAdded(bool add) {
    if (Status s = inVfoMode(); !s) return s;
    zfSchalten(inst_, core_.link(), Control::AdditionvsSubtraktion1, add);
    return {};
}

Status Operations::setCursorFrequency(int32_t hz) {
    if (Status s = checked(cursorRange(), hz); !s) return s;
    const int32_t step = inst_.e.Schrittweite;
    if (step != 0) {  // no step: every frequency is the same point, keep the cursor
        const double punkt =
            (static_cast<double>(hz) - inst_.e.Startfrequenz) / static_cast<double>(step);
        inst_.Cursorpunkt = std::clamp<int32_t>(runden(punkt), 0, inst_.punktzahl());
    }
    cursorZeigen(inst_);
    return {};
}

Status Operations::setHeading(std::string text) {
    if (Status s = unlocked(); !s) return s;
    inst_.Diagrammueberschrift = text;
    inst_.fenster.setText(Control::Label5, std::move(text));
    dm_diagramm(inst_);
    return {};
}

Status Operations::retryDevice() {
    if (Status s = unlocked(); !s) return s;
    core_.optionenVorher();
    core_.optionenNachher();
    if (inst_.DemoModus) return fehler(Fault::NoDevice);
    return {};
}

Status Operations::preset() {
    if (Status s = unlocked(); !s) return s;
    const Einstellungen start;
    Einstellungen& e = inst_.e;
    e.Startfrequenz = start.Startfrequenz;
    e.Endfrequenz = start.Endfrequenz;
    e.Schrittweite = start.Schrittweite;
    e.Messpunkte = start.Messpunkte;
    e.Zwischenfrequenz = start.Zwischenfrequenz;
    e.ZFBerechnung = start.ZFBerechnung;
    inst_.Linear = false;
    inst_.fenster.setChecked(Control::Zwischenfrequenz1, false);
    inst_.fenster.setChecked(Control::AdditionvsSubtraktion1, false);
    SetDaempfungNull(inst_);
    cursorMitte(inst_);
    frequenzenZeigen(inst_);
    Button8Click(inst_);
    clear_messwerte(inst_.fenster);
    parken(inst_, core_.link());
    return {};
}

// ---- Sweeps

Status Operations::startSweeps(uint64_t count) {
    if (Status s = unlocked(); !s) return s;
    if (inst_.ZFAktiv) return fehler(Fault::WrongMode);  // the VFO has no sweep
    if (count > 0) core_.sweep().durchlaeufeBegrenzen(count);
    core_.sweep().Button5Click();
    return {};
}

Status Operations::singleSweep() {
    if (Status s = startSweeps(); !s) return s;
    stop();  // the worker completes the sweep it has begun
    return {};
}

void Operations::stop(std::function<void()> whenStopped) {
    if (!core_.messungLaeuft()) {
        if (whenStopped) whenStopped();
        return;
    }
    core_.requestStop(std::move(whenStopped));
}

void Operations::stopAndWait() {
    core_.stopAndWait();
}

bool Operations::waitForSweep(uint64_t k) {
    return core_.sweep().warteAufDurchlauf(k);
}

}  // namespace veka
