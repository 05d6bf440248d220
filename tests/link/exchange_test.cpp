#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "link/device_codec.h"
#include "link/exchange.h"
#include "support/fake_ui.h"
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

TEST(FrequenzSetzen, TwoThreadsNeverInterleave) {
    vekasim::Options o;
    o.dut = vekasim::Dut::Lowpass;  // different readings for the two frequencies
    o.cutoffHz = 10000000;
    test::SimRoom room(o);
    Rig rig;
    rig.link.FrequenzSetzen(1, 1000000);
    const uint16_t tief = rig.inst.Rohwert;
    rig.link.FrequenzSetzen(1, 30000000);
    const uint16_t hoch = rig.inst.Rohwert;
    ASSERT_NE(tief, hoch);

    // The reading is left in the shared Rohwert, so each side checks it inside a call pair
    // guarded by its own expectation of what the device must have answered.
    std::atomic<int> fehler{0};
    std::mutex paar;
    const auto rufe = [&](int32_t f, uint16_t erwartet) {
        for (int i = 0; i < 200; ++i) {
            std::lock_guard lock(paar);
            rig.link.FrequenzSetzen(1, f);
            if (rig.inst.Rohwert != erwartet) ++fehler;
        }
    };
    // Without the pair lock the wire still stays clean: frames and replies match.
    const auto nurSenden = [&](int32_t f) {
        for (int i = 0; i < 200; ++i) rig.link.FrequenzSetzen(1, f);
    };
    std::thread a(rufe, 1000000, tief), b(rufe, 30000000, hoch);
    a.join();
    b.join();
    std::thread c(nurSenden, 1000000), d(nurSenden, 30000000);
    c.join();
    d.join();
    EXPECT_EQ(fehler, 0);
    const uint32_t w1 = Abstimmwort(1000000, 100000000), w2 = Abstimmwort(30000000, 100000000);
    for (const auto& ex : room.sim->exchanges()) EXPECT_TRUE(ex.word == w1 || ex.word == w2);
    EXPECT_EQ(room.sim->exchangeCount(), 802u);
    EXPECT_FALSE(rig.inst.DemoModus);
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

    Rig kurz(2, 10), weg(4), stumm(5), keiner(12), null(0);
    weg.link.FrequenzSetzen(1, 10000000);  // answered, then the cable is pulled
    ASSERT_FALSE(weg.inst.DemoModus);
    ASSERT_TRUE(vanishing.waitUntilFinished(std::chrono::seconds(5)));
    kurz.inst.Messart = SmithModus;

    // The window thread shows its message itself; the others post theirs and go on.
    std::vector<std::thread> worker;
    for (Rig* r : {&weg, &stumm, &keiner, &null})
        worker.emplace_back([r] { r->link.FrequenzSetzen(1, 10000000); });
    kurz.link.FrequenzSetzen(1, 10000000);
    for (auto& t : worker) t.join();

    EXPECT_EQ(kurz.ui.messages, std::vector<std::string>{"Datenübertragungsfehler"});
    EXPECT_EQ(kurz.inst.fenster.caption(), "Netzwerktester (Labor)  V7.3   DEMO");
    for (Rig* r : {&kurz, &weg, &stumm, &keiner, &null}) {
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
    // From now on readings are synthesised at once.
    stumm.link.FrequenzSetzen(1, 10000000);
    EXPECT_EQ(stumm.inst.Rohwert, 132);
    EXPECT_FALSE(stumm.inst.Zeitueberschreitung);
    EXPECT_EQ(stumm.ui.messageCount(), 1u);
}

}  // namespace
}  // namespace veka
