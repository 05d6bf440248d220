// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The instrument's contract: every setting, run, file and result as a typed operation. The
// window asks the user and then calls one of these; batch mode and the remote control call
// them directly. Each operation checks its arguments once, here, and either does all of its
// work or nothing, saying why in an Error. Queries answer with numbers, never label text.
//
// Window thread only (the logic's thread), like the window's commands. What an operation
// changes shows in the window model at once; a front with a window mirrors it afterwards.

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "display/filter_analysis.h"
#include "measure/sweep_plan.h"
#include "state/instrument.h"

namespace veka {

class Netzwerktester;

enum class Fault : uint8_t {
    OutOfRange,     // a value the instrument does not take
    SweepRunning,   // refused while a sweep runs, as the window locks it out
    WrongMode,      // not in the current mode (VFO settings outside VFO, a sweep in VFO)
    NoTrace,        // no completed sweep to read yet
    FileNotFound,   // nothing of that name
    FileUnreadable, // no regular file, too large, or not of the kind asked for
    FileNotSaved,   // writing failed; the old file is kept
    UnknownFormat,  // a file name whose extension names no export format
    NotFitting,     // no reference or limit table, or one over other frequencies
    NoDevice,       // the device did not answer: demonstration readings
};

struct Error {
    Fault fault;
    std::string text = {};    // what the window says about it (German); may be empty
    std::string reason = {};  // the bare reason in English, for command-line messages
};

// Success, or the reason for a refusal.
class [[nodiscard]] Status {
  public:
    Status() = default;
    Status(Error e) : error_(std::move(e)) {}  // NOLINT: a refusal converts implicitly
    bool ok() const { return !error_; }
    explicit operator bool() const { return ok(); }
    const Error& error() const { return *error_; }

  private:
    std::optional<Error> error_;
};

// A value, or the reason there is none.
template <typename T>
class [[nodiscard]] Result {
  public:
    Result(T value) : v_(std::move(value)) {}  // NOLINT
    Result(Error e) : v_(std::move(e)) {}      // NOLINT
    bool ok() const { return v_.index() == 0; }
    explicit operator bool() const { return ok(); }
    const T& value() const { return std::get<0>(v_); }
    const T& operator*() const { return value(); }
    const T* operator->() const { return &value(); }
    const Error& error() const { return std::get<1>(v_); }

  private:
    std::variant<T, Error> v_;
};

// The range of a setting and its start value, for checks and for a front's MIN/MAX/DEF.
struct Range {
    int64_t min = 0;
    int64_t max = 0;
    int64_t def = 0;
    bool contains(int64_t v) const { return v >= min && v <= max; }
};

// How values are taken. The window's input box takes a typed whole number as it stands (its
// designed behaviour: no range check), so the window path checks only locks and modes.
// Every other front is refused values outside the instrument's ranges: every point of the
// sweep within the device's 32-bit frequency word, 0 to Taktfrequenz - 1.
enum class Entry : uint8_t { AsTyped, Checked };

// The settings as numbers.
struct SettingsReading {
    int32_t startHz = 0;
    int32_t stepHz = 0;
    int32_t points = 0;
    int32_t messart = Durchgang;  // Messarten
    bool linear = false;
    int attenuationDb = 0;
    int32_t ifHz = 0;
    bool ifApplied = false;  // "Zwischenfrequenz einrechnen" checked
    bool ifAdded = false;    // "Addition vs. Subtraktion" checked
    int32_t cursorHz = 0;
    int32_t clockHz = 0;
    bool demo = false;        // no device answered: demonstration readings
    bool sweeping = false;    // a sweep runs (also while it completes after a stop)
    bool continuous = false;  // it runs until stopped
    uint64_t demoSweeps = 0;  // complete sweeps of demonstration readings so far
};

struct TracePoint {
    int32_t frequencyHz = 0;
    int32_t displayValue = 0;  // Messwerte, 400 = top line
    double level = 0;          // levelOfValue(the value shown, before rounding)
    uint16_t raw = 0;          // the detector's reading (0 where none was taken)
};

struct Trace {
    bool linear = false;  // levels are linear fractions, else dB
    bool demo = false;    // demonstration readings, not the device's
    int32_t messart = Durchgang;
    std::vector<TracePoint> points;
};

struct Reading {
    int32_t frequencyHz = 0;
    int32_t displayValue = 0;
    double level = 0;
};

struct Bandwidth {
    int32_t lowerHz = 0;
    int32_t upperHz = 0;
    int32_t widthHz = 0;
    double dropDb = 6;  // how far the edges lie below the maximum: 6 dB, or 3 dB (linear)
};

// The evaluation shown after a stop, as numbers.
struct Results {
    bool linear = false;  // levels are linear fractions, else dB
    Reading maximum;
    Reading minimum;
    Reading cursor;
    std::optional<Bandwidth> bandwidth;  // transmission mode, both edges inside the sweep
};

// The additions as they stand.
struct ExtrasReading {
    bool averaging = false;
    int averageCount = 0;
    int sweepsAveraged = 0;  // in the last complete sweep
    Hold hold = Hold::Off;
    bool normalised = false;
    bool referenceStored = false;
    bool referenceFits = false;  // to the sweep as it is set now
    bool limitsOn = false;
    size_t limitRows = 0;
    int failedSweeps = 0;  // since "&Start" (or the last change of the additions)
};

// The limit lines' verdict on the last complete sweep.
struct LimitVerdict {
    bool tested = false;  // limits were on for it
    bool passed = true;
    int firstFailure = 0;  // its first point outside, 1..points
    int32_t firstFailureHz = 0;
};

class Operations {
  public:
    Operations(Netzwerktester& core, Entry entry);

