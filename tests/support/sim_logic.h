// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program logic against a simulated device on port 2 of a fresh working directory, with
// scripted answers and without the start-up; and the stop as the window runs it.

#include <gtest/gtest.h>

#include <chrono>

#include "measure/netzwerktester.h"
#include "support/fake_ui.h"
#include "support/sim_room.h"

namespace veka::test {

struct SimLogic {
    explicit SimLogic(vekasim::Options o = {}) : room(o) {
        inst.e.Comport = 2;
        core.link().PortSetzen();
    }
    size_t exchanges() const { return room.sim->exchangeCount(); }
    double output() const { return room.sim->exchanges().back().frequencyHz; }

    // Sweeps until the device has seen at least n exchanges, then stops.
    void sweepFor(size_t n) {
        core.Button5Click();
        ASSERT_TRUE(room.sim->waitForExchanges(n, std::chrono::seconds(20)));
        stop();
    }
    // "Sto&p" as the window does it: the rest of the stop arrives as a task for the window
    // thread once the worker has finished its sweep; run it as the event loop would.
    void stop() {
        core.Button6Click();
        settle();
    }
    void settle() {
        while (core.messungLaeuft()) {
            ASSERT_TRUE(ui.waitForPosted(std::chrono::seconds(20)));
            ui.runPosted();
        }
    }

    SimRoom room;
    FakeUi ui;
    Netzwerktester core{ui};
    Instrument& inst = core.inst();
};

}  // namespace veka::test
