// SPDX-License-Identifier: GPL-3.0-or-later
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include "display/quickdraw.h"

namespace {

using veka::Anzeigebitmap;
using veka::TBildfeld;

constexpr size_t kBytes = static_cast<size_t>(veka::BildBreite) * veka::BildHoehe;

void BM_BilderVerknuepfen(benchmark::State& state) {
    auto raster = std::make_unique<TBildfeld>();
    auto diagramm = std::make_unique<TBildfeld>();
    std::mt19937 zufall(1);
    for (auto& b : raster->pixel) b = static_cast<uint8_t>(zufall());
    for (auto& b : diagramm->pixel) b = static_cast<uint8_t>(zufall());
    Anzeigebitmap bitmap;
    for (auto _ : state) {
        veka::BilderVerknuepfen(bitmap, *raster, *diagramm);
        benchmark::DoNotOptimize(bitmap.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kBytes);
}
BENCHMARK(BM_BilderVerknuepfen);

// Yardstick for the combination above: the same number of bytes, simply copied.
void BM_Memcpy307200(benchmark::State& state) {
    std::vector<uint8_t> quelle(kBytes, 0x5A), ziel(kBytes);
    for (auto _ : state) {
        benchmark::DoNotOptimize(quelle.data());
        std::memcpy(ziel.data(), quelle.data(), kBytes);
        benchmark::DoNotOptimize(ziel.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kBytes);
}
BENCHMARK(BM_Memcpy307200);

// A sweep curve segment: a few pixels wide, moderately steep.
void BM_LinieZiehen_Kurvenstueck(benchmark::State& state) {
    auto feld = std::make_unique<TBildfeld>();
    int32_t x = 1;
    for (auto _ : state) {
        veka::LinieZiehen(*feld, x, 200, x + 2, 213, 7);
        x = x >= 600 ? 1 : x + 2;
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_LinieZiehen_Kurvenstueck);

// End points far outside the surface: must cost no more than the visible part.
void BM_LinieZiehen_Fern(benchmark::State& state) {
    auto feld = std::make_unique<TBildfeld>();
    for (auto _ : state) {
        veka::LinieZiehen(*feld, -2000000000, 5, 2000000000, 400, 7);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_LinieZiehen_Fern);

}  // namespace
