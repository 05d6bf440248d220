// SPDX-License-Identifier: GPL-3.0-or-later
// The window's display commands: the detector scale, the Smith chart, "max", the heading and
// the cursor.
#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <string>
#include <vector>

#include "display/auswertung.h"
#include "display/diagram.h"
#include "display/quickdraw.h"
#include "support/logic_bench.h"

namespace veka {
namespace {

using testing::countColour;
using testing::FakeUi;
using testing::fullRows;
using testing::GridColour;
using testing::BackgroundColour;
using testing::CurveColour;
using testing::LogicBench;
using testing::MarkColour;
using testing::stepsFrom;

constexpr int32_t I32Max = std::numeric_limits<int32_t>::max();
constexpr int32_t I32Min = std::numeric_limits<int32_t>::min();

// ---- Display switches ----

struct ScaleCase {
    const char* name;
    int button;  // 16 log, 17 lin
    int32_t messartVorher;
    int32_t messartNachher;
    bool linear;
};

class ScaleButtons : public ::testing::TestWithParam<ScaleCase> {};

TEST_P(ScaleButtons, SetTheScaleLeaveSmithAndRedraw) {
    const ScaleCase& c = GetParam();
    LogicBench b(c.messartVorher, !c.linear);
    Instrument* inst = &b.inst;
    inst->Smith = true;
    inst->daten.Messwerte.fill(9);
    if (c.button == 16) {
        b.core.Button16Click();
    } else {
        b.core.Button17Click();
    }
    EXPECT_EQ(inst->Messart.load(), c.messartNachher);
    EXPECT_EQ(inst->Linear.load(), c.linear);
    EXPECT_FALSE(inst->Smith.load());
    EXPECT_EQ(inst->daten.Messwerte[1], 1);
    EXPECT_TRUE(inst->fenster.timer2());
}

INSTANTIATE_TEST_SUITE_P(
    Diagram, ScaleButtons,
    ::testing::Values(ScaleCase{"LogFromSmith", 16, SmithModus, Reflexion, false},
                      ScaleCase{"LinFromSmith", 17, SmithModus, Reflexion, true},
                      ScaleCase{"LogInSpektral", 16, Spektrum, Spektrum, false},
                      ScaleCase{"LinInTransmission", 17, Durchgang, Durchgang, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Diagram, SmithButtonShowsTheMessageDrawsLinearTransmissionAndEndsInMode6) {
    LogicBench b(Reflexion, false);
    Instrument* inst = &b.inst;
    FakeUi& ui = b.ui;
    b.core.Button18Click();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0], "Diese Funktion ist leider noch nicht verfügbar !");
    EXPECT_FALSE(ui.lockWasHeld);
    EXPECT_EQ(inst->Messart.load(), SmithModus);
    EXPECT_FALSE(inst->Linear.load());
    EXPECT_TRUE(inst->Smith.load());
    EXPECT_EQ(fullRows(inst->daten.Rasterbild, 30, 590, GridColour), stepsFrom(10, 40, 11));
    EXPECT_TRUE(inst->fenster.timer1());
}

TEST(Diagram, SmithChartAppearsAtTheNextRedrawAfterTheButton) {
    LogicBench b(Reflexion);
    Instrument* inst = &b.inst;
    b.core.Button18Click();
    dm_diagramm(*inst);
    EXPECT_EQ(inst->daten.Rasterbild.at(320, 140), MarkColour);
}

struct MaxCase {
    const char* name;
    std::vector<int32_t> werte;  // repeated over the points
};

class MaxButton : public ::testing::TestWithParam<MaxCase> {};

TEST_P(MaxButton, ShiftsEveryPointBy400MinusTheLargestValue) {
    const MaxCase& c = GetParam();
    LogicBench b(Durchgang, false, 10);
    Instrument* inst = &b.inst;
    auto& w = inst->daten.Messwerte;
    w.fill(55);
    for (size_t k = 1; k <= 10; ++k) w[k] = c.werte[(k - 1) % c.werte.size()];
    const auto before = w;
    int64_t a = 0;
    for (size_t k = 1; k <= 10; ++k) a = std::max<int64_t>(a, before[k]);
    b.core.Button19Click();
    for (size_t k = 1; k <= 10; ++k) {
        const auto expected =
            static_cast<int32_t>(static_cast<uint32_t>(static_cast<int64_t>(before[k]) + 400 - a));
        EXPECT_EQ(w[k], expected) << "point " << k;
    }
    EXPECT_EQ(w[0], 55);
    EXPECT_EQ(w[11], 55);
    EXPECT_TRUE(inst->fenster.timer2());
}

INSTANTIATE_TEST_SUITE_P(Diagram, MaxButton,
                         ::testing::Values(MaxCase{"AllNegative", {-5, -100, -1, -399}},
                                           MaxCase{"Peak300", {100, 300}},
                                           MaxCase{"AlreadyAtTop", {400, 12}},
                                           MaxCase{"AboveTop", {1000, 500}},
                                           MaxCase{"NearLimits", {I32Max, I32Min, 0}},
                                           MaxCase{"LowestValues", {I32Min, I32Min + 1}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Diagram, MaxDrawsOverTheOldCurveAndLeavesTheLastPointUnjoined) {
    LogicBench b(Durchgang, false, 280);
    Instrument* inst = &b.inst;
    dm_diagramm(*inst);
    auto& d = inst->daten;
    for (size_t k = 1; k <= 280; ++k) d.Messwerte[k] = 250;
    PunktSetzen(d.Diagrammbild, 100, 300, 7);
    b.core.Button19Click();
    EXPECT_EQ(d.Diagrammbild.at(100, 300), 7) << "nothing erased";
    for (int x = 31; x <= 587; ++x) ASSERT_EQ(d.Diagrammbild.at(x, 10), CurveColour) << x;
    EXPECT_EQ(d.Diagrammbild.at(30, 10), BackgroundColour);
    EXPECT_EQ(d.Diagrammbild.at(588, 10), BackgroundColour);
    EXPECT_EQ(countColour(d.Diagrammbild, CurveColour), 557);
}

TEST(Diagram, LabelButtonStoresTheHeadlineAndRedraws) {
    LogicBench b;
    Instrument* inst = &b.inst;
    inst->Diagrammueberschrift = "alt";
    inst->daten.Messwerte.fill(9);
    FakeUi& ui = b.ui;
    ui.antworten = {"Filter 10,7 MHz"};
    b.core.Button11Click();
    ASSERT_EQ(ui.anfragen.size(), 1u);
    EXPECT_EQ(ui.anfragen[0].startText, "alt");
    EXPECT_EQ(ui.anfragen[0].caption, "Label");
    EXPECT_EQ(ui.anfragen[0].prompt, "Diagrammüberschrift ändern");
    EXPECT_EQ(ui.anfragen[0].okText, "OK");
    EXPECT_EQ(ui.anfragen[0].cancelText, "Abbruch");
    EXPECT_FALSE(ui.lockWasHeld);
    EXPECT_EQ(inst->Diagrammueberschrift, "Filter 10,7 MHz");
    EXPECT_EQ(inst->fenster.text(Control::Label5), "Filter 10,7 MHz");
    EXPECT_EQ(inst->daten.Messwerte[1], 1);
}

TEST(Diagram, CancelledLabelKeepsTheHeadlineButStillRedraws) {
    LogicBench b;
    Instrument* inst = &b.inst;
    inst->Diagrammueberschrift = "alt";
    inst->daten.Messwerte.fill(9);
    b.core.Button11Click();
    EXPECT_EQ(inst->Diagrammueberschrift, "alt");
    EXPECT_EQ(inst->fenster.text(Control::Label5), "alt");
    EXPECT_EQ(inst->daten.Messwerte[280], 1);
}

// ---- Cursor buttons ----

struct StepCase {
    int button;  // 12 minus, 13 plus
    int32_t vorher;
    int32_t punkte;
    int32_t nachher;
};

class CursorStep : public ::testing::TestWithParam<StepCase> {};

TEST_P(CursorStep, StaysWithinOneToThePointCount) {
    const StepCase& c = GetParam();
    LogicBench b(Durchgang, false, c.punkte);
    Instrument* inst = &b.inst;
    inst->Cursorpunkt = c.vorher;
    if (c.button == 12) {
        b.core.Button12Click();
    } else {
        b.core.Button13Click();
    }
    EXPECT_EQ(inst->Cursorpunkt.load(), c.nachher);
    EXPECT_EQ(inst->fenster.text(Control::Label12),
              FrequenzText(wrapAdd(10000000, wrapMul(c.nachher, 1000))));
}

INSTANTIATE_TEST_SUITE_P(Auswertung, CursorStep,
                         ::testing::Values(StepCase{12, 5, 280, 4}, StepCase{12, 2, 280, 1},
                                           StepCase{12, 1, 280, 1}, StepCase{12, 0, 280, 1},
                                           StepCase{12, I32Min, 280, 1}, StepCase{12, 1, 0, 1},
                                           StepCase{13, 5, 280, 6}, StepCase{13, 279, 280, 280},
                                           StepCase{13, 280, 280, 280},
                                           StepCase{13, I32Max, 280, 280},
                                           StepCase{13, 300, 500, 300}, StepCase{13, 0, 0, 0}));

struct EntryCase {
    const char* name;
    int32_t start;
    int32_t schritt;
    int32_t punkte;
    std::vector<std::string> antwort;  // empty: cancel
    int32_t nachher;
};

class CursorEntry : public ::testing::TestWithParam<EntryCase> {};

TEST_P(CursorEntry, TypedFrequencyGivesTheNearestPointWithinTheArrays) {
    const EntryCase& c = GetParam();
    LogicBench b(Durchgang, false, c.punkte);
    Instrument* inst = &b.inst;
    inst->e.Startfrequenz = c.start;
    inst->e.Schrittweite = c.schritt;
    inst->Cursorpunkt = 140;
    FakeUi& ui = b.ui;
    ui.antworten = c.antwort;
    b.core.Button14Click();
    ASSERT_EQ(ui.anfragen.size(), 1u);
    const WertEingabeAnfrage& a = ui.anfragen[0];
    EXPECT_EQ(a.startText, std::to_string(wrapAdd(c.start, wrapMul(140, c.schritt))));
    EXPECT_EQ(a.caption, "Frequenzmarke");
    EXPECT_EQ(a.prompt, "Frequenz in Hz eingeben!");
    EXPECT_EQ(a.okText, "OK");
    EXPECT_EQ(a.cancelText, "Abbruch");
    EXPECT_FALSE(ui.lockWasHeld);
    EXPECT_EQ(inst->Cursorpunkt.load(), c.nachher);
    EXPECT_EQ(inst->fenster.text(Control::Label12),
              FrequenzText(wrapAdd(c.start, wrapMul(c.nachher, c.schritt))));
}

INSTANTIATE_TEST_SUITE_P(
    Auswertung, CursorEntry,
    ::testing::Values(EntryCase{"StartGivesIndex0", 10000000, 1000, 280, {"10000000"}, 0},
                      EntryCase{"ExactPoint", 10000000, 1000, 280, {"10003000"}, 3},
                      EntryCase{"HalfToEvenDown", 10000000, 1000, 280, {"10002500"}, 2},
                      EntryCase{"HalfToEvenUp", 10000000, 1000, 280, {"10001500"}, 2},
                      EntryCase{"HalfAtZero", 10000000, 1000, 280, {"10000500"}, 0},
                      EntryCase{"FarAboveIsClamped", 10000000, 1000, 280, {"999999999"}, 280},
                      EntryCase{"BelowStartIsClamped", 10000000, 1000, 280, {"-5000000"}, 0},
                      EntryCase{"NegativeStep", 10000000, -1000, 280, {"9995000"}, 5},
                      EntryCase{"StepZeroKeepsTheCursor", 10000000, 0, 280, {"10005000"}, 140},
                      EntryCase{"NotANumberCountsAs10MHzBelow", 0, 1000, 280, {"abc"}, 280},
                      EntryCase{"NotANumberCountsAs10MHzAbove", 20000000, 1000, 280, {"abc"}, 0},
                      EntryCase{"TrailingBlankIsNotANumber", 10000000, 1000, 280, {"10005000 "}, 0},
                      EntryCase{"HexadecimalEntry", 0, 1, 280, {"$FF"}, 255},
                      EntryCase{"CancelKeepsTheCursor", 10000000, 1000, 280, {}, 140},
                      EntryCase{"NoPointsGivesZero", 10000000, 1000, 0, {"10005000"}, 0},
                      EntryCase{"OversizedCountLimitsTo300", 0, 1, 5000, {"4000"}, 300}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace veka
