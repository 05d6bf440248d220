// SPDX-License-Identifier: GPL-3.0-or-later
// The 10 ms window refresh: nothing changed, one pixel changed, one sweep point drawn.
#include <benchmark/benchmark.h>

#include "display/quickdraw.h"
#include "measure/netzwerktester.h"
#include "measure/sweep.h"

namespace {

class StilleOberflaeche : public veka::UserInterface {
  public:
    void showMessage(const std::string&) override {}
    std::string WertEingabe(const veka::WertEingabeAnfrage& a) override { return a.startText; }
    std::optional<std::string> chooseFile(const veka::FileDialogRequest&) override { return {}; }
    void showError(const std::string&) override {}
    void postToWindowThread(std::function<void()>) override {}
};

void BM_Timer2Leerlauf(benchmark::State& state) {
    StilleOberflaeche ui;
    veka::Netzwerktester logik(ui);
    logik.Timer2Timer();
    for (auto _ : state) benchmark::DoNotOptimize(logik.Timer2Timer());
}
BENCHMARK(BM_Timer2Leerlauf);

void BM_Timer2NachAenderung(benchmark::State& state) {
    StilleOberflaeche ui;
    veka::Netzwerktester logik(ui);
    veka::Instrument& inst = logik.inst();
    for (auto _ : state) {
        {
            std::lock_guard lock(inst.datenMutex);
            veka::PunktSetzen(inst.daten.Diagrammbild, 100, 100, 0);
        }
        benchmark::DoNotOptimize(logik.Timer2Timer());
    }
}
BENCHMARK(BM_Timer2NachAenderung);

// A tick during a sweep: the strip of one point changed, as the worker draws it.
void BM_Timer2NachSweepPunkt(benchmark::State& state) {
    StilleOberflaeche ui;
    veka::Netzwerktester logik(ui);
    veka::Instrument& inst = logik.inst();
    logik.Timer2Timer();
    int i = 2;
    for (auto _ : state) {
        {
            std::lock_guard lock(inst.datenMutex);
            veka::punktZeichnen(inst, inst.daten, i, veka::Durchgang);
        }
        benchmark::DoNotOptimize(logik.Timer2Timer());
        i = i < 278 ? i + 1 : 2;
    }
}
BENCHMARK(BM_Timer2NachSweepPunkt);

}  // namespace
