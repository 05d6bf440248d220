// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Which frequencies a sweep measures, and how the ways of naming them (start and step; start
// and stop; centre and span) come to one plan. Pure functions, no state.

#include <cstdint>
#include <optional>
#include <string>
#include <variant>

namespace veka {

// Point p (from 1) lies at startHz + (p - 1) * stepHz.
struct SweepPlan {
    int32_t startHz = 0;
    int32_t stepHz = 0;
    int32_t points = 0;
};

// What a front asks for; what it leaves open stays as the current plan has it. Either stop, or
// centre and span together, may stand for the end of the sweep; then the step follows from
// the points, or the points from the step, and must come out whole.
struct SweepRequest {
    std::optional<int64_t> startHz, stopHz, centreHz, spanHz, stepHz, points;
};

// The plan, or in English why there is none (a span that no whole step divides, a stop below
// the start, a point count outside 1 to 300, …). The device's frequency range is checked where
// the plan is used (Operations::setSweep).
std::variant<SweepPlan, std::string> resolveSweep(const SweepRequest& r, const SweepPlan& now);

// The last point's frequency, in 64 bits.
int64_t stopOf(const SweepPlan& p);

}  // namespace veka
