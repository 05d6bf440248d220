// SPDX-License-Identifier: GPL-3.0-or-later
// The additions on the sweep's worker and the analysis: what one point costs with averaging
// over 64 sweeps, hold and normalisation on, and one analysis of a 300-point trace.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

#include "display/filter_analysis.h"
#include "measure/trace_processing.h"

namespace {

void BM_PointWithEverythingOn(benchmark::State& state) {
    auto t = std::make_unique<veka::TraceExtras>();
    t->averaging = true;
    t->averageCount = veka::MaxMittelung;
    t->hold = veka::Hold::Max;
    t->reference.valid = true;
    t->reference.values.fill(380);
    t->sweeps = veka::MaxMittelung;  // a full ring
    int i = 1;
    for (auto _ : state) {
        benchmark::DoNotOptimize(veka::processPoint(*t, i, 351.25, 351, false, true));
        i = i % 300 + 1;
    }
}
BENCHMARK(BM_PointWithEverythingOn);

void BM_FilterAnalysis300(benchmark::State& state) {
    veka::LevelTrace trace{9440000, 5000, false, false, {}};
    for (int k = 0; k < 300; ++k) {
        const double f = 9440000.0 + 5000.0 * k;
        const double x = 101.4 * (f / 10140000.0 - 10140000.0 / f);
        trace.levels.push_back(std::max(-10.0 * std::log10(1.0 + x * x), -80.0));
    }
    for (auto _ : state) benchmark::DoNotOptimize(veka::analyseFilter(trace));
}
BENCHMARK(BM_FilterAnalysis300);

}  // namespace
