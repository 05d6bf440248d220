// SPDX-License-Identifier: GPL-3.0-or-later
#include "measure/sweep_plan.h"

#include "state/instrument.h"

namespace veka {

namespace {

using Outcome = std::variant<SweepPlan, std::string>;

std::string hz(int64_t v) {
    return std::to_string(v) + " Hz";
}

// Start and stop fixed: the step from the points, or the points from the step.
Outcome between(int64_t start, int64_t stop, const SweepRequest& r, const SweepPlan& now) {
    if (stop < start) return "the stop (" + hz(stop) + ") lies below the start (" + hz(start) + ")";
    const int64_t span = stop - start;
    if (r.stepHz) {
        if (*r.stepHz < 1) return std::string("the step must be 1 Hz or more");
        if (span % *r.stepHz != 0)
            return "a step of " + hz(*r.stepHz) + " does not divide the span of " + hz(span);
        return SweepPlan{static_cast<int32_t>(start), static_cast<int32_t>(*r.stepHz),
                         static_cast<int32_t>(std::min<int64_t>(span / *r.stepHz + 1, INT32_MAX))};
    }
    const int64_t n = r.points.value_or(now.points);
    if (n < 2) return std::string("a sweep from start to stop needs 2 points or more");
    if (span % (n - 1) != 0)
        return "the span of " + hz(span) + " does not divide into " + std::to_string(n - 1) +
               " whole steps of Hz";
    return SweepPlan{static_cast<int32_t>(start), static_cast<int32_t>(span / (n - 1)),
                     static_cast<int32_t>(n)};
}

Outcome check(const SweepPlan& p) {
    if (p.points < 1 || p.points > MaxPunkte) return std::string("the points must be 1 to 300");
    if (p.stepHz < 1) return std::string("the step must be 1 Hz or more");
    if (p.startHz < 0) return std::string("the start must be 0 Hz or more");
    if (stopOf(p) > INT32_MAX) return "the last point lies beyond " + hz(INT32_MAX);
    return p;
}

}  // namespace

int64_t stopOf(const SweepPlan& p) {
    return int64_t{p.startHz} + int64_t{p.stepHz} * (p.points > 1 ? p.points - 1 : 0);
}

std::variant<SweepPlan, std::string> resolveSweep(const SweepRequest& r, const SweepPlan& now) {
    for (const auto& v : {r.startHz, r.stopHz, r.centreHz, r.spanHz, r.stepHz, r.points})
        if (v && (*v < 0 || *v > INT32_MAX)) return "a value beyond " + hz(INT32_MAX);
    if (r.centreHz.has_value() != r.spanHz.has_value())
        return std::string("centre and span go together");
    if (r.centreHz && (r.startHz || r.stopHz))
        return std::string("give either centre and span or start and stop");
    Outcome o = SweepPlan{static_cast<int32_t>(r.startHz.value_or(now.startHz)),
                          static_cast<int32_t>(r.stepHz.value_or(now.stepHz)),
                          static_cast<int32_t>(r.points.value_or(now.points))};
    if (r.stepHz && r.points && (r.stopHz || r.spanHz))
        return std::string("step, points and the end of the sweep cannot all be given");
    if (r.centreHz) {
        if (*r.spanHz % 2 != 0) return "half the span of " + hz(*r.spanHz) + " is no whole Hz";
        const int64_t start = *r.centreHz - *r.spanHz / 2;
        if (start < 0) return std::string("the sweep would start below 0 Hz");
        o = between(start, start + *r.spanHz, r, now);
    } else if (r.stopHz) {
        o = between(r.startHz.value_or(now.startHz), *r.stopHz, r, now);
    }
    if (const auto* plan = std::get_if<SweepPlan>(&o)) return check(*plan);
    return o;
}

}  // namespace veka
