// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the additions of state/trace_extras.h do to each point of a running sweep: average the
// last sweeps, hold the highest or lowest, and show the result against a stored reference.
// Called by the sweep's worker under datenMutex; cheap enough for every point.

#include <cstdint>

#include "state/instrument.h"

namespace veka {

// A sweep begins: the ring of averaged sweeps moves on by one.
void beginSweep(TraceExtras& t);

// Point i of the running sweep. exact: the reading's display value before rounding; value:
// what the sweep stores without additions (at least 1). Keeps the averaged, held and shown
// values of the point and returns what Messwerte[i] gets. `normalise` says whether the
// reference fits this sweep's frequencies.
int32_t processPoint(TraceExtras& t, int i, double exact, int32_t value, bool linear,
                     bool normalise);

}  // namespace veka
