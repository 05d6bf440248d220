// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/auswertung.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "support/diagram_support.h"

namespace veka {
namespace {

using testing::FakeUi;
using testing::makeInstrument;

constexpr int32_t I32Max = std::numeric_limits<int32_t>::max();
constexpr int32_t I32Min = std::numeric_limits<int32_t>::min();

// ---- Texts ----

struct FrequenzCase {
    int32_t n;
    const char* text;
};

class Frequenz : public ::testing::TestWithParam<FrequenzCase> {};

TEST_P(Frequenz, GroupsDigitsWithAtMostTwoDots) {
    EXPECT_EQ(FrequenzText(GetParam().n), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Auswertung, Frequenz,
                         ::testing::Values(FrequenzCase{0, "0 Hz"}, FrequenzCase{999, "999 Hz"},
                                           FrequenzCase{1000, "1.000 Hz"},
                                           FrequenzCase{999999, "999.999 Hz"},
                                           FrequenzCase{1000000, "1.000.000 Hz"},
                                           FrequenzCase{10000000, "10.000.000 Hz"},
                                           FrequenzCase{2147483647, "2147.483.647 Hz"},
                                           FrequenzCase{-500, "-500 Hz"},
                                           FrequenzCase{-1000, "-1.000 Hz"},
                                           FrequenzCase{-2147483647 - 1, "-2147.483.648 Hz"}));

struct WertCase {
    int32_t v;
    bool linear;
    char trenner;
    const char* text;
};

class Wert : public ::testing::TestWithParam<WertCase> {};

TEST_P(Wert, LinearFractionOrDecibelBelowTheTop) {
    const WertCase& c = GetParam();
    EXPECT_EQ(Werttext(c.v, c.linear, c.trenner), c.text);
    // The bare number (for tables) is the readout without its unit.
    std::string zahl = c.text;
    if (!c.linear) zahl.resize(zahl.size() - 3);
    EXPECT_EQ(Pegelzahl(c.v, c.linear, c.trenner), zahl);
}

INSTANTIATE_TEST_SUITE_P(
    Auswertung, Wert,
    ::testing::Values(WertCase{350, true, ',', "0,875"}, WertCase{400, true, ',', "1,000"},
                      WertCase{421, true, ',', "1,050"}, WertCase{0, true, ',', "0,000"},
                      WertCase{1, true, ',', "0,003"},      // 0.0025: half away from zero
                      WertCase{3, true, ',', "0,008"},      // 0.0075
                      WertCase{401, true, ',', "1,000"},    // 1.0025 to three digits
                      WertCase{402, true, ',', "1,010"},    // 1.005: half away from zero
                      WertCase{4021, true, ',', "10,100"},  // 10.0525 to three digits
                      WertCase{-350, true, ',', "-0,875"}, WertCase{-421, true, ',', "-1,050"},
                      WertCase{350, true, '.', "0.875"}, WertCase{I32Max, true, ',', "5370000,000"},
                      WertCase{I32Min, true, ',', "-5370000,000"},
                      WertCase{395, false, ',', "-1 dB"}, WertCase{400, false, ',', "0 dB"},
                      WertCase{450, false, ',', "10 dB"}, WertCase{398, false, ',', "0 dB"},
                      WertCase{397, false, ',', "-1 dB"}, WertCase{1, false, ',', "-80 dB"},
                      WertCase{I32Min, false, ',', "-429496810 dB"},
                      WertCase{I32Max, false, ',', "429496649 dB"}));

TEST(Auswertung, ReadoutJoinsFrequencyAndValue) {
    EXPECT_EQ(Ablesung(10000000, 385, false, ','), "10.000.000 Hz -3 dB");
    EXPECT_EQ(Ablesung(10000000, 350, true, ','), "10.000.000 Hz 0,875");
}

TEST(Auswertung, ClearEmptiesTheSixResultLabelsOnly) {
    WindowModel w;
    for (Control c : {Control::Label7, Control::Label8, Control::Label9, Control::Label10,
                      Control::Label11, Control::Label12, Control::Label14}) {
        w.setText(c, "x");
    }
    clear_messwerte(w);
    for (Control c : {Control::Label7, Control::Label8, Control::Label9, Control::Label10,
                      Control::Label11, Control::Label14}) {
        EXPECT_EQ(w.text(c), "");
    }
    EXPECT_EQ(w.text(Control::Label12), "x");
}

// ---- maxminwert ----

struct EvalCase {
    const char* name;
    int32_t messart;
    bool linear;
    std::vector<int32_t> werte;  // points 1..10, Start 1 MHz, step 1 kHz
    const char* maximum;
    const char* minimum;
    const char* unten;  // "alt": bandwidth labels untouched
    const char* oben;
    const char* breite;
};

class Evaluation : public ::testing::TestWithParam<EvalCase> {};

TEST_P(Evaluation, MaximumMinimumAndBandwidth) {
    const EvalCase& c = GetParam();
    auto inst = makeInstrument(c.messart, c.linear, static_cast<int32_t>(c.werte.size()));
    inst->e.Startfrequenz = 1000000;
    inst->Cursorpunkt = 3;
    for (size_t k = 0; k < c.werte.size(); ++k) inst->daten.Messwerte[k + 1] = c.werte[k];
    for (Control l : {Control::Label9, Control::Label10, Control::Label11}) {
        inst->fenster.setText(l, "alt");
    }
    maxminwert(*inst);
    const auto& f = inst->fenster;
    EXPECT_EQ(f.text(Control::Label7), c.maximum);
    EXPECT_EQ(f.text(Control::Label8), c.minimum);
    EXPECT_EQ(f.text(Control::Label9), c.unten);
    EXPECT_EQ(f.text(Control::Label10), c.oben);
    EXPECT_EQ(f.text(Control::Label11), c.breite);
    EXPECT_EQ(f.text(Control::Label14), Ablesung(1003000, c.werte[2], c.linear, ','));
}

const std::vector<int32_t> peakLin{100, 200, 280, 300, 400, 300, 280, 200, 100, 50};

INSTANTIATE_TEST_SUITE_P(
    Auswertung, Evaluation,
    ::testing::Values(EvalCase{"LinThreshold280IsDown", Durchgang, true, peakLin,
                               "1.004.000 Hz 1,000", "1.009.000 Hz 0,125", "1.002.000 Hz",
                               "1.006.000 Hz", "4.000 Hz (3 dB)"},
                      EvalCase{"Lin281IsNotDown",
                               Durchgang,
                               true,
                               {100, 200, 281, 300, 400, 300, 281, 200, 100, 50},
                               "1.004.000 Hz 1,000",
                               "1.009.000 Hz 0,125",
                               "1.001.000 Hz",
                               "1.007.000 Hz",
                               "6.000 Hz (3 dB)"},
                      EvalCase{"Log326DownAnd327Not",
                               Durchgang,
                               false,
                               {300, 326, 340, 350, 340, 327, 300, 300, 300, 300},
                               "1.003.000 Hz -10 dB",
                               "1.000.000 Hz -20 dB",
                               "1.001.000 Hz",
                               "1.006.000 Hz",
                               "5.000 Hz (6 dB)"},
                      EvalCase{"MaxAtPoint1",
                               Durchgang,
                               true,
                               {400, 100, 100, 100, 100, 100, 100, 100, 100, 100},
                               "1.000.000 Hz 1,000",
                               "1.001.000 Hz 0,250",
                               "alt",
                               "alt",
                               "alt"},
                      EvalCase{"MaxAtPoint2",
                               Durchgang,
                               true,
                               {100, 400, 100, 100, 100, 100, 100, 100, 100, 100},
                               "1.001.000 Hz 1,000",
                               "1.000.000 Hz 0,250",
                               "alt",
                               "alt",
                               "alt"},
                      EvalCase{"MaxAtPointNMinus1",
                               Durchgang,
                               true,
                               {100, 100, 100, 100, 100, 100, 100, 100, 400, 100},
                               "1.008.000 Hz 1,000",
                               "1.000.000 Hz 0,250",
                               "alt",
                               "alt",
                               "alt"},
                      EvalCase{"MaxAtPointN",
                               Durchgang,
                               true,
                               {100, 100, 100, 100, 100, 100, 100, 100, 100, 400},
                               "1.009.000 Hz 1,000",
                               "1.000.000 Hz 0,250",
                               "alt",
                               "alt",
                               "alt"},
                      EvalCase{"DownOnlyAtPoint1",
                               Durchgang,
                               true,
                               {100, 390, 395, 400, 395, 390, 100, 100, 100, 100},
                               "1.003.000 Hz 1,000",
                               "1.000.000 Hz 0,250",
                               "alt",
                               "alt",
                               "alt"},
                      EvalCase{"DownOnlyAtTheLastPoint",
                               Durchgang,
                               true,
                               {100, 100, 100, 390, 400, 395, 390, 390, 390, 100},
                               "1.004.000 Hz 1,000",
                               "1.000.000 Hz 0,250",
                               "alt",
                               "alt",
                               "alt"},
                      EvalCase{"FlatCurve", Durchgang, true, std::vector<int32_t>(10, 200),
                               "1.000.000 Hz 0,500", "1.000.000 Hz 0,500", "alt", "alt", "alt"},
                      EvalCase{"AllAtOrAbove400",
                               Durchgang,
                               false,
                               {400, 450, 500, 450, 400, 400, 400, 400, 400, 400},
                               "1.002.000 Hz 20 dB",
                               "1.000.000 Hz 0 dB",
                               "1.001.000 Hz",
                               "1.003.000 Hz",
                               "2.000 Hz (6 dB)"},
                      EvalCase{"ReflectionHasNoBandwidth", Reflexion, true, peakLin,
                               "1.004.000 Hz 1,000", "1.009.000 Hz 0,125", "alt", "alt", "alt"},
                      EvalCase{"SpektralHasNoBandwidth", Spektrum, false, peakLin,
                               "1.004.000 Hz 0 dB", "1.009.000 Hz -70 dB", "alt", "alt", "alt"},
                      EvalCase{"AllNegative", Durchgang, true, std::vector<int32_t>(10, -4),
                               "1.000.000 Hz 0,000", "1.000.000 Hz -0,010", "alt", "alt", "alt"}),
    [](const auto& info) { return std::string(info.param.name); });

struct CursorReadCase {
    int32_t cursor;
    int32_t punkte;
    int gelesen;  // index whose value Label14 shows
};

class CursorReadout : public ::testing::TestWithParam<CursorReadCase> {};

TEST_P(CursorReadout, ReadsOnlyInsideTheArrays) {
    const CursorReadCase& c = GetParam();
    auto inst = makeInstrument(Durchgang, true, c.punkte);
    for (size_t k = 0; k <= MaxPunkte; ++k)
        inst->daten.Messwerte[k] = 4 * static_cast<int32_t>(k) + 4;
    inst->Cursorpunkt = c.cursor;
    maxminwert(*inst);
    const int32_t f = wrapAdd(10000000, wrapMul(c.cursor, 1000));
    EXPECT_EQ(inst->fenster.text(Control::Label14), Ablesung(f, 4 * c.gelesen + 4, true, ','));
}

INSTANTIATE_TEST_SUITE_P(Auswertung, CursorReadout,
                         ::testing::Values(CursorReadCase{3, 10, 3}, CursorReadCase{0, 10, 0},
                                           CursorReadCase{-5, 10, 0}, CursorReadCase{10, 10, 10},
                                           CursorReadCase{11, 10, 10},
                                           CursorReadCase{I32Min, 10, 0},
                                           CursorReadCase{I32Max, 280, 280},
                                           CursorReadCase{1000, 500, 300}, CursorReadCase{5, 0, 0},
                                           CursorReadCase{5, -7, 0}));

TEST(Auswertung, OversizedPointCountEvaluatesOnly300Points) {
    auto inst = makeInstrument(Durchgang, true, 100000);
    for (size_t k = 1; k <= MaxPunkte; ++k) inst->daten.Messwerte[k] = 100;
    inst->daten.Messwerte[300] = 400;
    maxminwert(*inst);
    EXPECT_EQ(inst->fenster.text(Control::Label7), "10.299.000 Hz 1,000");
}

TEST(Auswertung, NoPointsGivesTheStartValues) {
    auto inst = makeInstrument(Durchgang, false, 0);
    inst->daten.Messwerte.fill(123);
    maxminwert(*inst);
    EXPECT_EQ(inst->fenster.text(Control::Label7), "10.000.000 Hz -80 dB");
    EXPECT_EQ(inst->fenster.text(Control::Label8), "10.000.000 Hz 0 dB");
    EXPECT_EQ(inst->fenster.text(Control::Label9), "");
}

}  // namespace
}  // namespace veka
