// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "measure/netzwerktester.h"
#include "support/fake_ui.h"
#include "support/sim_room.h"

namespace veka {
namespace {

using test::fileContents;

struct Start {
    test::SimRoom room;
    test::FakeUi ui;
    Netzwerktester core{ui};
    Instrument& inst = core.inst();
};

TEST(FormCreate, FreshStartCreatesTheConfigurationAndTalksToTheDevice) {
    Start s;
    s.core.FormCreate(std::nullopt);
    const std::string datei = fileContents("vekami.cfg");
    EXPECT_EQ(datei.rfind("Hardwareversion  = V7.3 \r\nSprache          =\r\n", 0), 0u);
    EXPECT_NE(datei.find("Schrittweite     =10000\r\n"), std::string::npos);
    EXPECT_TRUE(s.ui.messages.empty());
    EXPECT_TRUE(s.ui.errors.empty());
    const WindowModel& w = s.inst.fenster;
    EXPECT_EQ(w.caption(), "Netzwerktester (Labor)  V7.3     COM 2");
    EXPECT_EQ(w.text(Control::Label1), "10.000.000 Hz");
    EXPECT_EQ(w.text(Control::Label2), "10.000 Hz");
    EXPECT_EQ(s.inst.Cursorpunkt, 140);
    EXPECT_EQ(w.text(Control::Label12), "11.400.000 Hz");
    EXPECT_EQ(w.text(Control::AttenuatorLabel), "  0 dB");
    EXPECT_EQ(w.text(Control::Label5), "Durchgangsmessung  " + s.inst.Diagrammueberschrift);
    EXPECT_EQ(w.text(Control::Button5), "&Start");  // built-in German texts
    EXPECT_EQ(s.inst.Messart, Durchgang);
    EXPECT_FALSE(s.inst.DemoModus);
    EXPECT_TRUE(w.timer2());
    EXPECT_EQ(s.room.sim->exchangeCount(), 1u);
    EXPECT_EQ(s.room.sim->exchanges()[0].word, 0x1999999Au);
}

TEST(FormCreate, SecondStartReadsItBackAndAppliesTheDefaultLanguage) {
    Start s;
    {
        test::FakeUi ui;
        Netzwerktester erster(ui);
        erster.FormCreate(std::nullopt);
    }
    s.core.FormCreate(std::nullopt);
    EXPECT_EQ(s.inst.e.Hardwareversion, " V7.3 ");
    EXPECT_EQ(s.inst.e.Sprache, "-DL");
    EXPECT_EQ(s.inst.e.Schrittweite, 10000);
    // No language file beside the program: every replaceable text says so.
    EXPECT_EQ(s.inst.fenster.text(Control::Button5), "ERROR");
    EXPECT_EQ(s.inst.meldungen[1], "ERROR");
}

TEST(FormCreate, ArgumentNamesTheConfigurationAndMarksAreRead) {
    Start s;
    {
        std::ofstream marken("frequenz.cfg", std::ios::binary);
        marken << "10100000\r\nabc\r\n10200000\r\n";
        for (int i = 0; i < 22; ++i) marken << "1\r\n";
    }
    {
        std::ofstream cfg("eigen.cfg", std::ios::binary);
        const char* zeilen[] = {
            "Hardwareversion  =VEKA",     "Sprache          =",     "Startfrequenz    =5000000",
            "Endfrequenz      =35000000", "Schrittweite     =1000", "Taktfrequenz     =100000000",
            "Eichfrequenz     =1",        "Zwischenfrequenz =1",    "ZF-Berechnung    =3"};
        for (const char* z : zeilen) cfg << z << "\r\n";
    }
    s.core.FormCreate(std::string("eigen.cfg"));
    EXPECT_EQ(s.inst.Konfigurationsdatei, "eigen.cfg");
    EXPECT_EQ(s.inst.e.Startfrequenz, 5000000);
    EXPECT_EQ(s.inst.e.Messpunkte, 280);
    EXPECT_TRUE(s.inst.fenster.checked(Control::Zwischenfrequenz1));
    EXPECT_TRUE(s.inst.fenster.checked(Control::AdditionvsSubtraktion1));
    EXPECT_EQ(s.inst.Frequenzmarken[1], 10100000);
    EXPECT_EQ(s.inst.Frequenzmarken[2], 0);
    EXPECT_EQ(s.inst.Frequenzmarken[3], 10200000);
    EXPECT_EQ(s.inst.Frequenzmarken[20], 1);
}

TEST(FormCreate, CursorInTheMiddleHalvesToEven) {
    for (auto [punkte, cursor] : {std::pair{281, 140}, {3, 2}, {1, 0}, {300, 150}}) {
        Start s;
        {
            std::ofstream cfg("vekami.cfg", std::ios::binary);
            for (int zeile = 1; zeile <= 37; ++zeile) cfg << "\r\n";
            cfg << "Messpunkte       =" << punkte << "\r\n";
        }
        s.core.FormCreate(std::nullopt);
        EXPECT_EQ(s.inst.Cursorpunkt, cursor) << punkte;
    }
}

TEST(FormCreate, ConfigurationThatCanNeitherBeReadNorCreated) {
    Start s;
    s.core.FormCreate(std::string("kein/ordner/x.cfg"));
    ASSERT_EQ(s.ui.errors.size(), 1u);  // said once, and the start goes on
    EXPECT_NE(s.ui.errors[0].find("kein/ordner/x.cfg"), std::string::npos);
    EXPECT_EQ(s.inst.e.Startfrequenz, 10000000);
    EXPECT_EQ(s.inst.fenster.caption(), "Netzwerktester (Labor)  V7.3     COM 2");
}

TEST(FormCreate, AStartUpFileThatCannotBeReadIsNeverReplaced) {
    Start s;
    std::filesystem::create_directory("vekami.cfg");
    std::ofstream("vekami.cfg/notiz.txt") << "meins";
    s.core.FormCreate(std::nullopt);
    EXPECT_EQ(s.ui.errors.size(), 1u);
    EXPECT_TRUE(std::filesystem::is_directory("vekami.cfg"));
    EXPECT_EQ(fileContents("vekami.cfg/notiz.txt"), "meins");
    EXPECT_EQ(s.inst.e.Schrittweite, 10000);
}

TEST(FormCreate, NoDeviceEndsInDemonstrationMode) {
    test::WorkDir dir;
    test::FakeUi ui;
    Netzwerktester core(ui);
    core.FormCreate(std::nullopt);
    EXPECT_EQ(ui.messages, std::vector<std::string>{"Datenübertragungsfehler"});
    EXPECT_EQ(core.inst().fenster.caption(), "Netzwerktester (Labor)  V7.3   DEMO");
    EXPECT_TRUE(core.inst().DemoModus);
    EXPECT_EQ(core.inst().Messart, Rohwerte);
}

}  // namespace
}  // namespace veka

