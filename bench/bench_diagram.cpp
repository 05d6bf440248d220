// SPDX-License-Identifier: GPL-3.0-or-later
// Full diagram redraw per measurement mode, the Smith chart included.

#include <benchmark/benchmark.h>

#include <memory>

#include "display/diagram.h"
#include "state/instrument.h"

namespace {

void BM_DiagrammZeichnen(benchmark::State& state) {
    auto inst = std::make_unique<veka::Instrument>();
    inst->e.Startfrequenz = 10000000;
    inst->e.Schrittweite = 1000;
    inst->e.Messpunkte = 280;
    inst->e.Line = {50, 100, 150, 200, 250, 300, 350};
    inst->Messart = static_cast<int32_t>(state.range(0));
    for (int m = 1; m <= 20; ++m)
        inst->Frequenzmarken[static_cast<size_t>(m)] = 10000000 + 13000 * m;
    for (auto _ : state) {
        veka::DiagrammZeichnen(*inst, inst->daten);
        benchmark::DoNotOptimize(inst->daten.Rasterbild.pixel.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_DiagrammZeichnen)->DenseRange(1, 6)->ArgName("Messart");

}  // namespace
