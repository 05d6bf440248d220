// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "measure/calibration.h"
#include "measure/netzwerktester.h"
#include "support/fake_ui.h"
#include "support/sim_logic.h"

namespace veka {
namespace {

TEST(Kalibrierung, FactorRule) {
    EXPECT_EQ(verstaerkung(160), 250);
    EXPECT_EQ(verstaerkung(128), 312);  // 312.5 → even
    EXPECT_EQ(verstaerkung(640), 62);   // 62.5 → even
    EXPECT_EQ(verstaerkung(400), 100);
}

TEST(Kalibrierung, MeanRoundsHalvesToEvenAndWrapsItsSum) {
    Instrument inst;
    inst.e.Messpunkte = 4;
    inst.daten.Messwerte = {};
    for (int k = 1; k <= 4; ++k) inst.daten.Messwerte[k] = k == 4 ? 3 : 1;  // 6 / 4 = 1.5
    EXPECT_EQ(mittelwert(inst), 2);
    inst.daten.Messwerte[4] = 7;  // 10 / 4 = 2.5
    EXPECT_EQ(mittelwert(inst), 2);
    inst.e.Messpunkte = 2;
    inst.daten.Messwerte[1] = INT32_MAX;
    inst.daten.Messwerte[2] = 1;  // wraps to INT32_MIN
    EXPECT_EQ(mittelwert(inst), INT32_MIN / 2);
    inst.e.Messpunkte = 0;
    EXPECT_EQ(mittelwert(inst), 0);
}

// The calibration dialogue against the simulator: while each message box is open, the
// "user" changes the set-up and waits until a whole sweep has run under it.
struct KalibrierBank : test::SimLogic {
    KalibrierBank() { inst.e.Messpunkte = 40; }
    void aufbau(vekasim::Dut dut, std::optional<double> pegel = std::nullopt) {
        ui.duringMessage.push_back([this, dut, pegel] {
            room.sim->setDut(dut);
            room.sim->setLevelDb(pegel);
            const size_t jetzt = room.sim->exchangeCount();
            ASSERT_TRUE(room.sim->waitForExchanges(jetzt + 45, std::chrono::seconds(20)));
        });
    }
};

TEST(Kalibrierung, TransmissionLogarithmicLandsOnTheDefaults) {
    KalibrierBank b;
    b.inst.e.Dlog = {7, 7};
    b.core.UpDown1Click(20);
    b.aufbau(vekasim::Dut::Open);     // -80 dB: raw 50
    b.aufbau(vekasim::Dut::Through);  // 0 dB: raw 210
    b.core.Durchgangsmessung2Click();
    EXPECT_TRUE(b.core.messungLaeuft());  // the box is closed: its sweep completes meanwhile
    b.settle();
    EXPECT_EQ(b.ui.messages, (std::vector<std::string>{"Eingang -80 dB (offen)",
                                                       "Ein- und Ausgang verbunden ( 0 dB)"}));
    EXPECT_EQ(b.inst.e.Dlog.k1, 50);
    EXPECT_EQ(b.inst.e.Dlog.k2, 250);
    EXPECT_EQ(b.inst.Daempfung, 0);  // set to 0 dB first
    EXPECT_EQ(b.inst.fenster.text(Control::AttenuatorLabel), "  0 dB");
    EXPECT_FALSE(b.core.messungLaeuft());
}

TEST(Kalibrierung, ReflectionLinear) {
    KalibrierBank b;
    b.core.Button9Click();  // the sweep corrects with the pair of the current mode
    b.inst.Linear = true;
    b.aufbau(vekasim::Dut::Matched);
    b.aufbau(vekasim::Dut::Short);
    b.core.Reflexionsmessung2Click();
    b.settle();
    EXPECT_EQ(b.ui.messages,
              (std::vector<std::string>{"Anpassung 50 Ohm", "Kurzschluß oder Leerlauf"}));
    EXPECT_EQ(b.inst.e.Rlin.k1, 50);
    EXPECT_EQ(b.inst.e.Rlin.k2, 250);
    EXPECT_EQ(b.inst.e.Rlog.k1, 50);  // the other detector's pair is untouched
}

TEST(Kalibrierung, SpectrumKeepsTheAttenuatorAndChecksTheTopOfTheScale) {
    KalibrierBank b;
    b.core.Button10Click();
    b.core.UpDown1Click(10);
    b.aufbau(vekasim::Dut::Open);
    b.aufbau(vekasim::Dut::Through, 10.0);  // the 10 dBm signal less 10 dB: raw 210
    b.core.Spektralmessung2Click();
    b.settle();
    EXPECT_EQ(b.ui.messages,
              (std::vector<std::string>{"Eingang offen (0 mV)", "Kalibriersignal 10 dBm anlegen"}));
    EXPECT_EQ(b.inst.Daempfung, 16);
    // The open input reads the noise floor, whatever the attenuator.
    EXPECT_EQ(b.inst.e.Slog.k1, 50);
    EXPECT_EQ(b.inst.e.Slog.k2, 250);

    // A peak above the top of the scale: no gain, but the new offset stays.
    b.inst.e.Messgenauigkeit = 10;
    b.aufbau(vekasim::Dut::Open);
    b.aufbau(vekasim::Dut::Through, 30.0);
    b.core.Spektralmessung2Click();
    b.settle();
    EXPECT_EQ(b.ui.messages.back(), "Messfehler - keine Korrektur");
    EXPECT_EQ(b.inst.e.Slog.k1, 200);
    EXPECT_EQ(b.inst.e.Slog.k2, 100);
}

TEST(Kalibrierung, ReferenceLineTakesTheMeanAndRedraws) {
    KalibrierBank b;
    b.core.Button9Click();
    b.inst.e.LineText[2] = 18;
    b.aufbau(vekasim::Dut::Through, -40.0);  // raw 130: (130 - 50) * 2.5 = 200
    b.core.LinieClick(3);
    b.settle();
    EXPECT_EQ(b.ui.messages, std::vector<std::string>{"Linie 3"});
    EXPECT_EQ(b.inst.e.Line[2], 200);
    EXPECT_EQ(b.inst.e.LineText[2], 18);
    EXPECT_TRUE(b.inst.fenster.timer1());  // redrawn
}

TEST(Kalibrierung, WithoutPointsNothingIsCorrected) {
    KalibrierBank b;
    b.inst.e.Messpunkte = 0;
    b.core.Durchgangsmessung2Click();
    b.core.LinieClick(1);
    EXPECT_EQ(b.ui.messages, (std::vector<std::string>{"Messfehler - keine Korrektur",
                                                       "Messfehler - keine Korrektur"}));
    EXPECT_EQ(b.inst.e.Dlog.k1, 50);
    EXPECT_EQ(b.inst.e.Dlog.k2, 250);
    EXPECT_EQ(b.room.sim->exchangeCount(), 0u);
}

}  // namespace
}  // namespace veka
