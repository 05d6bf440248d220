// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A fresh working directory with the device simulator on a real pseudo-terminal, linked as
// COMn in it. The test process works in that directory while the room exists, since ports are
// looked up there.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>

#include "simulator.h"
#include "support/work_dir.h"

namespace veka::test {

// The simulator's band-pass, 100 kHz wide around 10.14 MHz.
inline vekasim::Options bandpass() {
    vekasim::Options o;
    o.dut = vekasim::Dut::Bandpass;
    o.centreHz = 10140000;
    o.bandwidthHz = 100000;
    return o;
}

class SimRoom {
  public:
    explicit SimRoom(vekasim::Options options = {}) {
        options.dir = dir.path().string();
        sim = std::make_unique<vekasim::Simulator>(options);
        std::string error;
        if (!sim->start(&error)) ADD_FAILURE() << "simulator: " << error;
    }
    WorkDir dir;
    std::unique_ptr<vekasim::Simulator> sim;
};

}  // namespace veka::test
