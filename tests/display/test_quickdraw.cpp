// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <functional>
#include <limits>
#include <memory>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "display/quickdraw.h"

namespace veka {
namespace {

using Punkte = std::set<std::pair<int, int>>;

constexpr uint8_t kGrund = 0x11;
constexpr uint8_t kStift = 0xAB;

// Surfaces are 300 KB each; keep them off the stack.
std::unique_ptr<TBildfeld> neuesFeld(uint8_t grund = kGrund) {
    auto feld = std::make_unique<TBildfeld>();
    feld->pixel.fill(grund);
    return feld;
}

Punkte gesetzt(const TBildfeld& feld, uint8_t farbe = kStift) {
    Punkte p;
    for (int x = 1; x <= BildBreite; ++x) {
        for (int y = 1; y <= BildHoehe; ++y) {
            if (feld.at(x, y) == farbe) p.insert({x, y});
        }
    }
    return p;
}

size_t anzahlUngleich(const TBildfeld& feld, uint8_t grund = kGrund) {
    size_t n = 0;
    for (uint8_t b : feld.pixel) n += b != grund;
    return n;
}

// ---------------------------------------------------------------- PunktSetzen

struct PunktFall {
    int32_t x, y;
    long byte;  // -1: nothing may change
};

class PunktSetzenTest : public ::testing::TestWithParam<PunktFall> {};

TEST_P(PunktSetzenTest, SchreibtGenauEinByteOderKeins) {
    const PunktFall f = GetParam();
    auto feld = neuesFeld();
    PunktSetzen(*feld, f.x, f.y, kStift);
    if (f.byte < 0) {
        EXPECT_EQ(anzahlUngleich(*feld), 0u);
    } else {
        EXPECT_EQ(anzahlUngleich(*feld), 1u);
        EXPECT_EQ(feld->pixel[static_cast<size_t>(f.byte)], kStift);
    }
}

INSTANTIATE_TEST_SUITE_P(Raender, PunktSetzenTest,
                         ::testing::Values(PunktFall{0, 5, -1}, PunktFall{641, 5, -1},
                                           PunktFall{5, 0, -1}, PunktFall{5, 481, -1},
                                           PunktFall{INT32_MIN, INT32_MIN, -1},
                                           PunktFall{INT32_MAX, 1, -1}, PunktFall{1, 1, 0},
                                           PunktFall{640, 480, 307199}, PunktFall{1, 480, 479},
                                           PunktFall{2, 1, 480}, PunktFall{640, 1, 306720}));

// ---------------------------------------------------------------- version

TEST(Version, JederAufrufZaehltEinmal) {
    const std::vector<std::pair<const char*, std::function<void(TBildfeld&)>>> aufrufe = {
        {"PunktSetzen innen", [](TBildfeld& f) { PunktSetzen(f, 3, 3, 1); }},
        {"PunktSetzen aussen", [](TBildfeld& f) { PunktSetzen(f, 0, 0, 1); }},
        {"BildLoeschen", [](TBildfeld& f) { BildLoeschen(f, 1); }},
        {"LinieZiehen lang", [](TBildfeld& f) { LinieZiehen(f, 1, 1, 640, 300, 1); }},
        {"LinieZiehen leer", [](TBildfeld& f) { LinieZiehen(f, 9, 9, 9, 9, 1); }},
        {"ZeichenMalen", [](TBildfeld& f) { ZeichenMalen(f, 0, 0, U'8', 1); }},
        {"TextMalen", [](TBildfeld& f) { TextMalen(f, 0, 0, "123", 1); }},
        {"TextMalen aussen", [](TBildfeld& f) { TextMalen(f, 0, -100, "123", 1); }},
        {"SpaltenWischen", [](TBildfeld& f) { SpaltenWischen(f, 0, 200, 10, 10, 5, 1, 2); }},
    };
    for (const auto& [name, aufruf] : aufrufe) {
        auto feld = neuesFeld();
        feld->version = 41;
        aufruf(*feld);
        EXPECT_EQ(feld->version, 42u) << name;
    }
}

TEST(BildLoeschen, FuelltAlles) {
    auto feld = neuesFeld();
    BildLoeschen(*feld, kStift);
    EXPECT_EQ(anzahlUngleich(*feld, kStift), 0u);
}

// ---------------------------------------------------------------- LinieZiehen

struct LinienFall {
    const char* name;
    int32_t x1, y1, x2, y2;
    Punkte erwartet;
};

class LinieExaktTest : public ::testing::TestWithParam<LinienFall> {};

TEST_P(LinieExaktTest, GenauDiesePixelInBeidenRichtungen) {
    const LinienFall& f = GetParam();
    for (bool umgekehrt : {false, true}) {
        auto feld = neuesFeld();
        if (umgekehrt) {
            LinieZiehen(*feld, f.x2, f.y2, f.x1, f.y1, kStift);
        } else {
            LinieZiehen(*feld, f.x1, f.y1, f.x2, f.y2, kStift);
        }
        EXPECT_EQ(gesetzt(*feld), f.erwartet) << f.name << (umgekehrt ? " reversed" : "");
        EXPECT_EQ(anzahlUngleich(*feld), f.erwartet.size()) << f.name;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Beispiele, LinieExaktTest,
    ::testing::Values(
        LinienFall{"coinciding", 10, 10, 10, 10, {}},
        LinienFall{
            "horizontal", 10, 10, 14, 10, {{10, 10}, {11, 10}, {12, 10}, {13, 10}, {14, 10}}},
        LinienFall{"vertical", 7, 4, 7, 1, {{7, 1}, {7, 2}, {7, 3}, {7, 4}}},
        LinienFall{"flat 0.3",
                   20,
                   10,
                   10,
                   13,
                   {{10, 13},
                    {11, 13},
                    {12, 12},
                    {13, 12},
                    {14, 12},
                    {15, 12},
                    {16, 11},
                    {17, 11},
                    {18, 11},
                    {19, 10},
                    {20, 10}}},
        LinienFall{"diagonal", 1, 1, 5, 5, {{1, 1}, {2, 2}, {3, 3}, {4, 4}, {5, 5}}},
        LinienFall{"anti-diagonal", 5, 1, 1, 5, {{5, 1}, {4, 2}, {3, 3}, {2, 4}, {1, 5}}},
        // Exact halves go to the even neighbour: 0.5 -> 0, 1.5 -> 2.
        LinienFall{"flat halves", 1, 1, 5, 3, {{1, 1}, {2, 1}, {3, 2}, {4, 3}, {5, 3}}},
        LinienFall{"flat quarter", 1, 1, 5, 2, {{1, 1}, {2, 1}, {3, 1}, {4, 2}, {5, 2}}},
        LinienFall{"steep halves", 1, 1, 3, 5, {{1, 1}, {1, 2}, {2, 3}, {3, 4}, {3, 5}}},
        LinienFall{"steep upwards", 3, 1, 1, 5, {{3, 1}, {3, 2}, {2, 3}, {1, 4}, {1, 5}}},
        LinienFall{"clipped at corner", -2, -2, 2, 2, {{1, 1}, {2, 2}}},
        LinienFall{"right edge", 638, 5, 645, 5, {{638, 5}, {639, 5}, {640, 5}}},
        LinienFall{"outside row", 1, 0, 640, 0, {}},
        LinienFall{"outside column", 641, 1, 641, 480, {}}));

// Independent reference: every step of the run, product in long double (exact for the
// moderate coordinates used, since k < 2^11 and the slope has 53 bits), rounding by the
// default round-to-nearest-even mode, clipping per pixel.
void referenzLinie(TBildfeld& feld, int64_t x1, int64_t y1, int64_t x2, int64_t y2, uint8_t c) {
    auto setze = [&](int64_t x, int64_t y) {
        if (x >= 1 && x <= BildBreite && y >= 1 && y <= BildHoehe)
            feld.pixel[static_cast<size_t>((x - 1) * BildHoehe + (y - 1))] = c;
    };
    const int64_t dx = x1 - x2, dy = y1 - y2;
    if (dx == 0 && dy == 0) return;
    const bool flach = std::llabs(dy) < std::llabs(dx);
    if (!flach) {
        std::swap(x1, y1);
        std::swap(x2, y2);
    }
    if (x1 > x2) {
        std::swap(x1, x2);
        std::swap(y1, y2);
    }
    const double r = static_cast<double>(std::llabs(y2 - y1)) / static_cast<double>(x2 - x1);
    const int64_t s = y2 > y1 ? 1 : -1;
    for (int64_t k = 0; k <= x2 - x1; ++k) {
        const long double t = static_cast<long double>(k) * static_cast<long double>(r);
        const int64_t b = y1 + s * std::llrint(t);
        if (flach) {
            setze(x1 + k, b);
        } else {
            setze(b, x1 + k);
        }
    }
}

TEST(LinieZiehen, GleichReferenzBeiGrossenKoordinaten) {
    if (std::numeric_limits<long double>::digits < 64) GTEST_SKIP() << "needs 64-bit long double";
    std::mt19937 zufall(12345);
    // Spans stay below 2048 so the reference product is exact.
    std::uniform_int_distribution<int32_t> vx(-600, 1240), vy(-700, 1180), klein(-3, 12);
    auto feld = neuesFeld();
    auto ref = neuesFeld();
    for (int n = 0; n < 3000; ++n) {
        int32_t x1 = vx(zufall), y1 = vy(zufall), x2 = vx(zufall), y2 = vy(zufall);
        if (n % 3 == 0) {  // short segments, as drawn by the curve, near the origin
            x1 = klein(zufall);
            y1 = klein(zufall);
            x2 = x1 + klein(zufall);
            y2 = y1 + klein(zufall);
        }
        const uint8_t c = static_cast<uint8_t>(n % 250 + 1);
        LinieZiehen(*feld, x1, y1, x2, y2, c);
        referenzLinie(*ref, x1, y1, x2, y2, c);
        // A reversed line must cover the same pixels, so redraw it reversed on top.
        LinieZiehen(*feld, x2, y2, x1, y1, c);
        if (n % 100 == 99) {
            ASSERT_EQ(feld->pixel, ref->pixel) << "after line " << n;
        }
    }
    EXPECT_EQ(feld->pixel, ref->pixel);
}

TEST(LinieZiehen, FerneEndpunkteGeradeLinien) {
    constexpr int32_t kG = 2000000000;
    struct Fall {
        const char* name;
        int32_t x1, y1, x2, y2;
        std::function<bool(int, int)> aufLinie;
    };
    const std::vector<Fall> faelle = {
        {"horizontal", -kG, 100, kG, 100, [](int, int y) { return y == 100; }},
        {"horizontal int32 limits", INT32_MAX, 480, INT32_MIN, 480,
         [](int, int y) { return y == 480; }},
        {"vertical", 300, kG, 300, -kG, [](int x, int) { return x == 300; }},
        {"diagonal", -kG, -kG, kG, kG, [](int x, int y) { return x == y; }},
        {"anti-diagonal", kG, -kG + 481, -kG, kG + 481, [](int x, int y) { return x + y == 481; }},
        // Slope exactly 1/4: row = 100 + N(x / 4), halves to even.
        {"quarter", -kG, -500000000 + 100, kG, 500000000 + 100,
         [](int x, int y) { return y == 100 + static_cast<int>(std::nearbyint(x / 4.0)); }},
        {"steep quarter", -500000000 + 50, -kG, 500000000 + 50, kG,
         [](int x, int y) { return x == 50 + static_cast<int>(std::nearbyint(y / 4.0)); }},
        {"passes above", 1, -1000000, kG, 1000000, [](int, int) { return false; }},
        {"limits flat miss", INT32_MIN, INT32_MIN, INT32_MAX, INT32_MIN + 5,
         [](int, int) { return false; }},
    };
    for (const Fall& f : faelle) {
        auto feld = neuesFeld();
        LinieZiehen(*feld, f.x1, f.y1, f.x2, f.y2, kStift);
        Punkte erwartet;
        for (int x = 1; x <= BildBreite; ++x) {
            for (int y = 1; y <= BildHoehe; ++y) {
                if (f.aufLinie(x, y)) erwartet.insert({x, y});
            }
        }
        EXPECT_EQ(gesetzt(*feld), erwartet) << f.name;
        EXPECT_EQ(anzahlUngleich(*feld), erwartet.size()) << f.name;
    }
}

TEST(LinieZiehen, FerneSchraegeLinieBleibtAufDerGeraden) {
    // (-2e9, 5) to (2e9, 400): one pixel per visible column, within a pixel of the true line.
    auto feld = neuesFeld();
    LinieZiehen(*feld, -2000000000, 5, 2000000000, 400, kStift);
    const Punkte p = gesetzt(*feld);
    EXPECT_EQ(p.size(), static_cast<size_t>(BildBreite));
    EXPECT_EQ(anzahlUngleich(*feld), p.size());
    int vorher = 0;
    for (const auto& [x, y] : p) {
        const double wahr = 5.0 + (x + 2e9) * 395.0 / 4e9;
        EXPECT_LE(std::fabs(y - wahr), 0.5 + 1e-6) << x;
        EXPECT_GE(y, vorher);
        vorher = y;
    }
}

TEST(LinieZiehen, ExtremeEndpunkteOhneUeberlauf) {
    const int32_t werte[] = {INT32_MIN, INT32_MIN + 1, -1,       0, 1, 240,
                             640,       INT32_MAX - 1, INT32_MAX};
    auto feld = neuesFeld();
    for (int32_t a : werte) {
        for (int32_t b : werte) {
            for (int32_t c : werte) {
                LinieZiehen(*feld, a, b, c, a, kStift);
                LinieZiehen(*feld, b, a, a, c, kStift);
            }
        }
    }
    // Lines through (1,1)..: at least the corner diagonal is visible; mostly this is for UBSan.
    EXPECT_GT(anzahlUngleich(*feld), 0u);
}

// ---------------------------------------------------------------- glyphs and text

Punkte glyphenPunkte(const std::vector<const char*>& zeilen, int x, int y) {
    Punkte p;
    for (size_t j = 0; j < zeilen.size(); ++j) {
        for (int i = 0; zeilen[j][i] != '\0'; ++i) {
            if (zeilen[j][i] == '#') p.insert({x + i + 1, y + static_cast<int>(j) + 1});
        }
    }
    return p;
}

struct GlyphFall {
    char32_t zeichen;
    std::vector<const char*> bild;
};

class GlyphTest : public ::testing::TestWithParam<GlyphFall> {};

TEST_P(GlyphTest, Bitmap) {
    const GlyphFall& f = GetParam();
    auto feld = neuesFeld();
    ZeichenMalen(*feld, 100, 200, f.zeichen, kStift);
    const Punkte erwartet = glyphenPunkte(f.bild, 100, 200);
    EXPECT_EQ(gesetzt(*feld), erwartet);
    // Clear bits leave the background alone.
    EXPECT_EQ(anzahlUngleich(*feld), erwartet.size());
}

INSTANTIATE_TEST_SUITE_P(Ziffernschrift, GlyphTest,
                         ::testing::Values(GlyphFall{U'5',
                                                     {
                                                         ".#####..",
                                                         ".#......",
                                                         ".####...",
                                                         ".....#..",
                                                         ".....#..",
                                                         "#....#..",
                                                         ".####...",
                                                         "........",
                                                     }},
                                           GlyphFall{U'7',
                                                     {
                                                         ".######.",
                                                         ".#.....#",
                                                         "......#.",
                                                         ".....#..",
                                                         "....#...",
                                                         "....#...",
                                                         "....#...",
                                                         "........",
                                                     }},
                                           GlyphFall{U'1',
                                                     {
                                                         ".....#..",
                                                         "....##..",
                                                         "...#.#..",
                                                         ".....#..",
                                                         ".....#..",
                                                         ".....#..",
                                                         "....###.",
                                                     }},
                                           GlyphFall{U',',
                                                     {
                                                         "",
                                                         "",
                                                         "",
                                                         "",
                                                         "",
                                                         "....#...",
                                                         "....#...",
                                                         "...#....",
                                                     }},
                                           GlyphFall{U'-', {"", "", "", ".######."}},
                                           GlyphFall{U'.', {"", "", "", "", "", "", "....#..."}},
                                           GlyphFall{U'A', {}}, GlyphFall{U' ', {}},
                                           GlyphFall{U'\u00B5', {}}));

TEST(ZeichenMalen, AmRandGeclippt) {
    auto feld = neuesFeld();
    // '-' row 4 covers cell columns 2..7; at x = 635 that is columns 637..642.
    ZeichenMalen(*feld, 635, 476, U'-', kStift);
    EXPECT_EQ(gesetzt(*feld), (Punkte{{637, 480}, {638, 480}, {639, 480}, {640, 480}}));
    auto feld2 = neuesFeld();
    ZeichenMalen(*feld2, INT32_MAX, INT32_MAX, U'8', kStift);
    ZeichenMalen(*feld2, INT32_MIN, INT32_MIN, U'8', kStift);
    EXPECT_EQ(anzahlUngleich(*feld2), 0u);
}

// Cells drawn by TextMalen must equal ZeichenMalen at x + 8 (k - 1).
std::unique_ptr<TBildfeld> zellenweise(int32_t x, int32_t y, const std::vector<char32_t>& zellen) {
    auto feld = neuesFeld();
    for (size_t k = 0; k < zellen.size(); ++k) {
        ZeichenMalen(*feld, x + 8 * static_cast<int32_t>(k), y, zellen[k], kStift);
    }
    return feld;
}

struct TextFall {
    const char* name;
    int32_t x, y;
    std::string text;
    std::vector<char32_t> zellen;
};

class TextTest : public ::testing::TestWithParam<TextFall> {};

TEST_P(TextTest, EineZelleProZeichen) {
    const TextFall& f = GetParam();
    auto feld = neuesFeld();
    TextMalen(*feld, f.x, f.y, f.text, kStift);
    EXPECT_EQ(feld->pixel, zellenweise(f.x, f.y, f.zellen)->pixel) << f.name;
}

INSTANTIATE_TEST_SUITE_P(
    Texte, TextTest,
    ::testing::Values(TextFall{"digits", 10, 20, "-12.5", {U'-', U'1', U'2', U'.', U'5'}},
                      TextFall{"blank keeps its cell", 0, 0, "1 2", {U'1', U' ', U'2'}},
                      TextFall{"two-byte",
                               0,
                               0,
                               "\xC2\xB5"
                               "5",
                               {U'x', U'5'}},
                      TextFall{"three-byte",
                               0,
                               0,
                               "\xE2\x82\xAC"
                               "5",
                               {U'x', U'5'}},
                      TextFall{"four-byte",
                               0,
                               0,
                               "\xF0\x9F\x98\x80"
                               "5",
                               {U'x', U'5'}},
                      TextFall{"stray byte",
                               0,
                               0,
                               "\xFF"
                               "5",
                               {U'x', U'5'}},
                      TextFall{"lone continuation",
                               0,
                               0,
                               "\x80\x80"
                               "5",
                               {U'x', U'x', U'5'}},
                      TextFall{"truncated sequence",
                               0,
                               0,
                               "\xE2\x82"
                               "5",
                               {U'x', U'x', U'5'}},
                      TextFall{"overlong",
                               0,
                               0,
                               "\xC0\xB1"
                               "5",
                               {U'x', U'x', U'5'}},
                      TextFall{"surrogate",
                               0,
                               0,
                               "\xED\xA0\x80"
                               "5",
                               {U'x', U'x', U'x', U'5'}},
                      TextFall{"cut at the end", 0, 0, "5\xE2", {U'5', U'x'}},
                      TextFall{"right edge", 620, 100, "12345", {U'1', U'2', U'3', U'4', U'5'}},
                      TextFall{"negative x", -12, 100, "123", {U'1', U'2', U'3'}},
                      TextFall{"bottom edge", 0, 476, "88", {U'8', U'8'}}));

TEST(TextMalen, NurZiffernzellenWerdenBemalt) {
    auto feld = neuesFeld();
    const std::string text = "2147.483.647 Hz";
    TextMalen(*feld, 0, 0, text, kStift);
    const int zellen = 12;  // digits and dots before the blank
    int rechts = 0;
    for (const auto& [x, y] : gesetzt(*feld)) rechts = std::max(rechts, x);
    EXPECT_GT(rechts, 8 * (zellen - 1));
    EXPECT_LE(rechts, 8 * zellen);
}

TEST(TextMalen, RiesigeKoordinatenUndLangerText) {
    const std::string lang(1 << 20, '8');
    const std::pair<int32_t, int32_t> orte[] = {
        {INT32_MAX, 10}, {INT32_MAX - 7, 10}, {INT32_MIN, 10}, {10, INT32_MAX}, {10, INT32_MIN}};
    for (const auto& [x, y] : orte) {
        auto feld = neuesFeld();
        TextMalen(*feld, x, y, lang, kStift);
        EXPECT_EQ(anzahlUngleich(*feld), 0u) << x << "," << y;
    }
    // A long text from the left fills exactly the 80 cells of a row.
    auto feld = neuesFeld();
    TextMalen(*feld, 0, 0, lang, kStift);
    EXPECT_EQ(feld->pixel, zellenweise(0, 0, std::vector<char32_t>(80, U'8'))->pixel);
}

// ---------------------------------------------------------------- SpaltenWischen

struct WischFall {
    const char* name;
    int32_t x0, p;
    std::vector<int> spalten;  // wiped columns inside the surface
};

class WischTest : public ::testing::TestWithParam<WischFall> {};

TEST_P(WischTest, FuenfSpaltenGeclippt) {
    const WischFall& f = GetParam();
    auto feld = neuesFeld();
    SpaltenWischen(*feld, f.x0, 240, f.p, f.p ^ 1, 0, kStift, 0x77);
    std::set<int> erwartet(f.spalten.begin(), f.spalten.end());
    for (int x = 1; x <= BildBreite; ++x) {
        for (int y = 1; y <= BildHoehe; ++y) {
            ASSERT_EQ(feld->at(x, y), erwartet.count(x) ? kStift : kGrund)
                << f.name << " at " << x << "," << y;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Spalten, WischTest,
    ::testing::Values(WischFall{"middle", 10, 5, {19, 20, 21, 22, 23}},
                      WischFall{"first point", 0, 1, {1, 2, 3, 4, 5}},
                      WischFall{"right edge", 630, 4, {637, 638, 639, 640}},
                      WischFall{"past right edge", 638, 1, {639, 640}},
                      WischFall{"negative x0", -5, 2, {1, 2}}, WischFall{"far left", -100, 3, {}},
                      WischFall{"int32 limits", INT32_MAX, INT32_MAX, {}},
                      WischFall{"int32 low limits", INT32_MIN, INT32_MIN, {}},
                      WischFall{"sum exactly zero", INT32_MIN, 1073741824, {1, 2, 3}},
                      WischFall{"wraps if 32-bit", 10, INT32_MAX, {}}));

TEST(SpaltenWischen, CursorfahneUeberlebtDasWischen) {
    auto feld = neuesFeld();
    // X = 10 + 2 * 7 = 24, Y = 300 - 50 = 250.
    SpaltenWischen(*feld, 10, 300, 7, 7, 50, 0x22, kStift);
    Punkte fahne;
    const int anfang[5] = {249, 248, 246, 244, 242};
    for (int i = 0; i < 5; ++i) {
        for (int y = 240; y <= anfang[i]; ++y) fahne.insert({24 - i, y});
    }
    EXPECT_EQ(gesetzt(*feld, kStift), fahne);
    for (int x = 20; x <= 27; ++x) {
        for (int y = 1; y <= BildHoehe; ++y) {
            if (fahne.count({x, y})) continue;
            ASSERT_EQ(feld->at(x, y), (x >= 23 ? 0x22 : kGrund)) << x << "," << y;
        }
    }
}

TEST(SpaltenWischen, CursorfahneGeclippt) {
    struct Fall {
        int32_t x0, y0, p, wert;
        Punkte fahne;
    };
    const std::vector<Fall> faelle = {
        // X = 2: only columns 2 and 1 are visible; Y = 10 so rows 1 .. Y-1 / Y-2 remain.
        {0,
         10,
         1,
         0,
         {{2, 1},
          {2, 2},
          {2, 3},
          {2, 4},
          {2, 5},
          {2, 6},
          {2, 7},
          {2, 8},
          {2, 9},
          {1, 1},
          {1, 2},
          {1, 3},
          {1, 4},
          {1, 5},
          {1, 6},
          {1, 7},
          {1, 8}}},
        {100, 5, 3, -1000, {}},
        {INT32_MAX, INT32_MIN, INT32_MAX, INT32_MAX, {}},
        {INT32_MIN, INT32_MAX, INT32_MIN, INT32_MIN, {}},
    };
    for (const Fall& f : faelle) {
        auto feld = neuesFeld();
        SpaltenWischen(*feld, f.x0, f.y0, f.p, f.p, f.wert, 0x22, kStift);
        EXPECT_EQ(gesetzt(*feld, kStift), f.fahne) << f.x0 << "," << f.y0;
    }
}

// ---------------------------------------------------------------- BilderVerknuepfen

using quickdraw_detail::Verknuepfung;

class VerknuepfenTest : public ::testing::TestWithParam<Verknuepfung> {};

TEST_P(VerknuepfenTest, GleichNaiverReferenz) {
    std::mt19937 zufall(777);
    auto raster = neuesFeld();
    auto diagramm = neuesFeld();
    for (int runde = 0; runde < 3; ++runde) {
        for (auto& b : raster->pixel) b = static_cast<uint8_t>(zufall());
        for (auto& b : diagramm->pixel)
            b = static_cast<uint8_t>(zufall() | (runde == 2 ? 0xF0 : 0));
        Anzeigebitmap bitmap;
        if (!quickdraw_detail::BilderVerknuepfenMit(GetParam(), bitmap, *raster, *diagramm)) {
            GTEST_SKIP() << "not available here";
        }
        for (int y = 0; y < Anzeigebitmap::Hoehe; ++y) {
            for (int x = 0; x < Anzeigebitmap::Zeilenlaenge; ++x) {
                const bool flaeche = x >= 1 && x <= BildBreite && y >= 1;
                const uint8_t soll =
                    flaeche ? static_cast<uint8_t>(raster->at(x, y) & diagramm->at(x, y)) : 0xFF;
                ASSERT_EQ(bitmap.zeile(y)[x], soll) << x << "," << y;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Wege, VerknuepfenTest,
                         ::testing::Values(Verknuepfung::Skalar, Verknuepfung::Sse2,
                                           Verknuepfung::Avx2));

TEST(BilderVerknuepfen, OeffentlicherAufrufGleichSkalar) {
    std::mt19937 zufall(99);
    auto raster = neuesFeld();
    auto diagramm = neuesFeld();
    for (auto& b : raster->pixel) b = static_cast<uint8_t>(zufall());
    for (auto& b : diagramm->pixel) b = static_cast<uint8_t>(zufall());
    Anzeigebitmap schnell, skalar;
    BilderVerknuepfen(schnell, *raster, *diagramm);
    ASSERT_TRUE(
        quickdraw_detail::BilderVerknuepfenMit(Verknuepfung::Skalar, skalar, *raster, *diagramm));
    EXPECT_TRUE(std::equal(schnell.data(),
                           schnell.data() + Anzeigebitmap::Zeilenlaenge * Anzeigebitmap::Hoehe,
                           skalar.data()));
}

// ---------------------------------------------------------------- changed rectangles

TEST(Spaltenbereich, DazuSchneidetZuUndVereinigt) {
    struct Fall {
        const char* name;
        Spaltenbereich vorher;
        int64_t a, b;
        Spaltenbereich nachher;
    };
    const Spaltenbereich leer;
    const Fall faelle[] = {
        {"empty plus one", leer, 7, 7, {7, 7}},
        {"either order", leer, 20, 10, {10, 20}},
        {"cut left", leer, -50, 3, {1, 3}},
        {"cut right", leer, 630, 9000, {630, 640}},
        {"wholly left", leer, -9, 0, leer},
        {"wholly right", leer, 641, 700, leer},
        {"int64 extremes", leer, INT64_MIN, INT64_MAX, Spaltenbereich::alle()},
        {"grows left", {10, 20}, 5, 5, {5, 20}},
        {"grows right", {10, 20}, 30, 31, {10, 31}},
        {"inside stays", {10, 20}, 12, 15, {10, 20}},
        {"outside leaves it", {10, 20}, 0, -4, {10, 20}},
    };
    for (const Fall& f : faelle) {
        Spaltenbereich b = f.vorher;
        b.dazu(f.a, f.b);
        EXPECT_EQ(b, f.nachher) << f.name;
        EXPECT_EQ(static_cast<bool>(b), !f.nachher.leer()) << f.name;
    }
    Spaltenbereich b{30, 40};
    b.dazu(leer);
    EXPECT_EQ(b, (Spaltenbereich{30, 40}));
    b.dazu(Spaltenbereich{2, 3});
    EXPECT_EQ(b, (Spaltenbereich{2, 40}));
    EXPECT_EQ(b.anzahl(), 39);
    EXPECT_EQ(leer.anzahl(), 0);
}

TEST(Spaltenbereich, NeueFlaecheGiltAlsGanzGeaendert) {
    auto feld = std::make_unique<TBildfeld>();
    EXPECT_EQ(feld->geaendert, Bildbereich::alle());
}

// The smallest rectangle around the pixels that differ between two states of a surface.
Bildbereich unterschied(const TBildfeld& a, const TBildfeld& b) {
    Bildbereich r;
    for (int x = 1; x <= BildBreite; ++x) {
        for (int y = 1; y <= BildHoehe; ++y) {
            if (a.at(x, y) != b.at(x, y)) r.dazu(x, x, y, y);
        }
    }
    return r;
}

using Zeichnung = std::function<void(TBildfeld&)>;

// Every primitive marks exactly the columns and rows it wrote: drawn in a colour unlike the
// background, those are what changed. A wipe marks only what it really changed.
TEST(Bildbereich, JedeZeichnungMarkiertGenauIhrRechteck) {
    const std::vector<std::pair<const char*, Zeichnung>> faelle = {
        {"point inside", [](TBildfeld& f) { PunktSetzen(f, 3, 3, kStift); }},
        {"point outside", [](TBildfeld& f) { PunktSetzen(f, 0, 3, kStift); }},
        {"clear", [](TBildfeld& f) { BildLoeschen(f, kStift); }},
        {"flat line", [](TBildfeld& f) { LinieZiehen(f, 20, 10, 10, 13, kStift); }},
        {"steep line", [](TBildfeld& f) { LinieZiehen(f, 50, 1, 47, 400, kStift); }},
        {"horizontal, cut", [](TBildfeld& f) { LinieZiehen(f, -30, 9, 4, 9, kStift); }},
        {"horizontal, other row", [](TBildfeld& f) { LinieZiehen(f, 5, 0, 40, 0, kStift); }},
        {"vertical, cut", [](TBildfeld& f) { LinieZiehen(f, 640, -5, 640, 2, kStift); }},
        {"vertical, above", [](TBildfeld& f) { LinieZiehen(f, 9, -50, 9, -1, kStift); }},
        {"long diagonal, cut", [](TBildfeld& f) { LinieZiehen(f, -200, 700, 900, -3, kStift); }},
        {"line that misses", [](TBildfeld& f) { LinieZiehen(f, -9, 600, 700, 481, kStift); }},
        {"empty line", [](TBildfeld& f) { LinieZiehen(f, 9, 9, 9, 9, kStift); }},
        {"glyph", [](TBildfeld& f) { ZeichenMalen(f, 100, 100, U'1', kStift); }},
        {"blank glyph", [](TBildfeld& f) { ZeichenMalen(f, 100, 100, U'x', kStift); }},
        {"text at the edge", [](TBildfeld& f) { TextMalen(f, 620, 5, "10.000", kStift); }},
        {"wipe", [](TBildfeld& f) { SpaltenWischen(f, 30, 410, 7, 0, 50, kStift, kStift); }},
        {"wipe and flag", [](TBildfeld& f) { SpaltenWischen(f, 30, 410, 7, 7, 50, 0x22, kStift); }},
        {"wipe in the background colour",
         [](TBildfeld& f) { SpaltenWischen(f, 30, 410, 7, 0, 50, kGrund, kStift); }},
        {"wipe, right edge",
         [](TBildfeld& f) { SpaltenWischen(f, 630, 240, 4, 4, 5, 0x22, kStift); }},
    };
    for (const auto& [name, zeichnen] : faelle) {
        auto feld = neuesFeld();
        feld->geaendert = {};
        const auto vorher = std::make_unique<TBildfeld>(*feld);
        zeichnen(*feld);
        EXPECT_EQ(feld->geaendert, unterschied(*vorher, *feld)) << name;
    }
    // A wipe over the old curve marks the rows of its trace, not the whole column.
    auto feld = neuesFeld();
    PunktSetzen(*feld, 44, 200, kStift);
    PunktSetzen(*feld, 45, 230, kStift);
    feld->geaendert = {};
    SpaltenWischen(*feld, 30, 410, 7, 0, 50, kGrund, kStift);  // columns 43 to 47
    EXPECT_EQ(feld->geaendert, Bildbereich(Spaltenbereich{44, 45}, Zeilenbereich{200, 230}));
    // Old pixels at the top and bottom of a column, on and off eight-row boundaries.
    for (const auto& [oben, unten] : std::vector<std::pair<int, int>>{
             {1, 1}, {1, 480}, {8, 9}, {7, 16}, {9, 472}, {473, 479}, {480, 480}, {17, 17}}) {
        feld = neuesFeld();
        PunktSetzen(*feld, 46, oben, kStift);
        PunktSetzen(*feld, 46, unten, kStift);
        feld->geaendert = {};
        SpaltenWischen(*feld, 30, 410, 7, 0, 50, kGrund, kStift);
        EXPECT_EQ(feld->geaendert, Bildbereich(Spaltenbereich{46, 46}, Zeilenbereich{oben, unten}))
            << oben << ".." << unten;
        EXPECT_TRUE(gesetzt(*feld, kStift).empty()) << oben << ".." << unten;
    }
}

// A copy of some columns, cut to the surface: afterwards only what differs from it counts,
// found eight rows at a time (the sweep's own use is checked with the sweep).
TEST(Spaltenstand, MarkiertNurWasSichAmEndeUnterscheidet) {
    const struct {
        int64_t xa, xb, x, ya, yb;
    } faelle[] = {{-3, 4, 1, 1, 1},
                  {636, 700, 640, 480, 480},
                  {40, 47, 44, 8, 9},
                  {40, 47, 47, 7, 17},
                  {40, 47, 40, 1, 480}};
    for (const auto& f : faelle) {
        auto feld = neuesFeld();
        const auto vorher = std::make_unique<TBildfeld>(*feld);
        const Spaltenstand stand(*feld, f.xa, f.xb);
        LinieZiehen(*feld, f.x, f.ya, f.x, f.yb, kStift);
        PunktSetzen(*feld, f.x, f.yb + 1, kStift), PunktSetzen(*feld, f.x, f.yb + 1, kGrund);
        feld->geaendert = {};
        stand.markieren(*feld);
        EXPECT_EQ(feld->geaendert, unterschied(*vorher, *feld)) << f.x << " " << f.ya;
    }
}

// A window picture kept up to date by combining only the changed rectangle after each step
// equals one made by a full combination, whichever way combines, and each step reports
// exactly the rows in which the picture changed.
struct TeilFall {
    const char* name;
    std::vector<std::pair<bool, Zeichnung>> schritte;  // first: draws on the grid
};

void zufallsFuellen(TBildfeld& f, uint32_t saat) {
    std::mt19937 zufall(saat);
    for (auto& b : f.pixel) b = static_cast<uint8_t>(zufall() | 0x81);
}

class TeilVerknuepfenTest : public ::testing::TestWithParam<std::tuple<Verknuepfung, TeilFall>> {};

TEST_P(TeilVerknuepfenTest, GleichGanzerVerknuepfung) {
    const auto& [weg, fall] = GetParam();
    auto raster = neuesFeld();
    auto diagramm = neuesFeld();
    zufallsFuellen(*raster, 1);
    zufallsFuellen(*diagramm, 2);
    Anzeigebitmap teil, ganz;
    if (!quickdraw_detail::BilderVerknuepfenMit(weg, teil, *raster, *diagramm))
        GTEST_SKIP() << "not available here";
    raster->geaendert = diagramm->geaendert = {};
    for (const auto& [aufRaster, zeichnen] : fall.schritte) {
        zeichnen(aufRaster ? *raster : *diagramm);
        Bildbereich b = raster->geaendert;
        b.dazu(diagramm->geaendert);
        raster->geaendert = diagramm->geaendert = {};
        const Anzeigebitmap vorher = teil;
        const auto zeilen =
            quickdraw_detail::BilderVerknuepfenMit(weg, teil, *raster, *diagramm, b);
        ASSERT_TRUE(zeilen);
        Zeilenbereich soll;
        for (int y = 0; y < Anzeigebitmap::Hoehe; ++y) {
            if (!std::equal(teil.zeile(y), teil.zeile(y) + Anzeigebitmap::Zeilenlaenge,
                            vorher.zeile(y)))
                soll.dazu(y, y);
        }
        EXPECT_EQ(*zeilen, soll) << fall.name;
        BilderVerknuepfen(ganz, *raster, *diagramm);
        ASSERT_TRUE(std::equal(teil.data(),
                               teil.data() + Anzeigebitmap::Zeilenlaenge * Anzeigebitmap::Hoehe,
                               ganz.data()))
            << fall.name;
    }
}

// The sweep's step of point p: wipe, flag at the cursor, the two segments.
Zeichnung sweepSchritt(int p) {
    return [p](TBildfeld& f) {
        SpaltenWischen(f, 30, 410, p, 140, 200, 255, 24);
        LinieZiehen(f, 30 + 2 * p - 1, 300, 30 + 2 * p + 1, 210, 230);
        LinieZiehen(f, 30 + 2 * p + 1, 210, 30 + 2 * p + 3, 409, 230);
    };
}

std::vector<std::pair<bool, Zeichnung>> sweepSchritte(int von, int bis) {
    std::vector<std::pair<bool, Zeichnung>> s;
    for (int p = von; p <= bis; ++p) s.push_back({false, sweepSchritt(p)});
    return s;
}

const TeilFall kTeilFaelle[] = {
    {"nothing drawn", {{false, [](TBildfeld&) {}}}},
    {"sweep start", sweepSchritte(2, 9)},
    {"sweep at the cursor", sweepSchritte(138, 142)},
    {"sweep end, 300 points", sweepSchritte(295, 299)},
    {"line on the grid", {{true, [](TBildfeld& f) { LinieZiehen(f, 1, 1, 640, 480, 0); }}}},
    {"grid and curve",
     {{true, [](TBildfeld& f) { LinieZiehen(f, 30, 50, 590, 50, 0); }},
      {false, [](TBildfeld& f) { LinieZiehen(f, 100, 10, 101, 400, 7); }}}},
    {"text at both edges",
     {{true, [](TBildfeld& f) { TextMalen(f, -3, 20, "1.2", 0); }},
      {true, [](TBildfeld& f) { TextMalen(f, 630, 20, "88", 0); }}}},
    {"redraw", {{false, [](TBildfeld& f) { BildLoeschen(f, 255); }}}},
    {"the same pixels again",
     {{false, [](TBildfeld& f) { LinieZiehen(f, 40, 33, 90, 33, 6); }},
      {false, [](TBildfeld& f) { LinieZiehen(f, 40, 33, 90, 33, 6); }}}},
    {"single pixels at the edges",
     {{false, [](TBildfeld& f) { PunktSetzen(f, 1, 1, 3); }},
      {true, [](TBildfeld& f) { PunktSetzen(f, 640, 480, 5); }},
      {false, [](TBildfeld& f) { PunktSetzen(f, 17, 300, 9); }}}},
};

INSTANTIATE_TEST_SUITE_P(Faelle, TeilVerknuepfenTest,
                         ::testing::Combine(::testing::Values(Verknuepfung::Skalar,
                                                              Verknuepfung::Sse2,
                                                              Verknuepfung::Avx2),
                                            ::testing::ValuesIn(kTeilFaelle)));

// Columns far from the range keep what the picture held; the range itself is combined.
TEST(BilderVerknuepfen, TeilbereichLaesstFerneSpaltenInRuhe) {
    auto raster = neuesFeld(0x0F);
    auto diagramm = neuesFeld(0x3C);
    for (Verknuepfung weg : {Verknuepfung::Skalar, Verknuepfung::Sse2, Verknuepfung::Avx2}) {
        Anzeigebitmap bitmap;  // all 0xFF
        if (!quickdraw_detail::BilderVerknuepfenMit(weg, bitmap, *raster, *diagramm,
                                                    Bildbereich(Spaltenbereich{100, 104})))
            continue;
        for (int y = 1; y <= BildHoehe; ++y) {
            for (int x = 1; x <= BildBreite; ++x) {
                if (x >= 100 && x <= 104) {
                    ASSERT_EQ(bitmap.at(x, y), 0x0C) << x << "," << y;
                } else if (x < 100 - 16 || x > 104 + 16) {
                    ASSERT_EQ(bitmap.at(x, y), 0xFF) << x << "," << y;
                }
            }
        }
        Anzeigebitmap unberuehrt;
        ASSERT_TRUE(quickdraw_detail::BilderVerknuepfenMit(weg, unberuehrt, *raster, *diagramm,
                                                           Bildbereich{}));
        EXPECT_TRUE(
            std::all_of(unberuehrt.data(),
                        unberuehrt.data() + Anzeigebitmap::Zeilenlaenge * Anzeigebitmap::Hoehe,
                        [](uint8_t b) { return b == 0xFF; }));
        // A rectangle: rows far from it keep what the picture held, its own are combined.
        Anzeigebitmap rechteck;
        ASSERT_TRUE(quickdraw_detail::BilderVerknuepfenMit(
            weg, rechteck, *raster, *diagramm,
            Bildbereich(Spaltenbereich{100, 104}, Zeilenbereich{200, 210})));
        for (int y = 1; y <= BildHoehe; ++y) {
            const uint8_t soll = y >= 200 && y <= 210 ? 0x0C : 0xFF;
            if ((y >= 200 && y <= 210) || y < 200 - 32 || y > 210 + 32) {
                ASSERT_EQ(rechteck.at(102, y), soll) << y;
            }
        }
    }
}

// ---------------------------------------------------------------- palette

TEST(Halbtonpalette, FesteEintraege) {
    const auto& pal = Halbtonpalette();
    const std::pair<int, uint32_t> faelle[] = {
        {0, 0xFF000000u},   {1, 0xFF800000u},   {7, 0xFFC0C0C0u},   {9, 0xFFA6CAF0u},
        {246, 0xFFFFFBF0u}, {249, 0xFFFF0000u}, {252, 0xFF0000FFu}, {255, 0xFFFFFFFFu}};
    for (const auto& [i, argb] : faelle) EXPECT_EQ(pal[static_cast<size_t>(i)], argb) << i;
}

TEST(Halbtonpalette, WuerfelEintraege) {
    const auto& pal = Halbtonpalette();
    for (uint32_t i = 10; i <= 245; ++i) {
        const uint32_t r = 32 * (i & 7), g = 32 * ((i >> 3) & 7), b = 64 * (i >> 6);
        EXPECT_EQ(pal[i], 0xFF000000u | r << 16 | g << 8 | b) << i;
    }
}

}  // namespace
}  // namespace veka
