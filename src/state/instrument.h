// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The one instrument state: settings, mode and flags, runtime values, measured values and the
// two drawing surfaces. It exists once, owned by the main window's logic.
//
// Threads: the sweep worker and the window thread share this object. Scalars that both touch
// during a sweep are atomics; the measured-value arrays and both surfaces are guarded by
// `datenMutex`. All other fields are written only by the window thread while no sweep runs
// (the window locks those commands out), so thread start and join order those accesses.

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

#include "state/surfaces.h"
#include "state/trace_extras.h"
#include "state/meldungstabelle.h"
#include "state/window_model.h"

namespace veka {

inline constexpr int MaxPunkte = 300;
inline constexpr int DiagrammLinks = 30;
inline constexpr int DiagrammUnten = 410;
inline constexpr int SmithMitteX = 320;
inline constexpr int SmithMitteY = 240;

// A pair of correction factors: offset in raw counts and gain in hundredths.
struct Korrfaktorpaar {
    int32_t k1 = 50;
    int32_t k2 = 250;

    bool operator==(const Korrfaktorpaar&) const = default;
};

// The settings kept in configuration files, with the start values of a fresh start.
struct Einstellungen {
    std::string Hardwareversion = " V7.3 ";
    std::string Sprache;
    int32_t Startfrequenz = 10000000;
    int32_t Endfrequenz = 35000000;
    int32_t Schrittweite = 10000;
    int32_t Taktfrequenz = 100000000;
    int32_t Eichfrequenz = 10000000;
    int32_t Zwischenfrequenz = 9000000;
    int32_t ZFBerechnung = 0;  // bit 0: offset applied; bit 1: added (else subtracted)
    int32_t Comport = 2;
    // Pairs in file order: Dlog, Rlog, Slog, Dlin, Rlin, Slin.
    Korrfaktorpaar Dlog, Rlog, Slog, Dlin, Rlin, Slin;
    int32_t Delay = 1;
    std::array<int32_t, 7> Line{};                                // heights, Line1..Line7
    std::array<int32_t, 7> LineText{10, 10, 10, 10, 10, 10, 10};  // labels in tenths
    int32_t Messpunkte = 280;
    int32_t Hintergrundfarbe = 255;
    int32_t Diagrammfarbe = 0;
    int32_t Kurvenfarbe = 230;
    int32_t Markenfarbe = 150;
    int32_t Cursor = 24;
    int32_t Baudrate = 9600;
    int32_t Messgenauigkeit = 8;

    bool operator==(const Einstellungen&) const = default;
};

// Measurement modes.
enum Messarten : int32_t {
    Durchgang = 1,
    Reflexion = 2,
    Spektrum = 3,
    Rohwerte = 4,
    VFO = 5,
    SmithModus = 6,
};

// The last complete sweep, or the series loaded since: what the queries of other fronts read
// while the next sweep redraws Messwerte point by point.
struct CompletedSweep {
    bool valid = false;     // false until a sweep completes
    bool shown = false;     // Messwerte hold it still: no full redraw since
    bool drawn = false;     // Diagrammbild holds the sweep's own drawing of it, unchanged
    bool measured = false;  // a sweep, not a series file: raw holds the readings
    int32_t start = 0;   // frequency of point 1, Hz
    int32_t step = 0;    // Hz
    int32_t messart = Durchgang;
    bool linear = false;
    int points = 0;
    std::array<int32_t, MaxPunkte + 1> values{};  // display values, as Messwerte
    std::array<uint16_t, MaxPunkte + 1> raw{};    // detector readings, 0 where none was taken
    // With the additions of trace_extras.h, in display-value units (all equal to values
    // while none is on): the averaged trace, the held one, and the one shown.
    PointValues level{};
    PointValues held{};
    PointValues shownValues{};
    int averagedOf = 0;  // sweeps in the average at each point; 0: no averaging
    Hold hold = Hold::Off;
    bool normalised = false;
    // Limit lines, when on: whether every point kept within them, else the first that did not.
    bool limitsTested = false;
    int firstFailure = 0;  // point 1..points; 0: none failed
    bool demo = false;   // measured from demonstration readings
};

static_assert(std::tuple_size_v<PointValues> == MaxPunkte + 1);

// Values guarded by Instrument::datenMutex.
struct Messdaten {
    std::array<int32_t, MaxPunkte + 1> Messwerte{};
    std::array<int32_t, MaxPunkte + 1> Messwerte2{};
    std::array<uint16_t, MaxPunkte + 1> Rohwerte{};  // the reading behind each Messwerte entry
    CompletedSweep lastSweep;
    TraceExtras extras;
    uint64_t demoSweeps = 0;  // complete sweeps measured from demonstration readings
    TBildfeld Diagrammbild;
    TBildfeld Rasterbild;
    // The window's refresh rests until the sweep draws something (Netzwerktester::refreshRuhen).
    bool refreshWecken = false;
};

struct Instrument {
    Einstellungen e;

