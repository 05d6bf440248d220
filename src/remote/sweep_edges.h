// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The sweep as SCPI instruments describe it, by stop, centre and span, over the instrument's
// start, step and points. A new stop keeps start and points; a new span keeps the centre and
// the points; a new centre keeps the span. The step is a whole number of Hz, so the stop a
// client asks for is rounded to the nearest one the step reaches; STOP? tells it. The
// operation (Operations::setSweep) checks the sweep that results as a whole.

#include <cstdint>
#include <optional>

#include "measure/operations.h"

namespace veka {

struct SweepEdges {
    int64_t stop = 0;    // the last point's frequency
    int64_t centre = 0;  // halfway, rounded down
    int64_t span = 0;    // stop - start
};

SweepEdges edgesOf(const SweepPlan& p);
// The plans for a new stop, span or centre; nothing when a value leaves the 32-bit range.
std::optional<SweepPlan> withStop(const SweepPlan& p, int64_t stop);
std::optional<SweepPlan> withSpan(const SweepPlan& p, int64_t span);
std::optional<SweepPlan> withCentre(const SweepPlan& p, int64_t centre);

// The ranges of stop, span and centre that the ranges of start, step and points allow.
struct EdgeRanges {
    Range stop, span, centre;
};
EdgeRanges edgeRanges(const SweepPlan& p, const Range& start, const Range& step,
                      const Range& points);

}  // namespace veka
