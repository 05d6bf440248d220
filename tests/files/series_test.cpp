// SPDX-License-Identifier: GPL-3.0-or-later
// Measurement series files: the three layouts written, and reading them back.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "files/series_file.h"
#include "files/text_lines.h"

namespace veka {
namespace {

std::vector<std::string> linesOf(const std::string& bytes) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < bytes.size()) {
        const size_t end = bytes.find("\r\n", start);
        if (end == std::string::npos) {
            ADD_FAILURE() << "file does not end with CR LF";
            break;
        }
        lines.push_back(bytes.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

std::string crlf(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& line : lines) out += line + "\r\n";
    return out;
}

// Instrument is large (two drawing surfaces); keep it off the stack.
std::unique_ptr<Instrument> sweep(int32_t messart, bool linear) {
    auto inst = std::make_unique<Instrument>();
    inst->Messart = messart;
    inst->Linear = linear;
    inst->Diagrammueberschrift = "12.03.2024  10:15:00 Dämpfung";
    inst->e.Dlog = {11, 12};
    inst->e.Dlin = {13, 14};
    inst->e.Rlog = {21, 22};
    inst->e.Rlin = {23, 24};
    inst->e.Slog = {31, 32};
    inst->e.Slin = {33, 34};
    for (size_t k = 0; k < 7; ++k) {
        inst->e.Line[k] = static_cast<int32_t>(50 * (k + 1));
        inst->e.LineText[k] = static_cast<int32_t>(10 + k);
    }
    for (size_t k = 1; k <= MaxPunkte; ++k) inst->daten.Messwerte[k] = static_cast<int32_t>(k);
    return inst;
}

TEST(SeriesWrite, TransmissionLayout) {
    auto inst = sweep(Durchgang, false);
    inst->daten.Messwerte[1] = 300;
    inst->daten.Messwerte[2] = 322;  // level 0.5 rounds to 0
    inst->daten.Messwerte[3] = 326;  // 1.5 rounds to 2
    inst->daten.Messwerte[4] = -2;
    const std::vector<std::string> lines = linesOf(messreiheSchreiben(*inst));
    ASSERT_EQ(lines.size(), 285u);
    const std::vector<std::string> head(lines.begin(), lines.begin() + 9);
    EXPECT_EQ(head, (std::vector<std::string>{
                        "Durchgangsmessung VEKA", "12.03.2024  10:15:00 D\xE4mpfung", "log",
                        "Korrekturfaktor1 =11", "Korrekturfaktor2 =12", "10000000;300;-5",
                        "10010000;322;0", "10020000;326;2", "10030000;-2;-80"}));
    EXPECT_EQ(lines.back(), "12790000;280;-10");
}

TEST(SeriesWrite, ReflectionLayout) {
    auto inst = sweep(Reflexion, true);
    const std::vector<std::string> lines = linesOf(messreiheSchreiben(*inst));
    ASSERT_EQ(lines.size(), 292u);
    const std::vector<std::string> head(lines.begin(), lines.begin() + 13);
    EXPECT_EQ(head, (std::vector<std::string>{
                        "Reflexionsmessung VEKA", "12.03.2024  10:15:00 D\xE4mpfung", "50;10",
                        "100;11", "150;12", "200;13", "250;14", "300;15", "350;16", "lin",
                        "Korrekturfaktor1 =23", "Korrekturfaktor2 =24", "10000000;1;1"}));
}

TEST(SeriesWrite, SpectrumLayoutAndFactors) {
    struct Case {
        int32_t messart;
        bool linear;
        std::string scale, k1, k2;
    };
    const std::vector<Case> cases = {
        {Spektrum, false, "log", "Korrekturfaktor1 =31", "Korrekturfaktor2 =32"},
        {Spektrum, true, "lin", "Korrekturfaktor1 =33", "Korrekturfaktor2 =34"},
        {Durchgang, true, "lin", "Korrekturfaktor1 =13", "Korrekturfaktor2 =14"},
    };
    for (const Case& c : cases) {
        auto inst = sweep(c.messart, c.linear);
        inst->daten.Messwerte[1] = 123;
        const std::vector<std::string> lines = linesOf(messreiheSchreiben(*inst));
        ASSERT_EQ(lines.size(), 285u);
        EXPECT_EQ(lines[2], c.scale);
        EXPECT_EQ(lines[3], c.k1);
        EXPECT_EQ(lines[4], c.k2);
        if (c.messart == Spektrum) {
            EXPECT_EQ(lines[5], "10000000;123;123");
        }
    }
}

TEST(SeriesWrite, OtherModesWriteNothing) {
    for (int32_t messart : {int32_t{Rohwerte}, int32_t{VFO}, int32_t{SmithModus}, 0, 7})
        EXPECT_EQ(messreiheSchreiben(*sweep(messart, false)), "") << messart;
}

TEST(SeriesWrite, PointCountsAndFrequencyWrap) {
    struct Case {
        int32_t messpunkte;
        size_t lines;
    };
    for (const Case c : {Case{1, 6}, Case{300, 305}, Case{301, 305}, Case{0, 5}, Case{-3, 5}}) {
        auto inst = sweep(Spektrum, false);
        inst->e.Messpunkte = c.messpunkte;
        EXPECT_EQ(linesOf(messreiheSchreiben(*inst)).size(), c.lines) << c.messpunkte;
    }
    auto inst = sweep(Spektrum, false);
    inst->e.Startfrequenz = INT32_MAX;
    inst->e.Schrittweite = 1;
    inst->e.Messpunkte = 2;
    EXPECT_EQ(linesOf(messreiheSchreiben(*inst))[6], "-2147483648;2;2");
}

// ---- Reading ----

std::vector<std::string> transmissionFile(int dataLines) {
    std::vector<std::string> lines = {"Durchgangsmessung VEKA", "Kopf", "log",
                                      "Korrekturfaktor1 =50", "Korrekturfaktor2 =250"};
    for (int k = 1; k <= dataLines; ++k)
        lines.push_back(std::to_string(1000 + 10 * k) + ";" + std::to_string(k) + ";0");
    return lines;
}

std::vector<int32_t> counting(int n) {
    std::vector<int32_t> v;
    for (int k = 1; k <= n; ++k) v.push_back(k);
    return v;
}

TEST(SeriesRead, TagMustMatchExactly) {
    for (const std::string tag :
         {"durchgangsmessung VEKA", "Durchgangsmessung VEKA ", "Durchgangsmessung veka", "",
          " Reflexionsmessung VEKA", "Spektralmessung"}) {
        bool wrong = false;
        EXPECT_EQ(messreiheLesen(crlf({tag, "x", "log", "", "", "1;2;3"}), &wrong), std::nullopt);
        EXPECT_TRUE(wrong) << tag;
    }
    bool wrong = true;
    EXPECT_TRUE(messreiheLesen(crlf(transmissionFile(3)), &wrong).has_value());
    EXPECT_FALSE(wrong);
}

TEST(SeriesRead, HundredDataLines) {
    const auto reihe = messreiheLesen(crlf(transmissionFile(100)), nullptr);
    ASSERT_TRUE(reihe);
    EXPECT_EQ(reihe->art, Durchgang);
    EXPECT_EQ(reihe->ueberschrift, "Kopf");
    EXPECT_FALSE(reihe->linear);
    EXPECT_EQ(reihe->F0, 1010);
    EXPECT_EQ(reihe->S, 10);
    EXPECT_EQ(reihe->werte, counting(100));
}

TEST(SeriesRead, ScaleLine) {
    for (const auto& [scale, linear] : std::vector<std::pair<std::string, bool>>{
             {"lin", true}, {"LIN", false}, {"lin ", false}, {"log", false}, {"", false}}) {
        std::vector<std::string> lines = transmissionFile(2);
        lines[2] = scale;
        EXPECT_EQ(messreiheLesen(crlf(lines), nullptr)->linear, linear) << scale;
    }
}

TEST(SeriesRead, LengthLimits) {
    struct Case {
        std::string bytes;
        std::vector<int32_t> werte;
    };
    const std::string full = crlf(transmissionFile(3));
    const std::vector<Case> cases = {
        {full + "\r\n", {1, 2, 3, 0}},                 // empty last line adds a 0
        {full.substr(0, full.size() - 2), {1, 2, 3}},  // no line end after the last line
        {crlf(transmissionFile(1)), {1, 0}},           // second data line read past the end
        {crlf(transmissionFile(0)), {0, 0}},
        {"Durchgangsmessung VEKA", {0, 0}},
        {crlf(transmissionFile(400)), counting(300)},
        {full + "\x1A"
                "9;9;9\r\n",
         {1, 2, 3}},
    };
    for (const Case& c : cases) EXPECT_EQ(messreiheLesen(c.bytes, nullptr)->werte, c.werte);
}

TEST(SeriesRead, FieldParsing) {
    struct Case {
        std::string line;
        int32_t wert;
    };
    const std::vector<Case> cases = {
        {"1;2;3", 2},     {"1;2", 0},     {"1;;3", 0},     {"1; -7x;3", -7},
        {"1;$ff;3", 255}, {"1;abc;3", 0}, {"12345", 0},    {"1;2;3;4", 2},
        {";5;", 5},       {"", 0},        {"1;0x10;", 16}, {"1;+4;", 4},
    };
    for (const Case& c : cases) {
        std::vector<std::string> lines = transmissionFile(2);
        lines.push_back(c.line);
        EXPECT_EQ(messreiheLesen(crlf(lines), nullptr)->werte.at(2), c.wert) << c.line;
    }
}

TEST(SeriesRead, StartAndStepFromTheFirstTwoLines) {
    struct Case {
        std::string first, second;
        int32_t F0, S;
    };
    const std::vector<Case> cases = {
        {"10000000;1;0", "10010000;2;0", 10000000, 10000},
        {"5;1", "3;2", 5, -2},
        {"x;1;", "7;2;", 0, 7},
        {"2147483647;1;", "-2147483648;2;", INT32_MAX, 1},  // the step wraps
        {"100", "200", 0, 0},                               // without ";" the first field is empty
    };
    for (const Case& c : cases) {
        std::vector<std::string> lines = transmissionFile(0);
        lines.push_back(c.first);
        lines.push_back(c.second);
        const auto reihe = messreiheLesen(crlf(lines), nullptr);
        EXPECT_EQ(reihe->F0, c.F0) << c.first;
        EXPECT_EQ(reihe->S, c.S) << c.second;
    }
}

TEST(SeriesRead, ReflectionReferenceLines) {
    const std::vector<std::string> lines = {"Reflexionsmessung VEKA",
                                            "Gr\xFC\xDF"
                                            "e",
                                            "50;12",
                                            "100;15;x",
                                            " 7 ; 9",
                                            "abc",
                                            "",
                                            "60",
                                            ";5",
                                            "lin",
                                            "f1",
                                            "f2",
                                            "1;10;10",
                                            "2;20;20"};
    const auto reihe = messreiheLesen(crlf(lines), nullptr);
    ASSERT_TRUE(reihe);
    EXPECT_EQ(reihe->art, Reflexion);
    EXPECT_EQ(reihe->ueberschrift, "Grüße");
    const std::vector<std::pair<int32_t, int32_t>> expected = {{50, 12}, {100, 15}, {7, 9}, {0, 0},
                                                               {0, 0},   {0, 60},   {0, 5}};
    for (size_t k = 0; k < 7; ++k) {
        EXPECT_EQ(reihe->linien[k].hoehe, expected[k].first) << k;
        EXPECT_EQ(reihe->linien[k].text, expected[k].second) << k;
    }
    EXPECT_TRUE(reihe->linear);
    EXPECT_EQ(reihe->werte, (std::vector<int32_t>{10, 20}));
}

TEST(SeriesRead, WrittenFilesReadBack) {
    for (int32_t messart : {Durchgang, Reflexion, Spektrum}) {
        auto inst = sweep(messart, messart == Reflexion);
        inst->e.Startfrequenz = 1000000;
        inst->e.Schrittweite = -250;
        inst->e.Messpunkte = 50;
        const auto reihe = messreiheLesen(messreiheSchreiben(*inst), nullptr);
        ASSERT_TRUE(reihe);
        EXPECT_EQ(reihe->art, messart);
        EXPECT_EQ(reihe->ueberschrift, inst->Diagrammueberschrift);
        EXPECT_EQ(reihe->linear, messart == Reflexion);
        EXPECT_EQ(reihe->F0, 1000000);
        EXPECT_EQ(reihe->S, -250);
        EXPECT_EQ(reihe->werte, counting(50));
        if (messart == Reflexion) {
            EXPECT_EQ(reihe->linien[6].hoehe, 350);
        }
    }
}

}  // namespace
}  // namespace veka
