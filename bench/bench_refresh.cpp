// The 10 ms window refresh, with and without a change since the last tick.
#include <benchmark/benchmark.h>

#include "measure/netzwerktester.h"

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

}  // namespace