namespace veka {
namespace {

TEST(FormCreate, ShippedLanguageFileReproducesTheBuiltInTexts) {
    Start s;
    std::filesystem::copy_file(VEKA_ASSET_DIR "/LANG.INI", "LANG.INI");
    {
        test::FakeUi ui;
        Netzwerktester erster(ui);
        erster.FormCreate(std::nullopt);
    }
    s.core.FormCreate(std::nullopt);  // reads back Sprache "-DL"
    ASSERT_EQ(s.inst.e.Sprache, "-DL");
    const WindowModel eingebaut;
    for (int i = 0; i < ControlCount; ++i) {
        const auto c = static_cast<Control>(i);
        if (c == Control::Label5 || c == Control::Label1 || c == Control::Label2 ||
            c == Control::Label12 || c == Control::AttenuatorLabel)
            continue;  // values, not captions
        EXPECT_EQ(s.inst.fenster.text(c), eingebaut.text(c)) << i;
    }
    EXPECT_EQ(s.inst.fenster.text(Control::Label5), "Durchgangsmessung");
    const Meldungstabelle deutsch;
    for (int k : {1, 4, 7, 9, 19, 25, 31, 41, 42}) EXPECT_EQ(s.inst.meldungen[k], deutsch[k]) << k;
}

}  // namespace
}  // namespace veka
