// SPDX-License-Identifier: GPL-3.0-or-later
// The additions of the typed operations: averaging, hold, the reference trace, limit lines,
// and the analysis of a filter curve.
#include <filesystem>
#include <mutex>
#include <variant>

#include "display/auswertung.h"
#include "display/diagram.h"
#include "export/csv_writer.h"
#include "files/safe_file.h"
#include "files/text_lines.h"
#include "files/trace_tables.h"
#include "measure/netzwerktester.h"
#include "measure/operations.h"

namespace veka {

namespace {

constexpr size_t kMaxTableBytes = size_t{1} << 20;

Error unfit(std::string reason) {
    return Error{Fault::NotFitting, {}, std::move(reason)};
}

std::string describe(int64_t start, int64_t step, int64_t points) {
    return std::to_string(points) + " points from " + std::to_string(start) + " Hz in steps of " +
           std::to_string(step) + " Hz";
}

// A table's bytes, or why there are none.
std::variant<std::string, Error> tableBytes(const std::string& path) {
    ReadStatus status = ReadStatus::Ok;
    if (auto bytes = readFileBytes(path, kMaxTableBytes, &status)) return *bytes;
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) return Error{Fault::FileNotFound, {}, "no such file"};
    return Error{Fault::FileUnreadable, {}, status == ReadStatus::TooLarge ? "too large" : "unreadable"};
}

}  // namespace

Status Operations::setAveraging(bool on) {
    std::lock_guard lock(inst_.datenMutex);
    inst_.daten.extras.averaging = on;
    inst_.daten.extras.restart();
    return {};
}

Status Operations::setAverageCount(int sweeps) {
    if (sweeps < 1 || sweeps > MaxMittelung) return Error{Fault::OutOfRange};
    std::lock_guard lock(inst_.datenMutex);
    inst_.daten.extras.averageCount = sweeps;
    inst_.daten.extras.restart();
    return {};
}

void Operations::restartAveraging() {
    std::lock_guard lock(inst_.datenMutex);
    inst_.daten.extras.restart();
}

Status Operations::setHold(Hold hold) {
    std::lock_guard lock(inst_.datenMutex);
    inst_.daten.extras.hold = hold;
    inst_.daten.extras.restart();
    return {};
}

Status Operations::storeReference() {
    {
        std::lock_guard lock(inst_.datenMutex);
        const CompletedSweep& c = inst_.daten.lastSweep;
        if (!c.valid) return Error{Fault::NoTrace};
        ReferenceTrace& r = inst_.daten.extras.reference;
        r = {true, c.start, c.step, c.points, c.messart, c.linear, c.held};
    }
    rasterNeu(inst_);
    return {};
}

Status Operations::loadReference(const std::string& path) {
    if (Status s = unlocked(); !s) return s;
    auto bytes = tableBytes(path);
    if (auto* e = std::get_if<Error>(&bytes)) return *e;
    const auto table = readTraceTable(std::get<std::string>(bytes));
    if (const auto* why = std::get_if<std::string>(&table))
        return Error{Fault::FileUnreadable, {}, *why};
    const TraceTable& t = std::get<TraceTable>(table);
    const Einstellungen& e = inst_.e;
    const int n = inst_.punktzahl();
    const auto points = static_cast<int64_t>(t.levels.size());
    if (t.startHz != e.Startfrequenz || t.stepHz != e.Schrittweite || points != n)
        return unfit("the table has " + describe(t.startHz, t.stepHz, points) + ", the sweep " +
                     describe(e.Startfrequenz, e.Schrittweite, n));
    if (t.linear != inst_.Linear.load())
        return unfit(t.linear ? "a linear table for the logarithmic detector"
                              : "a table in dB for the linear detector");
    ReferenceTrace r{true, e.Startfrequenz, e.Schrittweite, n, inst_.Messart, t.linear, {}};
    for (int k = 1; k <= n; ++k) {
        const double level = t.levels[static_cast<size_t>(k - 1)];
        r.values[k] = t.linear ? 400.0 * level : 400.0 + 5.0 * level;
    }
    {
        std::lock_guard lock(inst_.datenMutex);
        inst_.daten.extras.reference = r;
    }
    rasterNeu(inst_);
    return {};
}

