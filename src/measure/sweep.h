#pragma once
// The sweep engine: a worker thread that steps the device through the points of the sweep,
// corrects each reading, stores it in Messwerte and draws the curve into Diagrammbild while
// it measures. Sweeps repeat until a stop is requested; the stop takes effect at the end of a
// complete sweep.

#include <condition_variable>
#include <mutex>
#include <thread>

#include "link/exchange.h"
#include "measure/instrument.h"

namespace veka {

// The display value of a raw reading in modes 1 to 3: round((raw - K1) * K2 / 100), with
// the subtraction and product in wrapping int32 arithmetic.
int32_t korrigiert(uint16_t rohwert, const Korrfaktorpaar& paar);
// The display value of a two-channel reading in mode 6: round(raw / 368.64 * 400).
int32_t smithWert(uint16_t rohwert);

class Sweep {
  public:
    Sweep(Instrument& inst, DeviceLink& link);
    ~Sweep();  // ends a running worker before anything it uses goes away
    Sweep(const Sweep&) = delete;
    Sweep& operator=(const Sweep&) = delete;

    void startmessung();
    // Returns after the worker has finished its current sweep; re-enables the commands.
    void stopmessung();
    bool laeuft() const { return worker_.joinable(); }
    // Program end: the worker leaves at its next point, without completing the sweep.
    void beenden();

    // "&Start" and "Sto&p" without the evaluation that follows a stop.
    void Button5Click();

  private:
    void messschleife();
    void punktMessen(int i, int n, int32_t f);
    void punktZeichnen(Messdaten& d, int i, int32_t messart);
    void warteAufStop();

    Instrument& inst_;
    DeviceLink& link_;
    std::thread worker_;
    std::mutex stopMutex_;
    std::condition_variable stopSignal_;
    std::atomic<bool> abbrechen_{false};  // program end: leave even mid-sweep
};

// The commands that a running sweep locks out, in the order they are disabled.
void sperrenWaehrendMessung(WindowModel& fenster, bool gesperrt);

}  // namespace veka
