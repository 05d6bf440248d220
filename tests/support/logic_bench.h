// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program logic over an instrument set up as makeInstrument sets one up, with scripted
// answers and no device: for the window's commands that do not talk to the device.

#include "measure/netzwerktester.h"
#include "support/diagram_support.h"

namespace veka::testing {

struct LogicBench {
    explicit LogicBench(int32_t messart = Durchgang, bool linear = false, int32_t punkte = 280) {
        inst.e.Startfrequenz = 10000000;
        inst.e.Schrittweite = 1000;
        inst.e.Messpunkte = punkte;
        inst.Messart = messart;
        inst.Linear = linear;
        inst.Dezimaltrenner = ',';
        ui.watch(&inst);
    }
    FakeUi ui;
    Netzwerktester core{ui};
    Instrument& inst = core.inst();
};

}  // namespace veka::testing
