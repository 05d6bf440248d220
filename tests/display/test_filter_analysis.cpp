// SPDX-License-Identifier: GPL-3.0-or-later
// The filter analysis against curves whose answers are known, and the limit lines between the
// rows of their table.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "display/filter_analysis.h"
#include "display/limits.h"

namespace veka {
namespace {

// A single resonator of half-power width bw around f0 (geometrically): at d dB down
// |x| = sqrt(10^(d/10) - 1), and the width there is bw |x|.
double resonator(double f, double f0, double bw) {
    const double x = (f0 / bw) * (f / f0 - f0 / f);
    return -10.0 * std::log10(1.0 + x * x);
}

LevelTrace sampled(int64_t start, int64_t step, int n, const std::function<double(double)>& db) {
    LevelTrace t{start, step, false, false, {}};
    for (int k = 0; k < n; ++k) t.levels.push_back(db(static_cast<double>(start + k * step)));
    return t;
}

TEST(FilterAnalysis, FindsWhatTheCurveHolds) {
    // Fine steps: the interpolated edges land within a small part of a step.
    const LevelTrace t = sampled(9000000, 1000, 2281, [](double f) {
        return resonator(f, 10140000, 100000) - 1.5;  // 1.5 dB insertion loss
    });
    const FilterAnalysis a = analyseFilter(t);
    EXPECT_NEAR(a.maximumDb, -1.5, 1e-3);
    const double w3 = 100000 * std::sqrt(std::pow(10, 0.3) - 1);
    EXPECT_NEAR(*a.bands[0].widthHz(), w3, 5);
    EXPECT_NEAR(*a.centreGeometricHz, 10140000, 5);
    EXPECT_NEAR(*a.q, 10140000 / w3, 0.01);
    EXPECT_EQ(*a.rippleDb, 0) << "one peak has no ripple";
    // 20 dB down: |x| = sqrt(99); 60 dB lies outside the sweep, so the pair is 20 / 6.
    EXPECT_NEAR(*a.bands[2].widthHz() / 100000.0, std::sqrt(99.0), 0.01);
    EXPECT_FALSE(a.bands[3].lowerHz);
    EXPECT_EQ(a.shapeFromDb, 20);
    EXPECT_NEAR(*a.shapeFactor, std::sqrt(99.0) / std::sqrt(std::pow(10, 0.6) - 1), 0.01);
}

TEST(FilterAnalysis, EdgesRipplesAndDips) {
    const struct {
        const char* name;
        LevelTrace trace;
        std::function<void(const FilterAnalysis&)> check;
    } cases[] = {
        {"edges between points",
         {1000, 10, false, false, {-10, -4, 0, -1, -7}},
         [](const FilterAnalysis& a) {
             EXPECT_DOUBLE_EQ(*a.bands[0].lowerHz, 1012.5);  // 3/4 of the way from 0 to -4
             EXPECT_DOUBLE_EQ(*a.bands[0].upperHz, 1030 + 10 * 2.0 / 6);
             EXPECT_FALSE(a.bands[2].lowerHz) << "the curve never falls 20 dB on the left";
         }},
        {"two peaks: the valley between them",
         {0, 1, false, false, {-9, -1, -2.5, -0.5, -9}},
         [](const FilterAnalysis& a) { EXPECT_DOUBLE_EQ(*a.rippleDb, 2.0); }},
        {"linear fractions in dB",
         {0, 1, true, false, {0.1, 1.0, 0.1}},
         [](const FilterAnalysis& a) {
             EXPECT_DOUBLE_EQ(a.maximumDb, 0);
             EXPECT_NEAR(*a.bands[2].widthHz(), 2.0, 1e-9) << "0.1 is exactly 20 dB down";
         }},
        {"reflection: the dip and where it stays below -10 dB",
         {0, 100, false, true, {-2, -8, -20, -12, -6}},
         [](const FilterAnalysis& a) {
             EXPECT_DOUBLE_EQ(a.minimumDb, -20);
             EXPECT_DOUBLE_EQ(a.minimumHz, 200);
             EXPECT_NEAR(*a.below.lowerHz, 100 + 100 * 2.0 / 12, 1e-9);
             EXPECT_NEAR(*a.below.upperHz, 300 + 100 * 2.0 / 6, 1e-9);
         }},
        {"no points", {0, 1, false, false, {}},
         [](const FilterAnalysis& a) { EXPECT_TRUE(a.empty); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        c.check(analyseFilter(c.trace));
    }
}

TEST(LimitLines, StraightBetweenRowsAndNoneWhereACellIsEmpty) {
    const std::vector<LimitRow> rows = {
        {1000, 0.0, -10.0}, {2000, -2.0, std::nullopt}, {3000, -2.0, -20.0}};
    const struct {
        int64_t f;
        std::optional<double> upper, lower;
    } cases[] = {
        {999, {}, {}},     {1000, 0.0, -10.0}, {1500, -1.0, {}},
        {2000, -2.0, {}},  {2500, -2.0, {}},   {3000, -2.0, -20.0},
        {3001, {}, {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(limitAt(rows, c.f, true), c.upper) << c.f;
        EXPECT_EQ(limitAt(rows, c.f, false), c.lower) << c.f;
    }
    // Point 2 (1500 Hz, level -0.8 dB) lies above the upper limit of -1 dB.
    CompletedSweep c;
    c.start = 1000;
    c.step = 500;
    c.points = 5;
    const double values[] = {395, 396, 380, 340, 350};
    for (int k = 1; k <= 5; ++k) c.shownValues[k] = values[k - 1];
    EXPECT_EQ(firstLimitFailure(rows, c), 2);
    c.shownValues[2] = 395;  // -1.0 dB: on the line is within
    EXPECT_EQ(firstLimitFailure(rows, c), 0);
}

}  // namespace
}  // namespace veka
