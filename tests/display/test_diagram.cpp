// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/diagram.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <ostream>
#include <string>
#include <vector>

#include "display/auswertung.h"
#include "support/diagram_support.h"

namespace veka {
namespace {

using testing::countColour;
using testing::FakeUi;
using testing::fullColumns;
using testing::fullRows;
using testing::GridColour;
using testing::hasText;
using testing::BackgroundColour;
using testing::CurveColour;
using testing::makeInstrument;
using testing::MarkColour;
using testing::stepsFrom;
using testing::CursorColour;

constexpr int32_t I32Max = std::numeric_limits<int32_t>::max();
constexpr int32_t I32Min = std::numeric_limits<int32_t>::min();

std::vector<int> sorted(std::vector<int> v) {
    std::sort(v.begin(), v.end());
    return v;
}

// ---- Level grids ----

struct LevelCase {
    const char* name;
    int32_t messart;
    bool linear;
    int32_t punkte;
    int spacing;
    std::vector<std::string> labels;  // bottom to top
};

class LevelGrid : public ::testing::TestWithParam<LevelCase> {};

TEST_P(LevelGrid, LinesAndLabelsAtTheirOffsets) {
    const LevelCase& c = GetParam();
    auto inst = makeInstrument(c.messart, c.linear, c.punkte);
    dm_diagramm(*inst);
    const TBildfeld& r = inst->daten.Rasterbild;
    const int right = 30 + 2 * c.punkte;
    const int n = static_cast<int>(c.labels.size());
    EXPECT_EQ(fullRows(r, 30, right, GridColour), sorted(stepsFrom(410, -c.spacing, n)));
    for (int k = 0; k < n; ++k) {
        EXPECT_TRUE(
            hasText(r, 0, 410 - c.spacing * k - 4, c.labels[static_cast<size_t>(k)], GridColour))
            << "label " << c.labels[static_cast<size_t>(k)];
    }
    EXPECT_EQ(r.at(right + 1, 410 - c.spacing), BackgroundColour) << "line ends at 30 + W";
}

const std::vector<std::string> linLabels{"0",   "0,1", "0,2", "0,3", "0,4", "0,5",
                                         "0,6", "0,7", "0,8", "0,9", "1"};

INSTANTIATE_TEST_SUITE_P(
    Diagram, LevelGrid,
    ::testing::Values(LevelCase{"TransmissionLog",
                                Durchgang,
                                false,
                                280,
                                50,
                                {"-80", "-70", "-60", "-50", "-40", "-30", "-20", "-10", "0"}},
                      LevelCase{"TransmissionLin", Durchgang, true, 280, 40, linLabels},
                      LevelCase{"RawLog",
                                Rohwerte,
                                false,
                                280,
                                50,
                                {"-80", "-70", "-60", "-50", "-40", "-30", "-20", "-10", "0"}},
                      LevelCase{"RawLin", Rohwerte, true, 200, 40, linLabels},
                      LevelCase{"SpektralLog",
                                Spektrum,
                                false,
                                280,
                                50,
                                {"-70", "-60", "-50", "-40", "-30", "-20", "-10", "0", "10"}},
                      LevelCase{"SpektralLin", Spektrum, true, 280, 40, linLabels},
                      LevelCase{"Log300Points",
                                Durchgang,
                                false,
                                300,
                                50,
                                {"-80", "-70", "-60", "-50", "-40", "-30", "-20", "-10", "0"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Diagram, LinearLabelsUseTheDecimalSeparator) {
    auto inst = makeInstrument(Durchgang, true);
    inst->Dezimaltrenner = '.';
    dm_diagramm(*inst);
    EXPECT_TRUE(hasText(inst->daten.Rasterbild, 0, 410 - 40 - 4, "0.1", GridColour));
    EXPECT_FALSE(hasText(inst->daten.Rasterbild, 0, 410 - 40 - 4, "0,1", GridColour));
}

// ---- Frequency grid ----

struct FrequencyCase {
    int32_t punkte;
    std::vector<int> lines;
    std::vector<int> ticks;
};

class FrequencyGrid : public ::testing::TestWithParam<FrequencyCase> {};

TEST_P(FrequencyGrid, VerticalLinesAndTicks) {
    const FrequencyCase& c = GetParam();
    auto inst = makeInstrument(Durchgang, false, c.punkte);
    dm_diagramm(*inst);
    const TBildfeld& r = inst->daten.Rasterbild;
    EXPECT_EQ(fullColumns(r, 10, 410, GridColour, 25), c.lines);
    EXPECT_EQ(fullColumns(r, 406, 410, GridColour, 25), c.ticks);
    for (size_t j = 0; j < c.lines.size(); ++j) {
        const int32_t f = 10000000 + static_cast<int32_t>(40000 * j);
        EXPECT_TRUE(hasText(r, c.lines[j] - 24, j % 2 == 0 ? 425 : 440, FrequenzText(f), GridColour))
            << "label of line " << j;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Diagram, FrequencyGrid,
    ::testing::Values(FrequencyCase{280, stepsFrom(30, 80, 8), stepsFrom(30, 40, 15)},
                      FrequencyCase{300, stepsFrom(30, 80, 8), stepsFrom(30, 40, 16)},
                      FrequencyCase{100, stepsFrom(30, 80, 3), stepsFrom(30, 40, 6)},
                      FrequencyCase{1, {30}, {30}}, FrequencyCase{0, {30}, {30}}));

TEST(Diagram, ZeroPointsDrawsNoHorizontalLineNoMarkerAndKeepsTheValues) {
    auto inst = makeInstrument(Durchgang, false, 0);
    inst->Frequenzmarken[1] = inst->e.Startfrequenz;
    inst->daten.Messwerte.fill(77);
    dm_diagramm(*inst);
    const TBildfeld& r = inst->daten.Rasterbild;
    EXPECT_EQ(countColour(r, MarkColour), 0);
    EXPECT_EQ(r.at(31, 410), BackgroundColour);
    EXPECT_EQ(r.at(31, 360), BackgroundColour);
    EXPECT_TRUE(std::all_of(inst->daten.Messwerte.begin(), inst->daten.Messwerte.end(),
                            [](int32_t v) { return v == 77; }));
}

TEST(Diagram, RedrawResetsOnlyTheSweptValuesAndClearsTheCurve) {
    auto inst = makeInstrument(Durchgang, false, 280);
    inst->daten.Messwerte.fill(9);
    BildLoeschen(inst->daten.Diagrammbild, 7);
    dm_diagramm(*inst);
    const auto& w = inst->daten.Messwerte;
    EXPECT_EQ(w[0], 9);
    EXPECT_TRUE(std::all_of(w.begin() + 1, w.begin() + 281, [](int32_t v) { return v == 1; }));
    EXPECT_EQ(w[281], 9);
    EXPECT_EQ(countColour(inst->daten.Diagrammbild, BackgroundColour), BildBreite * BildHoehe);
    EXPECT_TRUE(inst->fenster.timer1());
    EXPECT_TRUE(inst->fenster.timer2());
}

TEST(Diagram, OversizedPointCountIsLimitedToTheArrays) {
    auto inst = makeInstrument(Durchgang, false, 5000);
    inst->daten.Messwerte.fill(9);
    dm_diagramm(*inst);
    EXPECT_TRUE(std::all_of(inst->daten.Messwerte.begin() + 1, inst->daten.Messwerte.end(),
                            [](int32_t v) { return v == 1; }));
    EXPECT_EQ(fullColumns(inst->daten.Rasterbild, 406, 410, GridColour, 25), stepsFrom(30, 40, 16));
}

TEST(Diagram, UnknownModeDrawsOnlyTheMarkers) {
    for (int32_t art : {0, 7, -3}) {
        auto inst = makeInstrument(art);
        inst->Frequenzmarken[1] = 10005000;
        dm_diagramm(*inst);
        const TBildfeld& r = inst->daten.Rasterbild;
        EXPECT_EQ(countColour(r, GridColour), 0) << art;
        EXPECT_EQ(r.at(40, 200), MarkColour) << art;
    }
}

// ---- Reflection ----

TEST(Diagram, ReflectionGridShowsTheReferenceLinesInTenthsWhateverTheScale) {
    std::vector<uint8_t> first;
    for (bool linear : {false, true}) {
        auto inst = makeInstrument(Reflexion, linear);
        inst->e.Line = {50, 100, 150, 200, 250, 300, 350};
        inst->e.LineText = {5, -5, 12, 25, 40, 0, 10};
        dm_diagramm(*inst);
        const TBildfeld& r = inst->daten.Rasterbild;
        EXPECT_EQ(fullRows(r, 30, 590, GridColour), stepsFrom(10, 50, 9));
        const std::vector<std::string> labels{"0,5", "-0,5", "1,2", "2,5", "4", "0", "1"};
        for (size_t k = 0; k < 7; ++k) {
            EXPECT_TRUE(hasText(r, 0, 410 - inst->e.Line[k] - 4, labels[k], GridColour)) << labels[k];
        }
        EXPECT_EQ(fullColumns(r, 10, 410, GridColour, 25), stepsFrom(30, 80, 8));
        if (first.empty()) {
            first.assign(r.pixel.begin(), r.pixel.end());
        } else {
            EXPECT_TRUE(std::equal(first.begin(), first.end(), r.pixel.begin()));
        }
    }
}

TEST(Diagram, FarOffCoordinatesAreClippedWithoutOverflow) {
    auto inst = makeInstrument(Reflexion);
    inst->e.Line = {I32Min, I32Max, -1000000, 1000000, 0, 410, -70};
    inst->e.LineText = {I32Min, I32Max, 0, 0, 0, 0, 0};
    inst->e.Startfrequenz = I32Max;
    inst->e.Schrittweite = I32Max;
    inst->Frequenzmarken[1] = I32Min;
    inst->Frequenzmarken[2] = I32Max;
    dm_diagramm(*inst);
    EXPECT_EQ(fullRows(inst->daten.Rasterbild, 30, 590, GridColour), (std::vector<int>{10, 410, 480}));
}

// ---- Frequency markers ----

struct MarkerCase {
    const char* name;
    int32_t schritt;
    int32_t marke;  // frequency
    int index;      // 1..20
    int x;          // expected column, 0: none
};

class Markers : public ::testing::TestWithParam<MarkerCase> {};

TEST_P(Markers, DrawnAtTheirPointOrNotAtAll) {
    const MarkerCase& c = GetParam();
    auto inst = makeInstrument();
    inst->e.Schrittweite = c.schritt;
    inst->Frequenzmarken[static_cast<size_t>(c.index)] = c.marke;
    dm_diagramm(*inst);
    const TBildfeld& r = inst->daten.Rasterbild;
    if (c.x == 0) {
        EXPECT_EQ(countColour(r, MarkColour), 0);
        return;
    }
    const bool gridColumn = (c.x - 30) % 80 == 0;
    if (!gridColumn) {
        EXPECT_EQ(fullColumns(r, 361, 405, MarkColour), std::vector<int>{c.x});
    }
    EXPECT_TRUE(hasText(r, c.x, c.index % 2 == 1 ? 455 : 465, FrequenzText(c.marke), MarkColour));
}

INSTANTIATE_TEST_SUITE_P(Diagram, Markers,
                         ::testing::Values(MarkerCase{"AtStart", 1000, 10000000, 1, 30},
                                           MarkerCase{"ExactlyAtPoint6", 1000, 10005000, 1, 40},
                                           MarkerCase{"JustBelowPoint7", 1000, 10005999, 2, 40},
                                           MarkerCase{"LastPoint", 1000, 10279000, 3, 588},
                                           MarkerCase{"EvenIndexLowerRow", 1000, 10100500, 20, 230},
                                           MarkerCase{"BeyondLastPoint", 1000, 10280000, 1, 0},
                                           MarkerCase{"BelowStart", 1000, 9999999, 1, 0},
                                           MarkerCase{"ZeroIsNeverDrawn", 1000, 0, 1, 0},
                                           MarkerCase{"NegativeStep", -1000, 9995000, 1, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Diagram, TwoMarkersInOnePointShareTheLine) {
    auto inst = makeInstrument();
    inst->Frequenzmarken[1] = 10005000;
    inst->Frequenzmarken[2] = 10005500;
    dm_diagramm(*inst);
    const TBildfeld& r = inst->daten.Rasterbild;
    EXPECT_EQ(fullColumns(r, 361, 405, MarkColour), std::vector<int>{40});
    EXPECT_TRUE(hasText(r, 40, 455, FrequenzText(10005000), MarkColour));
    EXPECT_TRUE(hasText(r, 40, 465, FrequenzText(10005500), MarkColour));
}

// ---- VFO ruler ----

struct PixelCase {
    int x, y;
    uint8_t farbe;
};

void PrintTo(const PixelCase& c, std::ostream* os) {
    *os << "(" << c.x << ", " << c.y << ") colour " << int{c.farbe};
}

class VfoRuler : public ::testing::TestWithParam<PixelCase> {};

TEST_P(VfoRuler, PointerBaseLineAndTicks) {
    const PixelCase& c = GetParam();
    auto inst = makeInstrument(VFO);
    dm_diagramm(*inst);
    EXPECT_EQ(inst->daten.Rasterbild.at(c.x, c.y), c.farbe) << c.x << "," << c.y;
}

INSTANTIATE_TEST_SUITE_P(
    Diagram, VfoRuler,
    ::testing::Values(
        // the pointer: column 310 +- d runs from 410 - 2d up to 398
        PixelCase{310, 410, CursorColour}, PixelCase{310, 398, CursorColour}, PixelCase{310, 397, BackgroundColour},
        PixelCase{311, 408, CursorColour}, PixelCase{311, 409, BackgroundColour}, PixelCase{309, 408, CursorColour},
        PixelCase{306, 402, CursorColour}, PixelCase{306, 403, BackgroundColour}, PixelCase{314, 402, CursorColour},
        PixelCase{314, 398, CursorColour}, PixelCase{305, 400, BackgroundColour}, PixelCase{315, 400, BackgroundColour},
        // base line 30..590 and 15 ticks
        PixelCase{30, 410, GridColour}, PixelCase{590, 410, GridColour}, PixelCase{591, 410, BackgroundColour},
        PixelCase{29, 410, BackgroundColour}, PixelCase{70, 406, GridColour}, PixelCase{70, 405, BackgroundColour},
        PixelCase{590, 406, GridColour}, PixelCase{630, 406, BackgroundColour}, PixelCase{110, 100, BackgroundColour}));

struct VfoTextCase {
    int32_t zfBerechnung;
    int32_t shown;
};

class VfoText : public ::testing::TestWithParam<VfoTextCase> {};

TEST_P(VfoText, FrequencyWithIntermediateFrequencyAndRulerLabels) {
    auto inst = makeInstrument(VFO);
    inst->e.Startfrequenz = 10000000;
    inst->e.Schrittweite = 1000;
    inst->e.Zwischenfrequenz = 455000;
    inst->e.ZFBerechnung = GetParam().zfBerechnung;
    inst->Frequenzmarken[1] = 10000000;
    dm_diagramm(*inst);
    const TBildfeld& r = inst->daten.Rasterbild;
    EXPECT_TRUE(hasText(r, 280, 330, FrequenzText(GetParam().shown), GridColour));
    EXPECT_TRUE(hasText(r, 280, 380, FrequenzText(10000000), GridColour));
    EXPECT_TRUE(hasText(r, 6, 425, FrequenzText(10000000 - 14000), GridColour));
    EXPECT_TRUE(hasText(r, 86, 440, FrequenzText(10000000 - 10000), GridColour));
    EXPECT_TRUE(hasText(r, 566, 440, FrequenzText(10000000 + 14000), GridColour));
    EXPECT_EQ(countColour(r, MarkColour), 0) << "markers are cleared";
}

INSTANTIATE_TEST_SUITE_P(Diagram, VfoText,
                         ::testing::Values(VfoTextCase{0, 10000000}, VfoTextCase{2, 10000000},
                                           VfoTextCase{1, 10000000 - 455000},
                                           VfoTextCase{3, 10000000 + 455000}));

// ---- Smith chart ----

class SmithChart : public ::testing::TestWithParam<PixelCase> {};

TEST_P(SmithChart, RimCirclesAndArcs) {
    const PixelCase& c = GetParam();
    auto inst = makeInstrument(SmithModus);
    inst->Frequenzmarken[1] = 10005000;
    dm_diagramm(*inst);
    EXPECT_EQ(inst->daten.Rasterbild.at(c.x, c.y), c.farbe) << c.x << "," << c.y;
}

INSTANTIATE_TEST_SUITE_P(
    Diagram, SmithChart,
    ::testing::Values(
        // rim and axis
        PixelCase{520, 240, GridColour}, PixelCase{120, 240, GridColour}, PixelCase{320, 40, GridColour},
        PixelCase{320, 440, GridColour}, PixelCase{119, 240, BackgroundColour}, PixelCase{521, 240, BackgroundColour},
        PixelCase{320, 39, BackgroundColour}, PixelCase{320, 441, BackgroundColour},
        // magnitude 0.5 circle in the marker colour
        PixelCase{320, 140, MarkColour}, PixelCase{320, 340, MarkColour},
        // resistance circles through (220, 240) and (320, 240)
        PixelCase{420, 140, GridColour}, PixelCase{370, 90, GridColour},
        // reactance +-1: i = 100 gives a = 173
        PixelCase{420, 213, GridColour}, PixelCase{420, 267, GridColour},
        // reactance +-0.5: its last chord ends on the rim
        PixelCase{200, 80, GridColour}, PixelCase{200, 400, GridColour}, PixelCase{201, 81, GridColour},
        PixelCase{201, 399, GridColour}, PixelCase{199, 79, BackgroundColour}, PixelCase{199, 401, BackgroundColour},
        PixelCase{420, 227, GridColour}, PixelCase{420, 253, GridColour},
        // empty places; the marker line at x = 40 is gone
        PixelCase{320, 200, BackgroundColour}, PixelCase{100, 100, BackgroundColour}, PixelCase{40, 300, BackgroundColour}));

// ---- Fractional labels ----

struct BruchCase {
    double wert;
    char trenner;
    const char* text;
};

class Bruch : public ::testing::TestWithParam<BruchCase> {};

TEST_P(Bruch, ShortestDecimalForm) {
    EXPECT_EQ(Bruchtext(GetParam().wert, GetParam().trenner), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Diagram, Bruch,
                         ::testing::Values(BruchCase{0.1, ',', "0,1"}, BruchCase{1, ',', "1"},
                                           BruchCase{-0.5, ',', "-0,5"}, BruchCase{0.5, '.', "0.5"},
                                           BruchCase{0, ',', "0"}, BruchCase{3 / 10.0, ',', "0,3"},
                                           BruchCase{12 / 10.0, ',', "1,2"},
                                           BruchCase{40 / 10.0, ',', "4"},
                                           BruchCase{1000000000 / 10.0, ',', "100000000"},
                                           BruchCase{2147483647 / 10.0, ',', "214748364,7"},
                                           BruchCase{-2147483648 / 10.0, ',', "-214748364,8"}));

}  // namespace
}  // namespace veka
