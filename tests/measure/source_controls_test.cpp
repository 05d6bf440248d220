// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "link/device_codec.h"
#include "measure/netzwerktester.h"
#include "measure/source_controls.h"
#include "support/fake_ui.h"
#include "support/sim_logic.h"

namespace veka {
namespace {

// The window's source commands over a simulated device, without the start-up.
struct Quelle : test::SimLogic {
    using SimLogic::SimLogic;
    size_t geraeteaufrufe() const { return exchanges(); }
    double ausgang() const { return output(); }
    DeviceLink& link = core.link();
};

TEST(PlusMinus, StayInsideTheOpenRange) {
    Quelle q;
    struct Fall {
        int32_t start, schritt, ende;
        int richtung;
        int32_t erwartet;
    } faelle[] = {
        {34995000, 10000, 35000000, +1, 34995000},  // half a step below the end
        {34985000, 10000, 35000000, +1, 34995000},  // one and a half steps below
        {10000, 10000, 35000000, -1, 10000},
        {20000, 10000, 35000000, -1, 10000},
        {2000000000, 2000000000, INT32_MAX, +1, 2000000000},  // no wrap into the range
        {-2000000000, -2000000000, 35000000, +1, -2000000000},
    };
    for (const auto& f : faelle) {
        q.inst.e.Startfrequenz = f.start;
        q.inst.e.Schrittweite = f.schritt;
        q.inst.e.Endfrequenz = f.ende;
        const size_t vorher = q.geraeteaufrufe();
        f.richtung > 0 ? q.core.Button2Click() : q.core.Button3Click();
        EXPECT_EQ(q.inst.e.Startfrequenz, f.erwartet) << f.start;
        EXPECT_EQ(q.geraeteaufrufe(), vorher + 1);
        EXPECT_EQ(q.room.sim->exchanges().back().word, Abstimmwort(f.erwartet, 100000000));
    }
}

TEST(Frequenz, TypedValueOrFallback) {
    Quelle q;
    q.ui.answers = {"abc", " 7000000", "7000000 ", "$989680"};
    const int32_t erwartet[] = {10000000, 7000000, 10000000, 10000000};
    for (int32_t e : erwartet) {
        q.inst.e.Startfrequenz = 1;
        q.core.Button1Click();
        EXPECT_EQ(q.inst.e.Startfrequenz, e);
    }
    const auto& anfrage = q.ui.requests.front();
    EXPECT_EQ(anfrage.caption, "Frequenz");
    EXPECT_EQ(anfrage.prompt, "Frequenz in Hz eingeben!");
    EXPECT_EQ(anfrage.startText, "1");
    EXPECT_EQ(anfrage.okText, "OK");
    EXPECT_EQ(anfrage.cancelText, "Abbruch");
    EXPECT_EQ(q.inst.fenster.text(Control::Label1), "10.000.000 Hz");
    EXPECT_EQ(q.inst.Cursorpunkt, 140);
    EXPECT_EQ(q.inst.fenster.text(Control::Label12), "11.400.000 Hz");
    EXPECT_EQ(q.geraeteaufrufe(), 4u);
}

TEST(Schrittweite, CancelReentersTheOldValueWithoutTheDevice) {
    Quelle q;
    q.inst.e.Messpunkte = 3;
    q.core.Button4Click();  // no answer scripted: cancelled
    EXPECT_EQ(q.inst.e.Schrittweite, 10000);
    EXPECT_EQ(q.inst.Cursorpunkt, 2);
    q.ui.answers = {"x"};
    q.core.Button4Click();
    EXPECT_EQ(q.inst.e.Schrittweite, 50000);
    EXPECT_EQ(q.inst.fenster.text(Control::Label2), "50.000 Hz");
    EXPECT_EQ(q.geraeteaufrufe(), 0u);
}

TEST(Daempfung, StepsOfTenWithinZeroToThirty) {
    Quelle q;
    const struct {
        bool hoch;
        const char* text;
        uint8_t bits;
    } schritte[] = {{true, "10 dB", 16},  {true, "20 dB", 32},  {true, "30 dB", 48},
                    {true, "30 dB", 48},  {false, "20 dB", 32}, {false, "10 dB", 16},
                    {false, "  0 dB", 0}, {false, "  0 dB", 0}};
    for (const auto& s : schritte) {
        s.hoch ? q.core.Dmpfung2Click() : q.core.Dmpfung1Click();
        EXPECT_EQ(q.inst.fenster.text(Control::AttenuatorLabel), s.text);
        EXPECT_EQ(q.inst.Daempfung, s.bits);
        EXPECT_EQ(q.room.sim->exchanges().back().control & 0x30, s.bits);
    }
    EXPECT_EQ(q.geraeteaufrufe(), 8u);
    q.core.UpDown1Click(20);
    EXPECT_EQ(q.inst.fenster.text(Control::AttenuatorLabel), "20 dB");
    SetDaempfungNull(q.inst);
    EXPECT_EQ(q.inst.Daempfung, 0);
    EXPECT_EQ(q.inst.fenster.attenuatorPosition(), 0);
    EXPECT_EQ(q.geraeteaufrufe(), 9u);  // the reset itself sends nothing
}

TEST(Taktgenerator, CorrectsTheClockFromTheCounterReading) {
    vekasim::Options o;
    o.clockOffsetHz = -1000;  // the true clock runs 1 kHz slow
    Quelle q(o);
    // The user reads the counter: one tenth of the true clock.
    q.ui.answers = {"9999900"};
    q.core.Taktgenerator1Click();
    EXPECT_NEAR(q.ausgang(), 9999900, 1);
    EXPECT_EQ(q.ui.requests.back().startText, "10000000");
    EXPECT_EQ(q.ui.requests.back().caption, "Takt");
    EXPECT_EQ(q.inst.e.Taktfrequenz, 99999000);
    EXPECT_EQ(q.inst.e.Startfrequenz, 10000000);
    // With the corrected clock the device now puts out what is asked.
    q.core.Button2Click();
    EXPECT_NEAR(q.ausgang(), 10010000, 1);

    // Cancelled: the proposal comes back, moving the clock to a multiple of 10.
    for (auto [takt, neu] : {std::pair{100000005, 100000000}, {100000015, 100000020}}) {
        q.inst.e.Taktfrequenz = takt;
        q.core.Taktgenerator1Click();
        EXPECT_EQ(q.inst.e.Taktfrequenz, neu);
    }
    // Answers whose tenfold does not fit 32 bits count as no answer, like text.
    const struct {
        const char* antwort;
        int32_t takt;
    } faelle[] = {{"214748364", 2147483640},   {"300000000", 2147483640},
                  {"214748365", 2147483640},   {"-214748364", -2147483640},
                  {"-214748365", -2147483640}, {"2147483647", -2147483640},
                  {"zehn", -2147483640},       {"10000000", 100000000}};
    for (const auto& f : faelle) {
        q.ui.answers = {f.antwort};
        q.core.Taktgenerator1Click();
        EXPECT_EQ(q.inst.e.Taktfrequenz, f.takt) << f.antwort;
    }
}

TEST(VFO, IfOffsetFollowsTheCheckMarks) {
    Quelle q;
    q.core.Button15Click();
    EXPECT_EQ(q.inst.Messart, VFO);
    EXPECT_TRUE(q.inst.ZFAktiv);
    const WindowModel& w = q.inst.fenster;
    EXPECT_FALSE(w.enabled(Control::Button5));
    EXPECT_FALSE(w.enabled(Control::Button18));
    EXPECT_FALSE(w.enabled(Control::Durchgangsmessung2));
    EXPECT_TRUE(w.enabled(Control::Taktgenerator1));
    EXPECT_TRUE(w.enabled(Control::ZFEingabe1));
    EXPECT_NEAR(q.ausgang(), 10000000, 1);

    q.core.Zwischenfrequenz1Click();
    EXPECT_TRUE(w.checked(Control::Zwischenfrequenz1));
    EXPECT_NEAR(q.ausgang(), 1000000, 1);  // Startfrequenz - Zwischenfrequenz
    q.core.AdditionvsSubtraktion1Click();
    EXPECT_EQ(q.inst.e.ZFBerechnung, 3);
    EXPECT_NEAR(q.ausgang(), 19000000, 1);
    // The marks, not the bits, decide: a load may have changed the bits under them.
    q.inst.e.ZFBerechnung = 0;
    q.core.Zwischenfrequenz1Click();
    EXPECT_FALSE(w.checked(Control::Zwischenfrequenz1));
    EXPECT_EQ(q.inst.e.ZFBerechnung, 0);
    EXPECT_NEAR(q.ausgang(), 10000000, 1);

    q.ui.answers = {"455000"};
    const size_t vorher = q.geraeteaufrufe();
    q.core.ZFEingabe1Click();
    EXPECT_EQ(q.inst.e.Zwischenfrequenz, 455000);
    EXPECT_EQ(q.geraeteaufrufe(), vorher);
    EXPECT_EQ(q.ui.requests.back().prompt, "Zwischenfrequenz in Hz eingeben! ");
}

}  // namespace
}  // namespace veka
