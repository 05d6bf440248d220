// SPDX-License-Identifier: GPL-3.0-or-later
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <future>
#include <thread>

#include "link/device_codec.h"
#include "link/exchange.h"
#include "support/fake_ui.h"
#include "support/raw_line.h"
#include "support/sim_room.h"

namespace veka {
namespace {

// One instrument with its link, talking to port 2 of the working directory.
struct Rig {
    explicit Rig(int32_t comport = 2, int32_t messgenauigkeit = 8) {
        inst.e.Comport = comport;
        inst.e.Messgenauigkeit = messgenauigkeit;
        link.PortSetzen();
    }
    std::unique_ptr<Instrument> owner = std::make_unique<Instrument>();
    Instrument& inst = *owner;
    test::FakeUi ui;
    DeviceLink link{inst, ui};
};

vekasim::Options fixedReply(std::vector<uint8_t> bytes) {
    vekasim::Options o;
    o.replyBytes = std::move(bytes);
    return o;
}

TEST(PortSetzen, CaptionNamesModelAndPort) {
    test::WorkDir dir;
    Rig rig(3);
    EXPECT_EQ(rig.inst.fenster.caption(), "Netzwerktester (Labor)  V7.3     COM 3");
    EXPECT_FALSE(rig.link.portOpen());
}

TEST(FrequenzSetzen, SendsTuningWordAndControlByte) {
    test::SimRoom room(fixedReply({0x42}));
    Rig rig;
    ASSERT_TRUE(rig.link.portOpen());
    rig.inst.e.Hardwareversion = "VEKAMX";
    rig.inst.Daempfung = 32;
    rig.inst.Linear = true;
    rig.link.FrequenzSetzen(1, 10000000);
    rig.inst.e.Hardwareversion = "VEKA";
    rig.link.FrequenzSetzen(1, 1000000);
    const auto ex = room.sim->exchanges();
    ASSERT_EQ(ex.size(), 2u);
    EXPECT_EQ(ex[0].word, 0x1999999Au);
    EXPECT_EQ(ex[0].control, 81);  // second model, linear, 8 bits
    EXPECT_EQ(ex[1].word, 0x028F5C29u);
    EXPECT_EQ(ex[1].control, 33);
    EXPECT_EQ(rig.inst.Rohwert, 0x42);
    EXPECT_FALSE(rig.inst.Zeitueberschreitung);
}

TEST(FrequenzSetzen, TenBitReply) {
    test::SimRoom room(fixedReply({0xA5, 0xC0}));
    Rig rig(2, 10);
    rig.link.FrequenzSetzen(1, 10000000);
    EXPECT_EQ(rig.inst.Rohwert, 663);
    EXPECT_EQ(room.sim->exchanges().at(0).control & 4, 4);
}

TEST(FrequenzSetzen, IfOffsetShiftsTheSentWord) {
    test::SimRoom room(fixedReply({1}));
    Rig rig;
    rig.inst.ZFAktiv = true;
    const struct {
        bool aktiv;
        int32_t bits;
        int32_t gesendet;
    } faelle[] = {{true, 1, 1000000}, {true, 3, 19000000}, {false, 3, 10000000}};
    for (const auto& f : faelle) {
        rig.inst.ZFAktiv = f.aktiv;
        rig.inst.e.ZFBerechnung = f.bits;
        rig.link.FrequenzSetzen(1, 10000000);
        EXPECT_EQ(room.sim->exchanges().back().word, Abstimmwort(f.gesendet, 100000000));
    }
}

TEST(FrequenzSetzen, DelayPausesBeforeTheControlByte) {
    test::SimRoom room(fixedReply({1}));
    Rig rig;
    rig.inst.e.Delay = 5;
    const auto start = std::chrono::steady_clock::now();
    rig.link.FrequenzSetzen(1, 10000000);
    EXPECT_GT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(5));
    rig.inst.e.Delay = 300;
    rig.link.FrequenzSetzen(1, 10000000);
    rig.inst.e.Delay = 1;
    rig.link.FrequenzSetzen(1, 10000000);
    const auto ex = room.sim->exchanges();
    ASSERT_EQ(ex.size(), 3u);
    // The simulator sees the gap on the wire, blurred by when it gets to read.
    EXPECT_GT(ex[1].gapMicros, 250000);
    EXPECT_LT(ex[2].gapMicros, ex[1].gapMicros);  // 1 ms or less: no pause at all
}

TEST(FrequenzSetzen, StaleAndStrayBytesNeverBecomeTheReading) {
    vekasim::Options o = fixedReply({0x11});
    o.staleBytes = 3;
    o.strayBytes = 2;
    test::SimRoom room(o);
    {
        // The kernel hands written bytes to the terminal a moment later: wait until the stale
        // ones can be seen, else they would arrive in the middle of the first call.
        const int fd = ::open(room.sim->slavePath().c_str(), O_RDONLY | O_NOCTTY);
        ASSERT_GE(fd, 0);
        pollfd p{fd, POLLIN, 0};
        EXPECT_EQ(::poll(&p, 1, 10000), 1);
        ::close(fd);
    }
    Rig rig;
    for (int i = 0; i < 5; ++i) {
        rig.link.FrequenzSetzen(1, 10000000);
        EXPECT_EQ(rig.inst.Rohwert, 0x11) << i;
    }
}

TEST(FrequenzSetzen, DemoModeSendsButDoesNotWait) {
    test::SimRoom room(fixedReply({0x11}));
    Rig rig;
    rig.inst.DemoModus = true;
    rig.link.FrequenzSetzen(1, 10000000);
    EXPECT_EQ(rig.inst.Rohwert, 132);
    rig.link.FrequenzSetzen(39, 10000000);
    EXPECT_EQ(rig.inst.Rohwert, 252);
    EXPECT_TRUE(room.sim->waitForExchanges(2, std::chrono::seconds(5)));
}

TEST(FrequenzSetzen, TwoThreadsNeverInterleaveAndEachGetsItsOwnReading) {
    vekasim::Options o;
    o.dut = vekasim::Dut::Lowpass;  // different readings for the two frequencies
    o.cutoffHz = 10000000;
    test::SimRoom room(o);
    Rig rig;
    const uint16_t tief = rig.link.FrequenzSetzen(1, 1000000);
    const uint16_t hoch = rig.link.FrequenzSetzen(1, 30000000);
    ASSERT_NE(tief, hoch);
    EXPECT_EQ(rig.inst.Rohwert, hoch);  // the state field still follows the last call

    // No lock of our own around the calls: the value each call returns must be its own.
    std::atomic<int> fehler{0};
    const auto rufe = [&](int32_t f, uint16_t erwartet) {
        for (int i = 0; i < 300; ++i)
            if (rig.link.FrequenzSetzen(1, f) != erwartet) ++fehler;
    };
    std::thread a(rufe, 1000000, tief), b(rufe, 30000000, hoch);
    a.join();
    b.join();
    EXPECT_EQ(fehler, 0);
    const uint32_t w1 = Abstimmwort(1000000, 100000000), w2 = Abstimmwort(30000000, 100000000);
    for (const auto& ex : room.sim->exchanges()) EXPECT_TRUE(ex.word == w1 || ex.word == w2);
    EXPECT_EQ(room.sim->exchangeCount(), 602u);
    EXPECT_FALSE(rig.inst.DemoModus);
}

TEST(Pause, LimitedForTheWireButKeptInTheSettings) {
    const struct {
        int32_t delay, pause;
    } faelle[] = {{INT32_MIN, 0}, {0, 0},       {1, 0},       {2, 2},
                  {5, 5},         {1000, 1000}, {1001, 1000}, {INT32_MAX, 1000}};
    for (const auto& f : faelle) EXPECT_EQ(pausenDauer(f.delay), f.pause) << f.delay;

    test::WorkDir dir;
    test::RawLine line;
    Rig rig;
    rig.inst.e.Delay = INT32_MAX;
    auto aufruf = std::async(std::launch::async, [&] { return rig.link.FrequenzSetzen(1, 1); });
    ASSERT_EQ(line.lesen(4, std::chrono::seconds(20)).size(), 4u);
    const auto wort = std::chrono::steady_clock::now();
    ASSERT_EQ(line.lesen(1, std::chrono::seconds(20)).size(), 1u) << "no control byte";
    // We see the tuning word a little after it was sent: a lower bound with room for that.
    EXPECT_GT(std::chrono::steady_clock::now() - wort, std::chrono::milliseconds(500));
    line.schreiben({0x42});
    EXPECT_EQ(aufruf.get(), 0x42);
    EXPECT_EQ(rig.inst.e.Delay, INT32_MAX);
}

// Program end while a call waits: the call returns at once, no time-out is reported, no
// demonstration mode begins, and later calls leave the port alone. The work for the reply's
// way runs only once the whole frame is out (it reads the frame off the line itself).
TEST(Abbruch, EndsThePauseAndTheReplyWait) {
    for (const int32_t delay : {INT32_MAX, 1}) {
        test::WorkDir dir;
        test::RawLine line;
        Rig rig;
        rig.inst.e.Delay = delay;
        rig.inst.Rohwert = 77;
        std::atomic<size_t> unterwegs{0};
        const std::function<void()> lesen = [&] {
            unterwegs = line.lesen(5, std::chrono::seconds(20)).size();
        };
        auto aufruf = std::async(std::launch::async,
                                 [&] { return rig.link.FrequenzSetzen(1, 10000000, lesen); });
        if (delay > 1) {  // in the pause
            ASSERT_EQ(line.lesen(4, std::chrono::seconds(20)).size(), 4u);
        } else {  // waiting for the reply
            for (int i = 0; i < 2000 && unterwegs == 0; ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            ASSERT_EQ(unterwegs, 5u);
        }
        rig.link.abort();
        ASSERT_EQ(aufruf.wait_for(std::chrono::seconds(20)), std::future_status::ready);
        EXPECT_EQ(aufruf.get(), 77);
        EXPECT_FALSE(line.wartet()) << "the control byte went out after all";
        EXPECT_FALSE(rig.inst.Zeitueberschreitung);
        EXPECT_FALSE(rig.inst.DemoModus);
        EXPECT_EQ(rig.ui.postedCount(), 0u);
        unterwegs = 0;
        EXPECT_EQ(rig.link.FrequenzSetzen(1, 10000000, lesen), 77);
        EXPECT_EQ(unterwegs, 0u) << "no frame, nothing to do on its way";
        EXPECT_FALSE(line.wartet());
        EXPECT_TRUE(rig.link.aborted());
    }
}

TEST(Demonstration, ReadingsComeAtThePaceOfTheLine) {
    const struct {
        size_t antwort;
        int32_t baud;
        int64_t mikros;
    } faelle[] = {
        {1, 9600, 6250}, {2, 9600, 7291}, {1, 57600, 1041}, {2, 4800, 7291}, {2, 38400, 1822}};
    for (const auto& f : faelle)
        EXPECT_EQ(leitungszeit(f.antwort, f.baud).count(), f.mikros) << f.baud;

    test::SimRoom room(fixedReply({0x11}));
    Rig rig;
    rig.inst.DemoModus = true;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 1; i <= 40; ++i) EXPECT_EQ(rig.link.FrequenzSetzen(i, 1), Demowert(i));
    // A lower bound, as a real port would enforce it: 40 frames of 6 bytes at 9600 bit/s.
    EXPECT_GE(std::chrono::steady_clock::now() - start, 40 * leitungszeit(1, 9600));
    EXPECT_TRUE(room.sim->waitForExchanges(40, std::chrono::seconds(5)));
}

// The slow cases: each waits out the four-second time-out once, all at the same time.
TEST(FrequenzSetzen, TimeOutsEndInDemonstrationMode) {
    vekasim::Options shortReply;
    shortReply.shortReply = true;
    test::SimRoom room(shortReply);  // port 2: 10-bit, one byte only
    vekasim::Options gone;
    gone.dir = room.dir.path().string();
    gone.port = 4;
    gone.vanishAfter = 1;
    vekasim::Simulator vanishing(gone);
    ASSERT_TRUE(vanishing.start());
    vekasim::Options silent;
    silent.dir = room.dir.path().string();
    silent.port = 5;
    silent.silent = true;
    vekasim::Simulator still(silent);
    ASSERT_TRUE(still.start());

    Rig kurz(2, 10), weg(4), stumm(5), keiner(12), null(0), spaet(13);
    weg.link.FrequenzSetzen(1, 10000000);  // answered, then the cable is pulled
    ASSERT_FALSE(weg.inst.DemoModus);
    ASSERT_TRUE(vanishing.waitUntilFinished(std::chrono::seconds(5)));
    kurz.inst.Messart = SmithModus;

    // The window thread shows its message itself; the others post theirs and go on.
    std::vector<std::thread> worker;
    for (Rig* r : {&weg, &stumm, &keiner, &null, &spaet})
        worker.emplace_back([r] { r->link.FrequenzSetzen(1, 10000000); });
    kurz.link.FrequenzSetzen(1, 10000000);
    for (auto& t : worker) t.join();

    EXPECT_EQ(kurz.ui.messages, std::vector<std::string>{"Datenübertragungsfehler"});
    EXPECT_EQ(kurz.inst.fenster.caption(), "Netzwerktester (Labor)  V7.3   DEMO");
    for (Rig* r : {&kurz, &weg, &stumm, &keiner, &null}) {
        EXPECT_FALSE(r->link.portOpen()) << "a dead line is let go";
        EXPECT_TRUE(r->inst.DemoModus);
        EXPECT_TRUE(r->inst.Zeitueberschreitung);
        EXPECT_EQ(r->inst.Messart, Rohwerte);
    }
    for (Rig* r : {&weg, &stumm, &keiner, &null}) {
        EXPECT_TRUE(r->ui.messages.empty());
        EXPECT_EQ(r->ui.runPosted(), 1u);
        EXPECT_EQ(r->ui.messages, std::vector<std::string>{"Datenübertragungsfehler"});
        EXPECT_NE(r->inst.fenster.caption().find("  DEMO"), std::string::npos);
    }
    // A time-out that reaches the window thread after the program ended stays unseen.
    spaet.link.abort();
    EXPECT_EQ(spaet.ui.runPosted(), 1u);
    EXPECT_TRUE(spaet.ui.messages.empty());
    EXPECT_EQ(spaet.inst.fenster.caption().find("DEMO"), std::string::npos);
    // From now on readings are synthesised at once.
    stumm.link.FrequenzSetzen(1, 10000000);
    EXPECT_EQ(stumm.inst.Rohwert, 132);
    EXPECT_FALSE(stumm.inst.Zeitueberschreitung);
    EXPECT_EQ(stumm.ui.messageCount(), 1u);
}

}  // namespace
}  // namespace veka
