// SPDX-License-Identifier: GPL-3.0-or-later
// The typed operations: what each refuses (ranges, modes, a running sweep, files) and what
// the queries answer, over a simulated device.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "measure/operations.h"
#include "support/sim_logic.h"
#include "support/sim_readings.h"

namespace veka {
namespace {

using Op = std::function<Status(Operations&)>;

struct Refusal {
    const char* name;
    Op op;
    std::optional<Fault> checked;  // as batch and remote call it
    std::optional<Fault> asTyped;  // as the window calls it
};

// Start 10 MHz, step 10 kHz, 280 points, clock 100 MHz: the last point is 12.79 MHz.
TEST(Operations, RefuseWhatTheInstrumentCannotDo) {
    const auto fault = [](Fault f) { return std::optional<Fault>(f); };
    const std::optional<Fault> ok;
    const Refusal cases[] = {
        {"start below 0", [](Operations& o) { return o.setStartFrequency(-1); },
         fault(Fault::OutOfRange), ok},
        {"last point at the clock", [](Operations& o) { return o.setStartFrequency(97210000); },
         fault(Fault::OutOfRange), ok},
        {"last point below it", [](Operations& o) { return o.setStartFrequency(97209999); }, ok,
         ok},
        {"step 0", [](Operations& o) { return o.setStep(0); }, fault(Fault::OutOfRange), ok},
        {"points 301", [](Operations& o) { return o.setPoints(301); }, fault(Fault::OutOfRange),
         fault(Fault::OutOfRange)},
        {"points 0", [](Operations& o) { return o.setPoints(0); }, fault(Fault::OutOfRange),
         fault(Fault::OutOfRange)},
        {"a whole sweep beyond 32 bits",
         [](Operations& o) {
             return o.setSweep({2147000000, 100000, 280});
         },
         fault(Fault::OutOfRange), ok},
        {"attenuator 15 dB", [](Operations& o) { return o.setAttenuation(15); },
         fault(Fault::OutOfRange), fault(Fault::OutOfRange)},
        {"mode 4", [](Operations& o) { return o.setMode(Rohwerte); }, fault(Fault::OutOfRange),
         fault(Fault::OutOfRange)},
        {"IF outside VFO mode", [](Operations& o) { return o.setIfOffset(455000); },
         fault(Fault::WrongMode), fault(Fault::WrongMode)},
        {"VFO frequency outside VFO mode", [](Operations& o) { return o.setVfoFrequency(1000); },
         fault(Fault::WrongMode), fault(Fault::WrongMode)},
        {"cursor beyond the sweep", [](Operations& o) { return o.setCursorFrequency(13000000); },
         fault(Fault::OutOfRange), ok},
        {"load of a missing file", [](Operations& o) { return o.loadConfiguration("weg.cfg"); },
         fault(Fault::FileNotFound), fault(Fault::FileNotFound)},
        {"load of a folder", [](Operations& o) { return o.loadSeries("."); },
         fault(Fault::FileUnreadable), fault(Fault::FileUnreadable)},
        {"save into a missing folder",
         [](Operations& o) { return o.saveConfiguration("weg/a.cfg"); }, fault(Fault::FileNotSaved),
         fault(Fault::FileNotSaved)},
        {"export as .bmp", [](Operations& o) { return o.exportTrace("a.bmp"); },
         fault(Fault::UnknownFormat), fault(Fault::UnknownFormat)},
        {"average of 65", [](Operations& o) { return o.setAverageCount(65); },
         fault(Fault::OutOfRange), fault(Fault::OutOfRange)},
        {"normalised without a reference", [](Operations& o) { return o.setNormalised(true); },
         fault(Fault::NotFitting), fault(Fault::NotFitting)},
        {"limits without a table", [](Operations& o) { return o.setLimits(true); },
         fault(Fault::NotFitting), fault(Fault::NotFitting)},
        {"reference from a configuration", [](Operations& o) { return o.loadReference("vekami.cfg"); },
         fault(Fault::FileUnreadable), fault(Fault::FileUnreadable)},
        {"reference of other frequencies",
         [](Operations& o) {
             std::ofstream("r.csv") << "frequency_hz,level_db\n10000000,0\n10001000,0\n";
             return o.loadReference("r.csv");
         },
         fault(Fault::NotFitting), fault(Fault::NotFitting)},
        {"stored reference before a sweep", [](Operations& o) { return o.storeReference(); },
         fault(Fault::NoTrace), fault(Fault::NoTrace)},
        {"load of junk",
         [](Operations& o) {
             std::ofstream("junk.cfg") << "ssh-rsa AAAA user\n";
             return o.loadConfiguration("junk.cfg");
         },
         fault(Fault::FileUnreadable), ok},
    };
    for (const Entry entry : {Entry::Checked, Entry::AsTyped}) {
        for (const Refusal& c : cases) {
            test::SimLogic b;
            { std::ofstream("vekami.cfg") << "Hardwareversion  = V7.3 \r\n"; }
            Operations ops(b.core, entry);
            const Einstellungen before = b.inst.e;
            const Status s = c.op(ops);
            const std::optional<Fault> want = entry == Entry::Checked ? c.checked : c.asTyped;
            ASSERT_EQ(s.ok(), !want) << c.name;
            if (!want) continue;
            EXPECT_EQ(s.error().fault, *want) << c.name;
            EXPECT_EQ(b.inst.e, before) << c.name << ": a refusal changes nothing";
        }
    }
}

// During a sweep only the attenuator, the cursor and the queries stay usable, as the window
// locks out its controls.
TEST(Operations, ASweepLocksOutWhatTheWindowLocksOut) {
    test::SimLogic b;
    b.inst.e.Messpunkte = 20;
    Operations ops(b.core, Entry::Checked);
    ASSERT_TRUE(ops.startSweeps());
    const Op locked[] = {
        [](Operations& o) { return o.setStartFrequency(1000000); },
        [](Operations& o) { return o.moveStartFrequency(1); },
        [](Operations& o) { return o.setStep(1000); },
        [](Operations& o) { return o.setPoints(10); },
        [](Operations& o) { return o.setMode(Reflexion); },
        [](Operations& o) { return o.setDetector(true); },
        [](Operations& o) { return o.setHeading("x"); },
        [](Operations& o) { return o.preset(); },
        [](Operations& o) { return o.saveConfiguration("a.cfg"); },
        [](Operations& o) { return o.exportTrace("a.csv"); },
        [](Operations& o) { return o.startSweeps(); },
        [](Operations& o) { return o.retryDevice(); },
    };
    for (const Op& op : locked) {
        const Status s = op(ops);
        ASSERT_FALSE(s);
        EXPECT_EQ(s.error().fault, Fault::SweepRunning);
    }
    EXPECT_FALSE(std::filesystem::exists("a.cfg"));
    EXPECT_TRUE(ops.setAttenuation(20));
    EXPECT_TRUE(ops.setCursorFrequency(10050000));
    EXPECT_TRUE(ops.settings().continuous);
    b.stop();
    EXPECT_FALSE(ops.settings().sweeping);
    EXPECT_TRUE(ops.setStep(1000));
}

TEST(Operations, SweepTimeIsTheLineTimeOfEveryExchange) {
    const struct {
        int32_t points, baud, bits, delay, messart;
        int64_t micros;
    } cases[] = {
        {280, 9600, 8, 1, Durchgang, 280 * 6250},
        {100, 57600, 10, 0, Reflexion, 100 * 1215},
        {100, 9600, 8, 20, Spektrum, 100 * (6250 + 20000)},
        {10, 9600, 10, 1, SmithModus, 2 * 10 * 7291},
    };
    for (const auto& c : cases) {
        test::SimLogic b;
        b.inst.e.Messpunkte = c.points;
        b.inst.e.Baudrate = c.baud;
        b.inst.e.Messgenauigkeit = c.bits;
        b.inst.e.Delay = c.delay;
        b.inst.Messart = c.messart;
        EXPECT_EQ(Operations(b.core, Entry::Checked).sweepTime().count(), c.micros) << c.points;
    }
}

TEST(Operations, TraceIsTheLastCompleteSweep) {
    test::SimLogic b;
    Operations ops(b.core, Entry::Checked);
    ASSERT_TRUE(ops.setSweep({5000000, 2000, 30}));
    EXPECT_EQ(ops.trace().error().fault, Fault::NoTrace) << "no sweep yet";
    EXPECT_EQ(ops.results().error().fault, Fault::NoTrace);
    b.sweepFor(45);  // one sweep and a half, then the stop completes the second
    const Result<Trace> t = ops.trace();
    ASSERT_TRUE(t);
    ASSERT_EQ(t->points.size(), 30u);
    const auto ex = b.room.sim->exchanges();
    for (size_t k = 0; k < 30; ++k) {
        const TracePoint& p = t->points[k];
        EXPECT_EQ(p.frequencyHz, 5000000 + 2000 * static_cast<int32_t>(k));
        EXPECT_EQ(p.displayValue, b.inst.daten.Messwerte[k + 1]);
        EXPECT_DOUBLE_EQ(p.level, (p.displayValue - 400) / 5.0);
        EXPECT_EQ(p.raw, test::rohwert(vekasim::Options{}, ex[30 + k])) << "the second sweep's";
    }
    const Result<Results> r = ops.results();
    ASSERT_TRUE(r);
    EXPECT_EQ(r->cursor.frequencyHz, 5000000 + 2000 * 15);
    // While the next sweep runs, the queries keep the completed one.
    ASSERT_TRUE(ops.startSweeps());
    ASSERT_TRUE(b.room.sim->waitForExchanges(ex.size() + 10, std::chrono::seconds(20)));
    EXPECT_EQ(ops.trace()->points[20].displayValue, t->points[20].displayValue);
    b.stop();
}

}  // namespace
}  // namespace veka