    // ---- Settings. All but the attenuator and the cursor are refused while a sweep runs.
    Status setStartFrequency(int32_t hz);     // "&Frequenz": parks the source, centres the cursor
    Status moveStartFrequency(int richtung);  // "Pl&us" (+1), "&Minus" (-1): one step
    Status setStep(int32_t hz);               // "Schritt&weite": centres the cursor
    Status setPoints(int32_t n);              // 1 to 300: centres the cursor
    // Start, step and points at once, checked together (one at a time, a move across the
    // range could be refused halfway); centres the cursor. The device is tuned by the sweep.
    Status setSweep(const SweepPlan& plan);
    Status setMode(int32_t messart);          // Durchgang, Reflexion, Spektrum or VFO
    Status setDetector(bool linear);          // "li&n." / "lo&g."
    Status setAttenuation(int dB);            // 0, 10, 20 or 30; parks the source
    Status setVfoFrequency(int32_t hz);       // VFO mode: retunes the source
    Status setIfOffset(int32_t hz);           // VFO mode: "ZF Eingabe"
    Status setIfApplied(bool on);             // VFO mode: "Zwischenfrequenz einrechnen"
    Status setIfAdded(bool add);              // VFO mode: "Addition vs. Subtraktion"
    Status setCursorFrequency(int32_t hz);    // "&Cursor": the nearest point
    Status setHeading(std::string text);      // "Label"
    // Start values of the measurement set-up: frequencies, points, IF, transmission with the
    // logarithmic detector, 0 dB, cursor centred, the source parked. The device link, the
    // clock, the calibration, colours and language stay as they are.
    Status preset();
    // Tries the device again as closing the settings dialog does: the port is closed and
    // opened anew and the device tuned to the start frequency; NoDevice when it still does not
    // answer (after the time-out). Refused while a sweep runs.
    Status retryDevice();

    Range startRange() const;
    Range stepRange() const;
    Range pointsRange() const;
    Range vfoRange() const;
    Range ifRange() const;
    Range cursorRange() const;
    Range attenuationRange() const { return {0, 30, 0}; }

    // ---- Files, named as the user gave them.
    // "&Öffnen". Checked entry refuses a file that holds no settings (FileUnreadable); the
    // window loads it as start values, as it always did.
    Status loadConfiguration(const std::string& path);
    Status saveConfiguration(const std::string& path);  // "&Speichern"
    Status saveSeries(const std::string& path);         // "Messreihe S&peichern"
    Status loadSeries(const std::string& path);         // "Messreihe &laden"
    Status exportTrace(const std::string& path);        // "Exportieren …": format by extension

    // ---- Sweeps.
    // "&Start": sweeps until stopped, or exactly `count` complete sweeps.
    Status startSweeps(uint64_t count = 0);
    // One complete sweep, then the stop's evaluation; never blocks.
    Status singleSweep();
    // "Sto&p": the sweep in progress completes, then the source is parked on the start
    // frequency and the results are evaluated; whenStopped (may be empty) runs after that.
    // Never blocks the calling thread.
    void stop(std::function<void()> whenStopped = {});
    // The same, returning when all of it is done; for fronts without an event loop.
    void stopAndWait();
    // Blocks until the running sweeps have begun their k-th sweep (from 1); false when they
    // ended before. For fronts without an event loop.
    bool waitForSweep(uint64_t k);

    // ---- Additions: averaging, hold, a reference trace, limit lines; all off at the start.
    // Averaging and hold start afresh with every change of them and with every full redraw
    // (new frequencies, points, mode or detector, "&Start").
    Status setAveraging(bool on);
    Status setAverageCount(int sweeps);  // 1 to 64
    void restartAveraging();
    Status setHold(Hold hold);
    // The last complete trace as the reference (averaged and held, not normalised).
    Status storeReference();
    // A CSV table as the export writes it, over the frequencies the sweep is set to.
    Status loadReference(const std::string& path);
    Status saveReference(const std::string& path);
    // Shows trace - reference (dB) or trace / reference (linear); needs a reference that
    // fits the sweep. Starts the values anew.
    Status setNormalised(bool on);
    // A limit table (frequency_hz,upper,lower); switch it on and off with setLimits.
    Status loadLimits(const std::string& path);
    Status setLimits(bool on);
    ExtrasReading extras() const;
    Result<ReferenceTrace> reference() const;
    // The filter analysis of the last complete trace, as shown.
    Result<FilterAnalysis> analysis(double belowDb = -10) const;
    Result<LimitVerdict> limitVerdict() const;

    // ---- Queries.
    SettingsReading settings() const;
    // How long one sweep keeps the line busy: every exchange at the baud rate, with the pause
    // before its control byte (two exchanges a point in the Smith mode).
    std::chrono::microseconds sweepTime() const;
    // The measured points of the last complete sweep (or the series loaded since), also while
    // the next sweep runs; NoTrace before the first.
    Result<Trace> trace() const;
    // Their evaluation, as the window's readouts show it after a stop.
    Result<Results> results() const;

    // The sweep as it stands.
    SweepPlan plan() const;

  private:
    Status unlocked() const;  // refused while a sweep runs
    Status checkedSweep(const SweepPlan& plan) const;
    Status inVfoMode() const;
    Status checked(const Range& r, int64_t v) const;

    Netzwerktester& core_;
    Instrument& inst_;
    Entry entry_;
};

}  // namespace veka
