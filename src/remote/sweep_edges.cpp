// SPDX-License-Identifier: GPL-3.0-or-later
#include "remote/sweep_edges.h"

#include <cmath>

namespace veka {

namespace {

int64_t intervals(const SweepPlan& p) {
    return p.points > 1 ? p.points - 1 : 0;
}

std::optional<SweepPlan> fitted(int64_t start, int64_t step, int32_t points) {
    if (start < INT32_MIN || start > INT32_MAX || step < INT32_MIN || step > INT32_MAX)
        return std::nullopt;
    return SweepPlan{static_cast<int32_t>(start), static_cast<int32_t>(step), points};
}

// span / intervals to the nearest whole step.
int64_t stepFor(int64_t span, int64_t n) {
    return std::llround(static_cast<double>(span) / static_cast<double>(n));
}

}  // namespace

SweepEdges edgesOf(const SweepPlan& p) {
    const int64_t span = int64_t{p.stepHz} * intervals(p);
    const int64_t half = span >= 0 ? span / 2 : -((-span + 1) / 2);
    return {int64_t{p.startHz} + span, int64_t{p.startHz} + half, span};
}

std::optional<SweepPlan> withStop(const SweepPlan& p, int64_t stop) {
    if (intervals(p) == 0) return fitted(stop, p.stepHz, p.points);
    return fitted(p.startHz, stepFor(stop - p.startHz, intervals(p)), p.points);
}

std::optional<SweepPlan> withSpan(const SweepPlan& p, int64_t span) {
    if (intervals(p) == 0) return fitted(p.startHz, p.stepHz, p.points);
    const int64_t step = stepFor(span, intervals(p));
    const int64_t centre = edgesOf(p).centre;
    return fitted(centre - step * intervals(p) / 2, step, p.points);
}

std::optional<SweepPlan> withCentre(const SweepPlan& p, int64_t centre) {
    const SweepEdges e = edgesOf(p);
    return fitted(p.startHz + (centre - e.centre), p.stepHz, p.points);
}

EdgeRanges edgeRanges(const SweepPlan& p, const Range& start, const Range& step,
                      const Range& points) {
    const int64_t n = intervals(p);
    const int64_t defaultSpan = step.def * (points.def > 1 ? points.def - 1 : 0);
    const int64_t span = edgesOf(p).span;
    EdgeRanges r;
    r.stop = {p.startHz + step.min * n, p.startHz + step.max * n, start.def + defaultSpan};
    r.span = {step.min * n, step.max * n, defaultSpan};
    r.centre = {start.min + span / 2, start.max + span / 2, start.def + defaultSpan / 2};
    return r;
}

}  // namespace veka
