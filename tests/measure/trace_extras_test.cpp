// SPDX-License-Identifier: GPL-3.0-or-later
// The additions over a noisy simulated device: averaging, hold and normalisation change what
// the sweep stores exactly as described, and nothing while they are off.
#include <gtest/gtest.h>

#include <algorithm>

#include "measure/operations.h"
#include "measure/sweep.h"
#include "support/sim_logic.h"
#include "support/sim_readings.h"

namespace veka {
namespace {

constexpr int kPoints = 20;

struct Noisy : test::SimLogic {
    Noisy() : SimLogic(options()) { inst.e.Messpunkte = kPoints; }
    static vekasim::Options options() {
        vekasim::Options o;
        o.noiseDb = 3;
        return o;
    }
    // Runs `sweeps` complete sweeps from a fresh start; the exact values of each point, per
    // sweep, as the device answered.
    std::vector<std::vector<double>> run(int sweeps) {
        const size_t before = exchanges();
        EXPECT_TRUE(ops.startSweeps(static_cast<uint64_t>(sweeps)));
        EXPECT_TRUE(room.sim->waitForExchanges(before + sweeps * kPoints, std::chrono::seconds(30)));
        core.stopAndWait();
        const auto ex = room.sim->exchanges();
        std::vector<std::vector<double>> exact(static_cast<size_t>(sweeps));
        for (int s = 0; s < sweeps; ++s)
            for (int k = 0; k < kPoints; ++k)
                exact[s].push_back(korrigiertGenau(
                    test::rohwert(options(), ex[before + s * kPoints + k]), inst.e.Dlog));
        return exact;
    }
    CompletedSweep last() {
        std::lock_guard lock(inst.datenMutex);
        return inst.daten.lastSweep;
    }
    Operations ops{core, Entry::Checked};
};

TEST(TraceExtras, AverageHoldAndNormaliseAsDescribed) {
    Noisy b;
    // Off: what the sweep stores is what it measured.
    auto exact = b.run(1);
    for (int k = 1; k <= kPoints; ++k) {
        const CompletedSweep c = b.last();
        EXPECT_EQ(c.values[k], std::max(runden(exact[0][k - 1]), 1)) << k;
        EXPECT_EQ(c.shownValues[k], c.values[k]);
    }
    // The mean of the last four of six sweeps, before rounding; the highest of those means.
    ASSERT_TRUE(b.ops.setAverageCount(4));
    ASSERT_TRUE(b.ops.setAveraging(true));
    ASSERT_TRUE(b.ops.setHold(Hold::Max));
    exact = b.run(6);
    CompletedSweep c = b.last();
    EXPECT_EQ(c.averagedOf, 4);
    for (int k = 1; k <= kPoints; ++k) {
        double mean = 0, highest = -1e9;
        for (int s = 0; s < 6; ++s) {
            double m = 0;
            const int from = std::max(0, s - 3);
            for (int t = from; t <= s; ++t) m += exact[t][k - 1];
            highest = std::max(highest, m / (s - from + 1));
            if (s == 5) mean = m / 4;
        }
        EXPECT_NEAR(c.level[k], mean, 1e-9) << k;
        EXPECT_NEAR(c.held[k], highest, 1e-9) << k;
        EXPECT_EQ(c.values[k], std::max(runden(highest), 1)) << k;
    }
    // Against its own reference a steady trace reads 0 dB at every point.
    ASSERT_TRUE(b.ops.setAveraging(false));
    ASSERT_TRUE(b.ops.setHold(Hold::Off));
    b.room.sim->setNoiseDb(0);
    b.run(1);
    ASSERT_TRUE(b.ops.storeReference());
    ASSERT_TRUE(b.ops.setNormalised(true));
    b.run(1);
    c = b.last();
    EXPECT_TRUE(c.normalised);
    for (int k = 1; k <= kPoints; ++k) EXPECT_EQ(c.values[k], 400) << k;
    // Other frequencies: the reference no longer fits and the normalisation ends.
    ASSERT_TRUE(b.ops.setStep(2000));
    EXPECT_FALSE(b.ops.extras().normalised);
    EXPECT_EQ(b.ops.setNormalised(true).error().fault, Fault::NotFitting);
}

}  // namespace
}  // namespace veka