    // Mode and flags (shared with the sweep worker).
    std::atomic<int32_t> Messart{Durchgang};
    std::atomic<bool> Linear{false};
    std::atomic<bool> Smith{false};
    std::atomic<bool> ZFAktiv{false};
    std::atomic<bool> DemoModus{false};
    std::atomic<bool> Zeitueberschreitung{false};
    std::atomic<uint8_t> Daempfung{0};
    std::atomic<uint16_t> Rohwert{0};
    std::atomic<int32_t> Cursorpunkt{140};

    // Sweep hand-shake.
    std::atomic<bool> Stopanforderung{false};
    std::atomic<bool> MessungBeendet{true};

    // Window-thread runtime values.
    std::array<int32_t, 21> Frequenzmarken{};  // index 1..20; 0 is no mark
    std::string Diagrammueberschrift;
    std::string Konfigurationsdatei = "vekami.cfg";
    char Dezimaltrenner = ',';  // decimal separator of the user's locale
    Meldungstabelle meldungen;
    WindowModel fenster;

    // Measured values and surfaces; hold datenMutex while touching them.
    mutable std::mutex datenMutex;
    Messdaten daten;

    // The factor pair that the sweep uses for a mode and detector, or nullptr for modes
    // that store uncorrected readings.
    Korrfaktorpaar* faktorpaar(int32_t messart, bool linear);
    const Korrfaktorpaar* faktorpaar(int32_t messart, bool linear) const {
        return const_cast<Instrument*>(this)->faktorpaar(messart, linear);
    }

    // Messpunkte limited to what the arrays hold; values below 1 give 0 points.
    int punktzahl() const;
};

// round(x) to the nearest integer, halves to even, saturated to the int32 range
// (NaN gives 0). Every float-to-integer conversion of the program goes through here.
int32_t runden(double x);

// Two's complement arithmetic on int32 that wraps instead of overflowing.
inline int32_t wrapAdd(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}
inline int32_t wrapSub(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}
inline int32_t wrapMul(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) * static_cast<uint32_t>(b));
}

// The frequency k steps above start, start + k * step, in the device's wrapping 32-bit
// arithmetic. Point p of a sweep (from 1) is k = p - 1. Every frequency of a point, a grid
// label or the cursor is worked out here.
inline int32_t frequencyAt(int32_t start, int32_t step, int64_t k) {
    return wrapAdd(start, wrapMul(static_cast<int32_t>(k), step));
}
// The frequency of sweep point p (from 1) under the settings e.
inline int32_t pointFrequency(const Einstellungen& e, int p) {
    return frequencyAt(e.Startfrequenz, e.Schrittweite, p - 1);
}

// A 64-bit result clamped into the int32 range (for drawing coordinates).
inline int32_t saturiert(int64_t v) {
    return v > INT32_MAX ? INT32_MAX : v < INT32_MIN ? INT32_MIN : static_cast<int32_t>(v);
}

}  // namespace veka