Status Operations::saveReference(const std::string& path) {
    TraceSnapshot a;
    {
        std::lock_guard lock(inst_.datenMutex);
        const ReferenceTrace& r = inst_.daten.extras.reference;
        if (!r.valid) return unfit("no reference is stored");
        a.start = r.start;
        a.step = r.step;
        a.points = r.points;
        a.linear = r.linear;
        a.level = r.values;
        for (int k = 1; k <= r.points; ++k) a.values[k] = runden(r.values[k]);
    }
    Error e{Fault::FileNotSaved};
    if (saveFileSafely(path, writeCsv(a), &e.text, &e.reason)) return {};
    return e;
}

Status Operations::setNormalised(bool on) {
    if (Status s = unlocked(); !s) return s;
    {
        std::lock_guard lock(inst_.datenMutex);
        TraceExtras& t = inst_.daten.extras;
        if (on && !t.reference.fits(inst_.e.Startfrequenz, inst_.e.Schrittweite,
                                    inst_.punktzahl(), inst_.Messart, inst_.Linear))
            return unfit(t.reference.valid ? "the reference was taken over other frequencies"
                                           : "no reference is stored");
        t.normalised = on;
    }
    dm_diagramm(inst_);  // the values start anew, on the scale they are shown on
    return {};
}

Status Operations::loadLimits(const std::string& path) {
    auto bytes = tableBytes(path);
    if (auto* e = std::get_if<Error>(&bytes)) return *e;
    auto table = readLimitTable(std::get<std::string>(bytes));
    if (const auto* why = std::get_if<std::string>(&table))
        return Error{Fault::FileUnreadable, {}, *why};
    {
        std::lock_guard lock(inst_.datenMutex);
        inst_.daten.extras.limits = std::move(std::get<std::vector<LimitRow>>(table));
    }
    rasterNeu(inst_);
    return {};
}

Status Operations::setLimits(bool on) {
    {
        std::lock_guard lock(inst_.datenMutex);
        TraceExtras& t = inst_.daten.extras;
        if (on && t.limits.empty()) return unfit("no limit table is loaded");
        t.limitsOn = on;
    }
    rasterNeu(inst_);
    return {};
}

ExtrasReading Operations::extras() const {
    std::lock_guard lock(inst_.datenMutex);
    const TraceExtras& t = inst_.daten.extras;
    ExtrasReading r;
    r.averaging = t.averaging;
    r.averageCount = t.averageCount;
    r.sweepsAveraged = inst_.daten.lastSweep.averagedOf;
    r.hold = t.hold;
    r.normalised = t.normalised;
    r.referenceStored = t.reference.valid;
    r.referenceFits = t.reference.fits(inst_.e.Startfrequenz, inst_.e.Schrittweite,
                                       inst_.punktzahl(), inst_.Messart, inst_.Linear);
    r.limitsOn = t.limitsOn;
    r.limitRows = t.limits.size();
    r.failedSweeps = t.failedSweeps;
    return r;
}

Result<ReferenceTrace> Operations::reference() const {
    std::lock_guard lock(inst_.datenMutex);
    const ReferenceTrace& r = inst_.daten.extras.reference;
    if (!r.valid) return unfit("no reference is stored");
    return r;
}

Result<FilterAnalysis> Operations::analysis(double belowDb) const {
    std::lock_guard lock(inst_.datenMutex);
    const CompletedSweep& c = inst_.daten.lastSweep;
    if (!c.valid) return Error{Fault::NoTrace};
    LevelTrace t{c.start, c.step, c.linear, c.messart == Reflexion, {}};
    for (int k = 1; k <= c.points; ++k) t.levels.push_back(levelOfValue(c.shownValues[k], c.linear));
    return analyseFilter(t, belowDb);
}

Result<LimitVerdict> Operations::limitVerdict() const {
    std::lock_guard lock(inst_.datenMutex);
    const CompletedSweep& c = inst_.daten.lastSweep;
    if (!c.valid) return Error{Fault::NoTrace};
    LimitVerdict v;
    v.tested = c.limitsTested;
    v.passed = c.firstFailure == 0;
    v.firstFailure = c.firstFailure;
    if (c.firstFailure > 0) v.firstFailureHz = frequencyAt(c.start, c.step, c.firstFailure - 1);
    return v;
}

}  // namespace veka
