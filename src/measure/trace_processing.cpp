// SPDX-License-Identifier: GPL-3.0-or-later
#include "measure/trace_processing.h"

#include <algorithm>

namespace veka {

void beginSweep(TraceExtras& t) {
    ++t.sweeps;
}

namespace {

// The mean of point i over the last sweeps, this one included.
double average(TraceExtras& t, int i, double exact) {
    const int count = std::clamp(t.averageCount, 1, MaxMittelung);
    const int slot = (t.sweeps - 1) % count;
    t.history[static_cast<size_t>(slot)][i] = exact;
    const int n = std::min(t.sweeps, count);
    double sum = 0;
    for (int s = 0; s < n; ++s) sum += t.history[static_cast<size_t>(s)][i];
    return sum / n;
}

}  // namespace

int32_t processPoint(TraceExtras& t, int i, double exact, int32_t value, bool linear,
                     bool normalise) {
    const double level = t.averaging && t.sweeps > 0 ? average(t, i, exact) : value;
    double held = level;
    if (t.hold != Hold::Off) {
        const bool first = t.sweeps <= 1;
        held = first ? level
               : t.hold == Hold::Max ? std::max(t.held[i], level)
                                     : std::min(t.held[i], level);
        t.held[i] = held;
    }
    double shown = held;
    if (normalise) {
        const double ref = t.reference.values[i];
        shown = linear ? (ref > 0 ? 400.0 * held / ref : held) : held - ref + 400.0;
    }
    t.level[i] = level;
    t.heldNow[i] = held;
    t.shown[i] = shown;
    return std::max(runden(shown), 1);
}


}  // namespace veka
