// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Averaging, max/min hold, a stored reference trace with normalisation, and limit lines: what
// the program adds on top of the measured values. All off at the start; while all are off the
// sweep stores and draws exactly what it measures. Part of Messdaten, so guarded by
// datenMutex: the sweep's worker reads the settings and writes the running state at every
// point; the window thread changes the settings only while no sweep runs.

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace veka {

inline constexpr int MaxMittelung = 64;  // sweeps an average may span

// Values per point 1..300 (index 0 unused), in display-value units: 400 is the top line,
// 5 units are 1 dB, or 400 is full scale with the linear detector.
using PointValues = std::array<double, 300 + 1>;

enum class Hold : uint8_t { Off, Max, Min };

// A trace kept to compare later sweeps with: its frequencies and its values.
struct ReferenceTrace {
    bool valid = false;
    int32_t start = 0;  // Hz
    int32_t step = 0;   // Hz
    int points = 0;
    int32_t messart = 1;
    bool linear = false;
    PointValues values{};

    // Whether it was taken over these frequencies, in this mode, with this detector.
    bool fits(int32_t f0, int32_t df, int n, int32_t art, bool lin) const {
        return valid && start == f0 && step == df && points == n && messart == art &&
               linear == lin;
    }
};

// One row of a limit table: from here to the next row the limits run in straight lines; an
// absent value is no limit there.
struct LimitRow {
    int32_t frequencyHz = 0;
    std::optional<double> upper;  // in the trace's unit: dB, or the linear fraction
    std::optional<double> lower;
};

struct TraceExtras {
    // Settings.
    bool averaging = false;
    int averageCount = 16;  // 1..MaxMittelung
    Hold hold = Hold::Off;
    bool normalised = false;  // shown as trace - reference (dB) or trace / reference (linear)
    ReferenceTrace reference;
    bool limitsOn = false;
    std::vector<LimitRow> limits;  // ascending frequencies; changed only while no sweep runs

    // Whether any addition changes what a sweep stores.
    bool changesValues() const {
        return averaging || hold != Hold::Off || (normalised && reference.valid);
    }
    // Forgets the sweeps averaged and held so far, and the failures counted.
    void restart() {
        sweeps = 0;
        failedSweeps = 0;
    }

    // Running state since the last restart: a full redraw, or a change of these settings.
    int sweeps = 0;        // sweeps begun
    int failedSweeps = 0;  // complete sweeps that left the limit lines
    std::array<PointValues, MaxMittelung> history{};  // the last sweeps' values, a ring
    PointValues held{};
    // The running sweep's values per point: averaged, held, and as shown.
    PointValues level{};
    PointValues heldNow{};
    PointValues shown{};
};

}  // namespace veka
