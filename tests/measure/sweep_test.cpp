// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <thread>

#include "display/quickdraw.h"
#include "display/auswertung.h"
#include "link/device_codec.h"
#include "measure/netzwerktester.h"
#include "measure/sweep.h"
#include "support/fake_ui.h"
#include "support/sim_logic.h"

namespace veka {
namespace {

TEST(Korrektur, RoundsHalvesToEvenAfterWrappingArithmetic) {
    struct Fall {
        uint16_t roh;
        int32_t k1, k2, erwartet;
    } faelle[] = {
        {1, 0, 250, 2},   // 2.5
        {1, 0, 350, 4},   // 3.5
        {0, 1, 250, -2},  // -2.5
        {210, 50, 250, 400},
        {50, 50, 250, 0},  // raw equal to K1 (the sweep then stores 1)
        {3, 0, 50, 2},     // 1.5
        // The product wraps in 32 bits instead of overflowing.
        {2, 0, INT32_MAX, runden(static_cast<int32_t>(0xFFFFFFFEu) / 100.0)},
    };
    for (const auto& f : faelle)
        EXPECT_EQ(korrigiert(f.roh, {f.k1, f.k2}), f.erwartet) << f.roh << " " << f.k1;
    EXPECT_EQ(smithWert(0), 0);
    EXPECT_EQ(smithWert(368), 399);
    EXPECT_EQ(smithWert(1023), 1110);
}

using Bench = test::SimLogic;

TEST(Sweep, StopCompletesTheRunningSweep) {
    Bench b;
    b.inst.e.Messpunkte = 50;
    b.sweepFor(70);
    // Full sweeps of 50 points, then one exchange to park the source.
    EXPECT_EQ((b.room.sim->exchangeCount() - 1) % 50, 0u);
    std::lock_guard lock(b.inst.datenMutex);
    EXPECT_EQ(b.inst.daten.Messwerte[0], b.inst.daten.Messwerte[1]);
    for (int k = 1; k <= 50; ++k) EXPECT_GE(b.inst.daten.Messwerte[k], 1) << k;
    EXPECT_EQ(b.room.sim->exchanges().back().word, 0x1999999Au);  // parked on the start
}

// Each point's step marks exactly the pixels that end up different: nothing where curve and
// flag come out as they were; at the cursor, the flag's columns too.
TEST(Sweep, EachStepMarksExactlyWhatItChanged) {
    const struct {
        const char* name;
        int i;
        int32_t vorher, nachher, messart;
    } faelle[] = {
        {"curve unchanged", 50, 200, 200, Durchgang},
        {"curve moved", 50, 200, 260, Durchgang},
        {"at the cursor, unchanged", 140, 200, 200, Durchgang},
        {"at the cursor, flag moved", 140, 200, 120, Durchgang},
        {"second curve moved", 60, 100, 100, SmithModus},
    };
    for (const auto& fall : faelle) {
        auto inst = std::make_unique<Instrument>();
        inst->Cursorpunkt = 140;
        Messdaten& d = inst->daten;
        for (auto* werte : {&d.Messwerte, &d.Messwerte2}) werte->fill(250);
        d.Messwerte[fall.i] = fall.vorher;
        punktZeichnen(*inst, d, fall.i, fall.messart);
        const auto alt = std::make_unique<TBildfeld>(d.Diagrammbild);
        d.Diagrammbild.geaendert = {};
        d.Messwerte[fall.i] = fall.nachher;
        d.Messwerte2[fall.i] = 300;
        punktZeichnen(*inst, d, fall.i, fall.messart);
        Bildbereich soll;
        for (int x = 1; x <= BildBreite; ++x) {
            for (int y = 1; y <= BildHoehe; ++y)
                if (alt->at(x, y) != d.Diagrammbild.at(x, y)) soll.dazu(x, x, y, y);
        }
        EXPECT_EQ(d.Diagrammbild.geaendert, soll) << fall.name;
    }
}

TEST(Sweep, LockOutWhileRunning) {
    Bench b;
    b.inst.e.Messpunkte = 10;
    b.core.Button5Click();
    const WindowModel& w = b.inst.fenster;
    for (Control c : {Control::Button1, Control::Button2, Control::Button3, Control::Button4,
                      Control::Button5, Control::Button8, Control::Button9, Control::Button10,
                      Control::Button11, Control::Button15, Control::Button16, Control::Button17,
                      Control::Button19, Control::MenuDatei, Control::MenuMessung,
                      Control::MenuEinstellungen, Control::MenuKalibrieren})
        EXPECT_FALSE(w.enabled(c)) << static_cast<int>(c);
    for (Control c : {Control::Button6, Control::Button7, Control::Button12, Control::Button13,
                      Control::Button14, Control::MenuHilfe})
        EXPECT_TRUE(w.enabled(c)) << static_cast<int>(c);
    EXPECT_TRUE(b.core.messungLaeuft());
    b.stop();
    EXPECT_FALSE(b.core.messungLaeuft());
    EXPECT_FALSE(w.enabled(Control::Button6));
    EXPECT_TRUE(w.enabled(Control::Button5));
    EXPECT_TRUE(w.enabled(Control::MenuKalibrieren));
}

TEST(Sweep, PointCountsAtTheEdges) {
    for (int32_t n : {1, 300}) {
        Bench b;
        b.inst.e.Messpunkte = n;
        {
            std::lock_guard lock(b.inst.datenMutex);
            BildLoeschen(b.inst.daten.Diagrammbild, 7);
        }
        b.core.sweep().startmessung();
        ASSERT_TRUE(b.room.sim->waitForExchanges(static_cast<size_t>(n), std::chrono::seconds(20)));
        b.core.sweep().stopmessung();
        std::lock_guard lock(b.inst.datenMutex);
        const TBildfeld& bild = b.inst.daten.Diagrammbild;
        bool gewischt = false;
        for (int y = 1; y <= BildHoehe; ++y) gewischt |= bild.at(631, y) != 7;
        bool unberuehrt = true;
        for (int x = 632; x <= BildBreite; ++x)
            for (int y = 1; y <= BildHoehe; ++y) unberuehrt &= bild.at(x, y) == 7;
        EXPECT_EQ(gewischt, n == 300) << n;  // one point draws nothing at all
        EXPECT_TRUE(unberuehrt) << n;
        EXPECT_GE(b.inst.daten.Messwerte[static_cast<size_t>(n)], 1);
    }
}

TEST(Sweep, NoPointsMeansNoExchangesUntilStopped) {
    Bench b;
    b.inst.e.Messpunkte = 0;
    b.core.sweep().startmessung();
    b.core.sweep().stopmessung();
    EXPECT_EQ(b.room.sim->exchangeCount(), 0u);
    b.inst.e.Messpunkte = -5;
    b.core.sweep().startmessung();
    b.core.sweep().stopmessung();
    EXPECT_EQ(b.room.sim->exchangeCount(), 0u);
}

TEST(Sweep, SmithModeTakesTwoReadingsAndKeepsZeroInTheSecond) {
    vekasim::Options o;
    o.replyBytes = {0};
    Bench b(o);
    b.inst.e.Messpunkte = 20;
    b.inst.Messart = SmithModus;
    b.inst.Smith = true;
    b.core.sweep().startmessung();
    ASSERT_TRUE(b.room.sim->waitForExchanges(40, std::chrono::seconds(20)));
    b.core.sweep().stopmessung();
    const auto ex = b.room.sim->exchanges();
    ASSERT_GE(ex.size(), 40u);
    for (size_t i = 0; i < 40; ++i) {
        EXPECT_EQ(ex[i].control & 1, i % 2) << i;  // second reading with the linear bit
        EXPECT_EQ(ex[i].control & 2, 2) << i;
        EXPECT_EQ(ex[i].word, ex[i - i % 2].word) << i;  // both at the same frequency
    }
    EXPECT_FALSE(b.inst.Linear);
    std::lock_guard lock(b.inst.datenMutex);
    for (int k = 1; k <= 20; ++k) {
        EXPECT_EQ(b.inst.daten.Messwerte[k], 1) << k;
        EXPECT_EQ(b.inst.daten.Messwerte2[k], 0) << k;
    }
}

TEST(Sweep, TimeOutDuringTheSweepGoesOnWithDemonstrationReadings) {
    vekasim::Options o;
    o.vanishAfter = 5;
    Bench b(o);
    b.inst.e.Messpunkte = 20;
    b.core.sweep().startmessung();
    ASSERT_TRUE(b.room.sim->waitUntilFinished(std::chrono::seconds(10)));
    b.core.sweep().stopmessung();
    EXPECT_TRUE(b.inst.DemoModus);
    EXPECT_EQ(b.inst.Messart, Rohwerte);
    EXPECT_EQ(b.ui.runPosted(), 1u);  // message and caption reach the window thread
    EXPECT_EQ(b.ui.messages.size(), 1u);
    std::lock_guard lock(b.inst.datenMutex);
    EXPECT_EQ(b.inst.daten.Messwerte[20], Demowert(20));  // raw readings stored unchanged
}

// "Smith" stays usable during a sweep; its redraw must not tear what the worker draws.
TEST(Sweep, SmithButtonDuringASweep) {
    Bench b;
    b.inst.e.Messpunkte = 60;
    b.core.Button9Click();
    b.core.Button5Click();
    ASSERT_TRUE(b.room.sim->waitForExchanges(30, std::chrono::seconds(20)));
    b.core.Button18Click();
    EXPECT_EQ(b.ui.messages.back(), "Diese Funktion ist leider noch nicht verfügbar !");
    const size_t jetzt = b.room.sim->exchangeCount();
    ASSERT_TRUE(b.room.sim->waitForExchanges(jetzt + 130, std::chrono::seconds(20)));
    b.stop();
    EXPECT_EQ(b.inst.Messart, SmithModus);
    const auto ex = b.room.sim->exchanges();
    EXPECT_EQ(ex[ex.size() - 2].control & 3, 3);  // the last sweep took two readings a point
}

// "Sto&p" keeps the window thread free: it returns while the sweep in progress completes;
// parking, evaluation and the commands follow on the window thread once the worker is done.
TEST(Stop, ReturnsAtOnceAndFinishesOnTheWindowThread) {
    vekasim::Options o;
    o.replyDelayMs = 10;  // a slow device: one sweep takes half a second
    Bench b(o);
    b.inst.e.Messpunkte = 50;
    b.core.Button5Click();
    ASSERT_TRUE(b.room.sim->waitForExchanges(5, std::chrono::seconds(20)));
    b.core.Button6Click();
    const WindowModel& w = b.inst.fenster;
    EXPECT_TRUE(b.core.messungLaeuft());
    EXPECT_FALSE(w.enabled(Control::Button6));
    EXPECT_FALSE(w.enabled(Control::Button5));
    EXPECT_TRUE(w.text(Control::Label7).empty());
    EXPECT_LT(b.room.sim->exchangeCount(), 50u);  // the sweep goes on behind our back
    b.settle();
    EXPECT_EQ(b.room.sim->exchangeCount(), 51u);  // one whole sweep, then parked
    EXPECT_EQ(b.room.sim->exchanges().back().word, Abstimmwort(10000000, 100000000));
    EXPECT_FALSE(w.text(Control::Label7).empty());
    EXPECT_TRUE(w.enabled(Control::Button5));
    EXPECT_TRUE(w.enabled(Control::MenuKalibrieren));
    EXPECT_EQ(b.ui.postedCount(), 0u);
}

// The blocking stop of batch mode does the same steps before it returns.
TEST(Stop, BlockingVariantForFrontsWithoutAWindow) {
    Bench b;
    b.inst.e.Messpunkte = 30;
    b.core.Button5Click();
    ASSERT_TRUE(b.room.sim->waitForExchanges(10, std::chrono::seconds(20)));
    b.core.stopAndWait();
    EXPECT_FALSE(b.core.messungLaeuft());
    EXPECT_EQ((b.room.sim->exchangeCount() - 1) % 30, 0u);
    EXPECT_EQ(b.room.sim->exchanges().back().word, Abstimmwort(10000000, 100000000));
    EXPECT_FALSE(b.inst.fenster.text(Control::Label7).empty());
    EXPECT_TRUE(b.inst.fenster.enabled(Control::Button5));
    EXPECT_EQ(b.ui.postedCount(), 0u);
}

TEST(Sweep, ALimitEndsTheWorkerAfterExactlyThatManySweepsForThatWorkerOnly) {
    Bench b;
    b.inst.e.Messpunkte = 10;
    b.core.sweep().durchlaeufeBegrenzen(1);
    b.core.Button5Click();
    // A caller that comes late finds the worker ended by itself after one sweep.
    while (!b.inst.MessungBeendet) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    b.core.stopAndWait();
    EXPECT_EQ(b.room.sim->exchangeCount(), 11u);  // one sweep of 10, then parked
    b.core.Button5Click();                        // the next start sweeps on
    EXPECT_TRUE(b.room.sim->waitForExchanges(11 + 25, std::chrono::seconds(20)));
    b.core.stopAndWait();
}

// Program end while the worker waits for a reply that will not come (device silent or
// unplugged), or while a stop waits for the end of the sweep: the worker leaves at once, and
// neither a time-out message nor the rest of the stop ever reaches the window.
TEST(Ende, InterruptsAReplyWaitAndAPendingStop) {
    for (const bool stumm : {true, false}) {
        vekasim::Options o;
        o.silent = stumm;
        o.vanishAfter = stumm ? -1 : 3;
        Bench b(o);
        b.inst.e.Messpunkte = 20;
        b.core.Button5Click();
        if (stumm)
            ASSERT_TRUE(b.room.sim->waitForExchanges(1, std::chrono::seconds(20)));
        else
            ASSERT_TRUE(b.room.sim->waitUntilFinished(std::chrono::seconds(20)));
        b.core.Button6Click();  // the stop now waits for a sweep that hangs on the reply
        b.core.sweep().beenden();
        EXPECT_FALSE(b.core.messungLaeuft()) << stumm;
        b.ui.runPosted();
        EXPECT_TRUE(b.ui.messages.empty()) << stumm;
        EXPECT_FALSE(b.inst.DemoModus) << stumm;
        EXPECT_TRUE(b.inst.fenster.text(Control::Label7).empty()) << stumm;
        EXPECT_EQ(b.room.sim->exchangeCount(), stumm ? 1u : 3u);  // and nothing parked
    }
}

// The attenuator stays usable during a sweep. However its exchanges fall between the
// worker's, every point keeps the reading of its own frequency (here: of its own point, as
// demonstration readings depend on the point only).
TEST(Sweep, EveryPointKeepsItsOwnReadingWhileTheAttenuatorIsClicked) {
    Bench b;
    b.inst.e.Baudrate = 57600;  // demonstration readings come at the pace of the line
    b.inst.DemoModus = true;
    b.inst.e.Messpunkte = 280;
    const auto erwartet = [&](int k) {
        return std::max(1, korrigiert(Demowert(k), b.inst.e.Dlog));
    };
    const int32_t geklickt = erwartet(1);
    b.core.Button5Click();
    size_t falsch = 0;
    for (int klick = 0; b.room.sim->exchangeCount() < 1500; ++klick) {
        b.core.UpDown1Click(klick % 2 == 0 ? 10 : 0);
        std::lock_guard lock(b.inst.datenMutex);
        for (int k = 2; k <= 280; ++k) {
            const int32_t v = b.inst.daten.Messwerte[k];
            if (v != 1 && v != erwartet(k)) ++falsch;
        }
    }
    b.stop();
    EXPECT_EQ(falsch, 0u) << "points that took the attenuator's reading " << geklickt;
    std::lock_guard lock(b.inst.datenMutex);
    for (int k = 1; k <= 280; ++k) EXPECT_EQ(b.inst.daten.Messwerte[k], erwartet(k)) << k;
}

// A band-pass swept with the linear detector: its 3 dB bandwidth as the user reads it.
TEST(Sweep, BandPassBandwidthEndToEnd) {
    Bench b(test::bandpass());
    b.inst.e.Startfrequenz = 9860000;
    b.inst.e.Schrittweite = 2000;
    b.core.Button17Click();  // li&n.
    b.sweepFor(280);
    const std::string breite = b.inst.fenster.text(Control::Label11);
    const std::string endung = " Hz (3 dB)";
    ASSERT_GT(breite.size(), endung.size());
    ASSERT_EQ(breite.substr(breite.size() - endung.size()), endung) << breite;
    std::string ziffern;
    for (char c : breite.substr(0, breite.size() - endung.size()))
        if (c != '.') ziffern += c;
    const int hz = std::stoi(ziffern);
    // 0.7 of the peak lies 3.1 dB down: 1.02 times the 3 dB width, edges on whole steps.
    EXPECT_NEAR(hz, 102000, 2 * 2000) << breite;
    // The peak reads full scale; quantisation makes its first point a step or two early.
    const std::string maximum = b.inst.fenster.text(Control::Label7);
    const std::string moeglich[] = {"10.136.000 Hz 1,000", "10.138.000 Hz 1,000",
                                    "10.140.000 Hz 1,000"};
    EXPECT_NE(std::find(std::begin(moeglich), std::end(moeglich), maximum), std::end(moeglich))
        << maximum;
}

}  // namespace
}  // namespace veka
