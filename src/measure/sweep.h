// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The sweep engine: a worker thread that steps the device through the points of the sweep,
// corrects each reading, stores it in Messwerte and draws the curve into Diagrammbild while
// it measures: each point while the frame of the next one is on the line. Sweeps repeat until
// a stop is requested; the stop takes effect at the end of a complete sweep.

#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

#include "display/sweep_step.h"
#include "link/exchange.h"
#include "state/instrument.h"
#include "state/user_interface.h"

namespace veka {

// The display value of a raw reading in modes 1 to 3: round((raw - K1) * K2 / 100), with
// the subtraction and product in wrapping int32 arithmetic.
int32_t korrigiert(uint16_t rohwert, const Korrfaktorpaar& paar);
// The same before rounding.
double korrigiertGenau(uint16_t rohwert, const Korrfaktorpaar& paar);
// The display value of a two-channel reading in mode 6: round(raw / 368.64 * 400).
int32_t smithWert(uint16_t rohwert);

// Stopping, for other fronts of the program (batch, remote control) as for the window:
// - requestStop() never blocks. The sweep in progress completes; then, on the window thread
//   (posted through UserInterface), the worker is joined, the locked-out commands are enabled
//   again and the continuation runs (so it may start the next sweep). laeuft() stays true
//   until then. A window thread must stop this way, so that it keeps painting and Quit keeps
//   working.
// - stopmessung() blocks until the worker has finished its sweep; for callers whose thread
//   runs no event loop that the worker could be waiting on (batch mode, calibration).
// - beenden() is for program end only: the worker leaves within one point, a pending reply
//   wait included, and no continuation runs.
class Sweep {
  public:
    Sweep(Instrument& inst, DeviceLink& link, UserInterface& ui);
    ~Sweep();  // ends a running worker before anything it uses goes away
    Sweep(const Sweep&) = delete;
    Sweep& operator=(const Sweep&) = delete;

    void startmessung();
    // Returns after the worker has finished its current sweep; re-enables the commands. A
    // continuation of an earlier requestStop runs after that, before it returns.
    void stopmessung();
    // Asks the worker to end after its current sweep and returns at once; afterStop (may be
    // empty) runs on the window thread once the worker has ended. Without a running worker
    // everything happens before it returns.
    void requestStop(std::function<void()> afterStop);
    bool laeuft() const { return worker_.joinable(); }
    // Program end: the worker leaves at its next point, without completing the sweep; a wait
    // of the device link ends at once, and the link stays aborted.
    void beenden();

    // "&Start" and "Sto&p" without the evaluation that follows a stop.
    void Button5Click();

    // ---- Counting sweeps, for fronts that run a fixed number of them (batch mode) ----
    // Blocks until the running worker has begun its k-th sweep (from 1) and returns true; a
    // stop requested after that lets exactly k sweeps complete. False when the worker ended,
    // or none was started, before it began that sweep.
    bool warteAufDurchlauf(uint64_t k);
    // The next worker ends by itself after its k-th complete sweep (0: no limit), so that a
    // slow caller cannot let an extra sweep begin. Set before startmessung.
    void durchlaeufeBegrenzen(uint64_t k);

  private:
    // A point measured but not yet stored and drawn: that waits until the next frame is on
    // the line, so that the device never waits for the drawing.
    struct Messpunkt {
        int i = 0;
        int n = 0;
        int32_t messart = 0;
        bool hatWert = false;
        int32_t wert = 0;
        int32_t zweiter = 0;
        uint16_t roh = 0;
        double genau = 0;  // the display value before rounding
        bool linear = false;
    };

    void messschleife(uint64_t lauf);
    void punktMessen(int i, int n, int32_t f);
    void eintragen();  // stores and draws offen_, if any
    void fertigAblegen(int32_t start, int n);  // keeps the complete sweep for the queries
    void zusaetzeBeginnen(Messdaten& d, int32_t messart, int n);
    void warteAufStop();
    bool mussEnden() const;
    void fertigMelden(uint64_t lauf);
    void stopAbschliessen(uint64_t lauf);

    Instrument& inst_;
    DeviceLink& link_;
    UserInterface& ui_;
    std::thread worker_;
    std::mutex stopMutex_;
    std::condition_variable stopSignal_;
    std::atomic<bool> abbrechen_{false};  // program end: leave even mid-sweep
    bool fertigPosten_ = false;           // guarded by stopMutex_: a requestStop waits
    // Window thread only.
    uint64_t lauf_ = 0;  // counts started workers
    std::function<void()> nachStop_;
    // Worker only.
    std::optional<Messpunkt> offen_;
    bool zusaetze_ = false;       // this sweep's values go through the additions (averaging …)
    bool normalisieren_ = false;  // and are shown against the reference
    const std::function<void()> eintragenUnterwegs_ = [this] { eintragen(); };

    // Sweep count of the current worker.
    void zaehlungBeginnen();
    void durchlaufBeginnt();
    void zaehlungBeenden();
    bool letzterDurchlauf();
    std::mutex zaehlMutex_;
    std::condition_variable zaehlSignal_;
    uint64_t begonnen_ = 0;        // guarded by zaehlMutex_
    bool zaehlungLaeuft_ = false;  // guarded by zaehlMutex_
    uint64_t grenze_ = 0;          // guarded by zaehlMutex_; 0: no limit
};

// The commands that a running sweep locks out, in the order they are disabled.
void sperrenWaehrendMessung(WindowModel& fenster, bool gesperrt);

}  // namespace veka
