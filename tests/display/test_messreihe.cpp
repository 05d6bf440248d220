// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/messreihe.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "display/auswertung.h"
#include "support/diagram_support.h"

namespace veka {
namespace {

using testing::countColour;
using testing::fullColumns;
using testing::fullRows;
using testing::GridColour;
using testing::hasText;
using testing::BackgroundColour;
using testing::CurveColour;
using testing::makeInstrument;
using testing::MarkColour;
using testing::stepsFrom;

GeladeneMessreihe series(int art, bool linear, std::vector<int32_t> werte, int32_t f0 = 1000000,
                         int32_t s = 1000) {
    GeladeneMessreihe r;
    r.art = art;
    r.ueberschrift = "Quarzfilter";
    r.linear = linear;
    r.F0 = f0;
    r.S = s;
    r.werte = std::move(werte);
    return r;
}

// Field by field: Einstellungen's defaulted == is unusable while Korrfaktorpaar has none.
void expectSameSettings(const Einstellungen& a, const Einstellungen& b) {
    EXPECT_EQ(a.Startfrequenz, b.Startfrequenz);
    EXPECT_EQ(a.Schrittweite, b.Schrittweite);
    EXPECT_EQ(a.Messpunkte, b.Messpunkte);
    EXPECT_EQ(a.Line, b.Line);
    EXPECT_EQ(a.LineText, b.LineText);
    for (auto p : {&Einstellungen::Dlog, &Einstellungen::Rlog, &Einstellungen::Slog,
                   &Einstellungen::Dlin, &Einstellungen::Rlin, &Einstellungen::Slin}) {
        EXPECT_EQ((a.*p).k1, (b.*p).k1);
        EXPECT_EQ((a.*p).k2, (b.*p).k2);
    }
    EXPECT_EQ(a.Hintergrundfarbe, b.Hintergrundfarbe);
    EXPECT_EQ(a.Diagrammfarbe, b.Diagrammfarbe);
    EXPECT_EQ(a.Kurvenfarbe, b.Kurvenfarbe);
}

std::vector<int> sorted(std::vector<int> v) {
    std::sort(v.begin(), v.end());
    return v;
}

TEST(Messreihe, HundredValuesGiveA200PixelGridAndLeaveTheSettingsAlone) {
    auto inst = makeInstrument(Reflexion, true, 280);
    inst->Cursorpunkt = 17;
    inst->Diagrammueberschrift = "eigene";
    inst->Frequenzmarken[1] = 5000000;
    inst->daten.Messwerte.fill(777);
    const Einstellungen vorher = inst->e;
    MessreiheAnzeigen(*inst,
                      series(Durchgang, false, std::vector<int32_t>(100, 300), 5000000, 2000));

    expectSameSettings(inst->e, vorher);
    EXPECT_EQ(inst->Messart.load(), Reflexion);
    EXPECT_TRUE(inst->Linear.load());
    EXPECT_EQ(inst->Cursorpunkt.load(), 17);
    EXPECT_EQ(inst->Diagrammueberschrift, "eigene");
    EXPECT_EQ(inst->fenster.text(Control::Label5), "Quarzfilter");
    EXPECT_TRUE(inst->fenster.timer1());
    EXPECT_TRUE(inst->fenster.timer2());

    const auto& w = inst->daten.Messwerte;
    EXPECT_EQ(w[0], 777);
    EXPECT_TRUE(std::all_of(w.begin() + 1, w.begin() + 101, [](int32_t v) { return v == 300; }));
    EXPECT_TRUE(std::all_of(w.begin() + 101, w.end(), [](int32_t v) { return v == 777; }));

    const TBildfeld& r = inst->daten.Rasterbild;
    EXPECT_EQ(fullRows(r, 30, 230, GridColour), sorted(stepsFrom(410, -50, 9)));
    EXPECT_EQ(r.at(231, 360), BackgroundColour);
    EXPECT_EQ(fullColumns(r, 10, 410, GridColour, 25), stepsFrom(30, 80, 3));
    EXPECT_EQ(fullColumns(r, 406, 410, GridColour, 25), stepsFrom(30, 40, 6));
    for (int j = 0; j < 3; ++j) {
        EXPECT_TRUE(hasText(r, 30 + 80 * j - 24, j % 2 == 0 ? 425 : 440,
                            FrequenzText(5000000 + 80000 * j), GridColour));
    }
    EXPECT_TRUE(hasText(r, 0, 406, "-80", GridColour));
    EXPECT_EQ(countColour(r, MarkColour), 0) << "no frequency marks";

    const TBildfeld& d = inst->daten.Diagrammbild;
    for (int x = 31; x <= 227; ++x) ASSERT_EQ(d.at(x, 110), CurveColour) << x;
    EXPECT_EQ(d.at(228, 110), BackgroundColour) << "last value not joined";
    EXPECT_EQ(countColour(d, CurveColour), 197);
}

struct ScaleCase {
    const char* name;
    int art;
    bool linear;
    int spacing;
    std::vector<std::string> labels;
};

class MessreiheScale : public ::testing::TestWithParam<ScaleCase> {};

TEST_P(MessreiheScale, LevelLinesOfTheFilesKindAndScale) {
    const ScaleCase& c = GetParam();
    auto inst = makeInstrument(Durchgang, !c.linear);
    MessreiheAnzeigen(*inst, series(c.art, c.linear, std::vector<int32_t>(50, 1)));
    const TBildfeld& r = inst->daten.Rasterbild;
    const int n = static_cast<int>(c.labels.size());
    EXPECT_EQ(fullRows(r, 30, 130, GridColour), sorted(stepsFrom(410, -c.spacing, n)));
    for (int k = 0; k < n; ++k) {
        EXPECT_TRUE(
            hasText(r, 0, 410 - c.spacing * k - 4, c.labels[static_cast<size_t>(k)], GridColour));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Messreihe, MessreiheScale,
    ::testing::Values(ScaleCase{"TransmissionLog",
                                Durchgang,
                                false,
                                50,
                                {"-80", "-70", "-60", "-50", "-40", "-30", "-20", "-10", "0"}},
                      ScaleCase{"SpektralLog",
                                Spektrum,
                                false,
                                50,
                                {"-70", "-60", "-50", "-40", "-30", "-20", "-10", "0", "10"}},
                      ScaleCase{"TransmissionLin",
                                Durchgang,
                                true,
                                40,
                                {"0", "0,1", "0,2", "0,3", "0,4", "0,5", "0,6", "0,7", "0,8", "0,9",
                                 "1"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Messreihe, ReflectionUsesTheFilesReferenceLines) {
    auto inst = makeInstrument();
    auto r = series(Reflexion, false, std::vector<int32_t>(50, 1));
    const int32_t hoehe[7] = {50, 100, 150, 200, 250, 300, 350};
    const int32_t text[7] = {5, -5, 12, 25, 40, 0, 10};
    for (size_t k = 0; k < 7; ++k) r.linien[k] = {hoehe[k], text[k]};
    MessreiheAnzeigen(*inst, r);
    const TBildfeld& f = inst->daten.Rasterbild;
    EXPECT_EQ(fullRows(f, 30, 130, GridColour), stepsFrom(10, 50, 9));
    const std::vector<std::string> labels{"0,5", "-0,5", "1,2", "2,5", "4", "0", "1"};
    for (size_t k = 0; k < 7; ++k)
        EXPECT_TRUE(hasText(f, 0, 410 - hoehe[k] - 4, labels[k], GridColour));
    EXPECT_EQ(inst->e.Line, (std::array<int32_t, 7>{}));
}

struct EvalCase {
    const char* name;
    int art;
    bool linear;
    std::vector<int32_t> werte;
    int32_t schritt;
    const char* maximum;
    const char* minimum;
    const char* unten;
    const char* oben;
    const char* breite;
};

class MessreiheEvaluation : public ::testing::TestWithParam<EvalCase> {};

TEST_P(MessreiheEvaluation, FrequenciesOnlyAndTheBandwidthRule) {
    const EvalCase& c = GetParam();
    auto inst = makeInstrument(Spektrum, !c.linear);
    for (Control l : {Control::Label7, Control::Label8, Control::Label9, Control::Label10,
                      Control::Label11, Control::Label14}) {
        inst->fenster.setText(l, "alt");
    }
    MessreiheAnzeigen(*inst, series(c.art, c.linear, c.werte, 1000000, c.schritt));
    const auto& f = inst->fenster;
    EXPECT_EQ(f.text(Control::Label7), c.maximum);
    EXPECT_EQ(f.text(Control::Label8), c.minimum);
    EXPECT_EQ(f.text(Control::Label9), c.unten);
    EXPECT_EQ(f.text(Control::Label10), c.oben);
    EXPECT_EQ(f.text(Control::Label11), c.breite);
    EXPECT_EQ(f.text(Control::Label14), "");
}

const std::vector<int32_t> peak{100, 200, 280, 300, 400, 300, 280, 200, 100, 50};

INSTANTIATE_TEST_SUITE_P(
    Messreihe, MessreiheEvaluation,
    ::testing::Values(EvalCase{"TransmissionLin", Durchgang, true, peak, 1000, "1.004.000 Hz",
                               "1.009.000 Hz", "1.002.000 Hz", "1.006.000 Hz", "4.000 Hz (3 dB)"},
                      EvalCase{"TransmissionLog", Durchgang, false, peak, 1000, "1.004.000 Hz",
                               "1.009.000 Hz", "1.003.000 Hz", "1.005.000 Hz", "2.000 Hz (6 dB)"},
                      EvalCase{"NegativeStep", Durchgang, true, peak, -1000, "996.000 Hz",
                               "991.000 Hz", "998.000 Hz", "994.000 Hz", "-4.000 Hz (3 dB)"},
                      EvalCase{"SpektralNoBandwidth", Spektrum, true, peak, 1000, "1.004.000 Hz",
                               "1.009.000 Hz", "", "", ""},
                      EvalCase{"ReflectionNoBandwidth", Reflexion, false, peak, 1000,
                               "1.004.000 Hz", "1.009.000 Hz", "", "", ""},
                      EvalCase{"MinimumStartsAt320",
                               Spektrum,
                               false,
                               {340, 330, 400, 340, 330, 330},
                               1000,
                               "1.002.000 Hz",
                               "1.000.000 Hz",
                               "",
                               "",
                               ""},
                      EvalCase{"MinimumBelow320",
                               Spektrum,
                               false,
                               {330, 330, 330, 319, 330, 319},
                               1000,
                               "1.000.000 Hz",
                               "1.003.000 Hz",
                               "",
                               "",
                               ""},
                      EvalCase{"MaxAtFirstPoint",
                               Durchgang,
                               true,
                               {400, 300, 200, 100, 100, 100},
                               1000,
                               "1.000.000 Hz",
                               "1.003.000 Hz",
                               "",
                               "",
                               ""},
                      EvalCase{"MaxAtLastPoint",
                               Durchgang,
                               true,
                               {100, 100, 100, 200, 300, 400},
                               1000,
                               "1.005.000 Hz",
                               "1.000.000 Hz",
                               "",
                               "",
                               ""},
                      EvalCase{"TruncatedFile",
                               Durchgang,
                               false,
                               {0, 0},
                               0,
                               "1.000.000 Hz",
                               "1.000.000 Hz",
                               "",
                               "",
                               ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Messreihe, MoreValuesThanTheArraysHoldAreCut) {
    auto inst = makeInstrument();
    std::vector<int32_t> werte(305, 100);
    werte[299] = 200;
    werte[303] = 400;
    MessreiheAnzeigen(*inst, series(Spektrum, true, werte));
    EXPECT_EQ(inst->daten.Messwerte[300], 200);
    EXPECT_EQ(inst->fenster.text(Control::Label7), "1.299.000 Hz");
    EXPECT_EQ(fullColumns(inst->daten.Rasterbild, 406, 410, GridColour, 25), stepsFrom(30, 40, 16));
}

}  // namespace
}  // namespace veka
