// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/quickdraw.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <utility>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#elif defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace veka {
namespace {

__extension__ typedef unsigned __int128 u128;

constexpr int64_t kBreite = BildBreite;
constexpr int64_t kHoehe = BildHoehe;

// All internal coordinates are 64-bit, so sums of int32 arguments never overflow.
inline bool innen(int64_t x, int64_t y) {
    return x >= 1 && x <= kBreite && y >= 1 && y <= kHoehe;
}

inline void setzen(TBildfeld& feld, int64_t x, int64_t y, uint8_t farbe) {
    if (!innen(x, y)) return;
    feld.pixel[static_cast<size_t>((x - 1) * kHoehe + (y - 1))] = farbe;
    feld.geaendert.dazu(x, x, y, y);
}

// Scans for differing bytes eight at a time: the sweep's wipe and its before-and-after
// comparison go through whole columns a point, mostly alike. wort(i) gives the eight bytes from
// offset i with the differing ones nonzero, anders(i) whether byte i differs.
constexpr uint64_t kJedesByte = 0x0101010101010101ULL;
constexpr bool kLittle = std::endian::native == std::endian::little;

inline uint64_t laden(const uint8_t* p) {
    uint64_t w = 0;
    std::memcpy(&w, p, 8);
    return w;
}

// Offset of the first differing byte of 0..n-1; n when none differs.
template <class Wort, class Anders>
size_t vorneGleich(size_t n, Wort wort, Anders anders) {
    size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        if (const uint64_t d = wort(i))
            return i + static_cast<size_t>(kLittle ? std::countr_zero(d) : std::countl_zero(d)) / 8;
    }
    while (i < n && !anders(i)) ++i;
    return i;
}

// How many bytes from the back of 0..n-1 are alike; n when none differs.
template <class Wort, class Anders>
size_t hintenGleich(size_t n, Wort wort, Anders anders) {
    size_t k = 0;
    for (; k + 8 <= n; k += 8) {
        if (const uint64_t d = wort(n - k - 8))
            return k + static_cast<size_t>(kLittle ? std::countl_zero(d) : std::countr_zero(d)) / 8;
    }
    while (k < n && !anders(n - 1 - k)) ++k;
    return k;
}

// The same for the n bytes at p against the colour farbe.
size_t vorneGleich(const uint8_t* p, size_t n, uint8_t farbe) {
    const uint64_t muster = kJedesByte * farbe;
    return vorneGleich(
        n, [&](size_t i) { return laden(p + i) ^ muster; },
        [&](size_t i) { return p[i] != farbe; });
}

size_t hintenGleich(const uint8_t* p, size_t n, uint8_t farbe) {
    const uint64_t muster = kJedesByte * farbe;
    return hintenGleich(
        n, [&](size_t i) { return laden(p + i) ^ muster; },
        [&](size_t i) { return p[i] != farbe; });
}

// Rows ya..yb (any order) of column x; contiguous in memory, hence one memset. Only the rows
// that really change count: the sweep's wipe mostly writes what is already there.
void spalteFuellen(TBildfeld& feld, int64_t x, int64_t ya, int64_t yb, uint8_t farbe) {
    if (x < 1 || x > kBreite) return;
    int64_t lo = std::max<int64_t>(std::min(ya, yb), 1);
    int64_t hi = std::min<int64_t>(std::max(ya, yb), kHoehe);
    uint8_t* spalte = feld.pixel.data() + (x - 1) * kHoehe;  // row y is spalte[y - 1]
    if (lo > hi) return;
    const auto rest = [&] { return static_cast<size_t>(hi - lo + 1); };
    lo += static_cast<int64_t>(vorneGleich(spalte + (lo - 1), rest(), farbe));
    if (lo > hi) return;
    hi -= static_cast<int64_t>(hintenGleich(spalte + (lo - 1), rest(), farbe));
    std::memset(spalte + (lo - 1), farbe, rest());
    feld.geaendert.dazu(x, x, lo, hi);
}

// Offsets of the first and the last byte in which a and b differ; a equal to b gives first > last.
std::pair<size_t, size_t> unterschiede(const uint8_t* a, const uint8_t* b, size_t n) {
    const auto wort = [&](size_t i) { return laden(a + i) ^ laden(b + i); };
    const auto anders = [&](size_t i) { return a[i] != b[i]; };
    const size_t erstes = vorneGleich(n, wort, anders);
    if (erstes == n) return {1, 0};
    return {erstes, n - 1 - hintenGleich(n, wort, anders)};
}

void zeileFuellen(TBildfeld& feld, int64_t y, int64_t xa, int64_t xb, uint8_t farbe) {
    if (y < 1 || y > kHoehe) return;
    const int64_t lo = std::max<int64_t>(std::min(xa, xb), 1);
    const int64_t hi = std::min<int64_t>(std::max(xa, xb), kBreite);
    uint8_t* p = feld.pixel.data() + (y - 1);
    for (int64_t x = lo; x <= hi; ++x) p[(x - 1) * kHoehe] = farbe;
    feld.geaendert.dazu(lo, hi, y, y);
}

// The slope as the exact value m / 2^shift of the double nearest to zaehler / nenner, so that
// k * slope can be rounded without any intermediate rounding.
struct Steigung {
    uint64_t m = 0;
    int shift = 0;

    Steigung(uint64_t zaehler, uint64_t nenner) {
        const double r = static_cast<double>(zaehler) / static_cast<double>(nenner);
        int e = 0;
        const double f = std::frexp(r, &e);  // r = f * 2^e, 0.5 <= f < 1
        m = static_cast<uint64_t>(std::ldexp(f, 53));
        // 2^-32 < r <= 1 here, so shift lies in 52 .. 84 and k * m (k < 2^32) fits 128 bits.
        shift = 53 - e;
    }

    // Nearest integer to k * slope, halves to even.
    uint64_t gerundet(uint64_t k) const {
        const u128 p = static_cast<u128>(k) * m;
        uint64_t q = static_cast<uint64_t>(p >> shift);
        const u128 rest = p & ((static_cast<u128>(1) << shift) - 1);
        const u128 halb = static_cast<u128>(1) << (shift - 1);
        if (rest > halb || (rest == halb && (q & 1) != 0)) ++q;
        return q;
    }
};

// A line that is neither horizontal nor vertical. The run axis a advances by one pixel per
// step from (as, bs); b follows bs + s * N(k * lenB / lenA). flach: a is x, else a is y.
void schraegZiehen(TBildfeld& feld, int64_t as, int64_t bs, int64_t be, uint64_t lenA,
                   uint64_t lenB, bool flach, uint8_t farbe) {
    const int64_t grenzeA = flach ? kBreite : kHoehe;
    const int64_t grenzeB = flach ? kHoehe : kBreite;

    // Only the part of the run over the surface's extent on the run axis can show.
    const int64_t kLo = std::max<int64_t>(0, 1 - as);
    const int64_t kHi = std::min<int64_t>(static_cast<int64_t>(lenA), grenzeA - as);
    if (kLo > kHi) return;

    const Steigung steigung(lenB, lenA);
    const int64_t s = be > bs ? 1 : -1;
    // N(k * r) never decreases with k, so the visible part is a single k interval; it is
    // found by bisection, keeping the loop below to visible pixels only.
    const int64_t uLo = s > 0 ? 1 - bs : bs - grenzeB;
    const int64_t uHi = s > 0 ? grenzeB - bs : bs - 1;
    if (uHi < 0) return;
    auto u = [&](int64_t k) {
        return static_cast<int64_t>(steigung.gerundet(static_cast<uint64_t>(k)));
    };

    // Short segments usually lie wholly inside; then both searches are skipped.
    int64_t kAnfang = kLo;
    if (u(kLo) < uLo) {
        int64_t lo = kLo + 1;
        int64_t hi = kHi + 1;  // first k with u(k) >= uLo, or kHi + 1
        while (lo < hi) {
            const int64_t mitte = lo + (hi - lo) / 2;
            if (u(mitte) >= uLo) {
                hi = mitte;
            } else {
                lo = mitte + 1;
            }
        }
        kAnfang = lo;
    }
    int64_t kEnde = kHi;
    if (kAnfang <= kHi && u(kHi) > uHi) {
        int64_t lo = kAnfang;
        int64_t hi = kHi;  // first k with u(k) > uHi
        while (lo < hi) {
            const int64_t mitte = lo + (hi - lo) / 2;
            if (u(mitte) > uHi) {
                hi = mitte;
            } else {
                lo = mitte + 1;
            }
        }
        kEnde = lo - 1;
    }

    for (int64_t k = kAnfang; k <= kEnde; ++k) {
        const int64_t a = as + k;
        const int64_t b = bs + s * u(k);
        if (flach) {
            setzen(feld, a, b, farbe);
        } else {
            setzen(feld, b, a, farbe);
        }
    }
}

using Glyphe = std::array<uint8_t, 8>;

// Top row first, bit 7 is the leftmost column.
constexpr Glyphe kZiffern[10] = {
    {0x3C, 0x42, 0x42, 0x42, 0x42, 0x42, 0x3C, 0x00},
    {0x04, 0x0C, 0x14, 0x04, 0x04, 0x04, 0x0E, 0x00},
    {0x3C, 0x42, 0x04, 0x08, 0x20, 0x42, 0x7E, 0x00},
    {0x3C, 0x42, 0x02, 0x1C, 0x02, 0x42, 0x3C, 0x00},
    {0x04, 0x0C, 0x14, 0x24, 0x7E, 0x04, 0x0E, 0x00},
    {0x7C, 0x40, 0x78, 0x04, 0x04, 0x84, 0x78, 0x00},
    {0x0C, 0x10, 0x20, 0x78, 0x42, 0x42, 0x3C, 0x00},
    {0x7E, 0x41, 0x02, 0x04, 0x08, 0x08, 0x08, 0x00},
    {0x3C, 0x42, 0x42, 0x3C, 0x42, 0x42, 0x3C, 0x00},
    {0x3C, 0x42, 0x42, 0x3C, 0x02, 0x04, 0x3C, 0x00},
};
constexpr Glyphe kPunkt = {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x08, 0x00};
constexpr Glyphe kMinus = {0x00, 0x00, 0x00, 0x7E, 0x00, 0x00, 0x00, 0x00};
constexpr Glyphe kKomma = {0x00, 0x00, 0x00, 0x00, 0x00, 0x08, 0x08, 0x10};

// The font only carries what numeric read-outs need; everything else is an empty cell.
const Glyphe* glypheVon(char32_t zeichen) {
    if (zeichen >= U'0' && zeichen <= U'9') return &kZiffern[zeichen - U'0'];
    if (zeichen == U'.') return &kPunkt;
    if (zeichen == U'-') return &kMinus;
    if (zeichen == U',') return &kKomma;
    return nullptr;
}

void glypheMalen(TBildfeld& feld, int64_t x, int64_t y, const Glyphe& g, uint8_t farbe) {
    for (int64_t j = 1; j <= 8; ++j) {
        const unsigned bits = g[static_cast<size_t>(j - 1)];
        if (bits == 0) continue;
        for (int64_t i = 1; i <= 8; ++i) {
            if ((bits >> (8 - i)) & 1u) setzen(feld, x + i, y + j, farbe);
        }
    }
}

// Decodes one code point starting at text[pos] and advances pos. A byte that does not start
// a well-formed sequence is consumed on its own and yields a value without a glyph.
char32_t naechstesZeichen(std::string_view text, size_t& pos) {
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned b0 = byte(pos);
    constexpr char32_t kUngueltig = 0xFFFD;
    if (b0 < 0x80) {
        ++pos;
        return b0;
    }
    size_t laenge = 0;
    char32_t wert = 0;
    unsigned lo2 = 0x80;  // allowed range of the second byte
    unsigned hi2 = 0xBF;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        laenge = 2;
        wert = b0 & 0x1F;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        laenge = 3;
        wert = b0 & 0x0F;
        if (b0 == 0xE0) lo2 = 0xA0;  // overlong
        if (b0 == 0xED) hi2 = 0x9F;  // surrogates
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        laenge = 4;
        wert = b0 & 0x07;
        if (b0 == 0xF0) lo2 = 0x90;  // overlong
        if (b0 == 0xF4) hi2 = 0x8F;  // beyond U+10FFFF
    } else {
        ++pos;
        return kUngueltig;
    }
    if (text.size() - pos < laenge) {
        ++pos;
        return kUngueltig;
    }
    for (size_t i = 1; i < laenge; ++i) {
        const unsigned b = byte(pos + i);
        const unsigned lo = i == 1 ? lo2 : 0x80;
        const unsigned hi = i == 1 ? hi2 : 0xBF;
        if (b < lo || b > hi) {
            ++pos;
            return kUngueltig;
        }
        wert = (wert << 6) | (b & 0x3F);
    }
    pos += laenge;
    return wert;
}

}  // namespace

void PunktSetzen(TBildfeld& feld, int32_t x, int32_t y, uint8_t farbe) {
    setzen(feld, x, y, farbe);
    ++feld.version;
}

void BildLoeschen(TBildfeld& feld, uint8_t farbe) {
    feld.pixel.fill(farbe);
    feld.geaendert = Bildbereich::alle();
    ++feld.version;
}

void LinieZiehen(TBildfeld& feld, int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint8_t farbe) {
    ++feld.version;
    const int64_t dx = int64_t{x1} - x2;
    const int64_t dy = int64_t{y1} - y2;
    if (dy == 0) {
        if (dx != 0) zeileFuellen(feld, y1, x1, x2, farbe);
        return;
    }
    if (dx == 0) {
        spalteFuellen(feld, x1, y1, y2, farbe);
        return;
    }
    const auto adx = static_cast<uint64_t>(dx < 0 ? -dx : dx);
    const auto ady = static_cast<uint64_t>(dy < 0 ? -dy : dy);
    if (ady < adx) {
        if (x1 < x2) {
            schraegZiehen(feld, x1, y1, y2, adx, ady, true, farbe);
        } else {
            schraegZiehen(feld, x2, y2, y1, adx, ady, true, farbe);
        }
    } else {
        if (y1 < y2) {
            schraegZiehen(feld, y1, x1, x2, ady, adx, false, farbe);
        } else {
            schraegZiehen(feld, y2, x2, x1, ady, adx, false, farbe);
        }
    }
}

void ZeichenMalen(TBildfeld& feld, int32_t x, int32_t y, char32_t zeichen, uint8_t farbe) {
    ++feld.version;
    if (const Glyphe* g = glypheVon(zeichen)) glypheMalen(feld, x, y, *g, farbe);
}

void TextMalen(TBildfeld& feld, int32_t x, int32_t y, std::string_view text, uint8_t farbe) {
    ++feld.version;
    if (int64_t{y} + 8 < 1 || int64_t{y} + 1 > kHoehe) return;
    int64_t zelleX = x;
    size_t pos = 0;
    while (pos < text.size() && zelleX < kBreite) {
        const char32_t zeichen = naechstesZeichen(text, pos);
        if (zelleX + 8 >= 1) {
            if (const Glyphe* g = glypheVon(zeichen)) glypheMalen(feld, zelleX, y, *g, farbe);
        }
        zelleX += 8;
    }
}

void SpaltenWischen(TBildfeld& feld, int32_t x0, int32_t y0, int32_t p, int32_t cursorPunkt,
                    int32_t wert, uint8_t fuellFarbe, uint8_t markFarbe) {
    ++feld.version;
    const int64_t mitte = int64_t{x0} + 2 * int64_t{p};
    for (int64_t x = mitte - 1; x <= mitte + 3; ++x) spalteFuellen(feld, x, 1, kHoehe, fuellFarbe);
    if (p != cursorPunkt) return;
    // The flag: a wedge of five vertical strokes, longest at the cursor column.
    const int64_t cy = int64_t{y0} - wert;
    static constexpr int kAnfang[5] = {1, 2, 4, 6, 8};
    for (int i = 0; i < 5; ++i) spalteFuellen(feld, mitte - i, cy - kAnfang[i], cy - 10, markFarbe);
}

Spaltenstand::Spaltenstand(const TBildfeld& feld, int64_t xa, int64_t xb)
    : xa_(std::max<int64_t>(xa, 1)), xb_(std::min({xb, kBreite, xa_ + MaxSpalten - 1})) {
    // Columns are contiguous: one copy.
    if (xa_ <= xb_)
        std::memcpy(pixel_.data(), feld.pixel.data() + (xa_ - 1) * kHoehe,
                    static_cast<size_t>((xb_ - xa_ + 1) * kHoehe));
}

void Spaltenstand::markieren(TBildfeld& feld) const {
    for (int64_t x = xa_; x <= xb_; ++x) {
        const auto [erste, letzte] = unterschiede(pixel_.data() + (x - xa_) * kHoehe,
                                                  feld.pixel.data() + (x - 1) * kHoehe, kHoehe);
        if (erste <= letzte)
            feld.geaendert.dazu(x, x, static_cast<int64_t>(erste) + 1,
                                static_cast<int64_t>(letzte) + 1);
    }
}

namespace quickdraw_detail {
namespace {

// Column-major surfaces to the row-major picture. Tiles are grouped into blocks of 64 columns
// by 32 rows, walked down each 64-column strip: the source columns are then read
// sequentially and every picture cache line of the block is completed while still in L1.
constexpr int kBlockBreite = 64;
constexpr int kBlockHoehe = 32;
static_assert(BildBreite % kBlockBreite == 0 && BildHoehe % kBlockHoehe == 0);

// Surface columns xa..xe - 1 and rows ya..ye - 1, counted from 0. The vector ways round them
// out to whole tiles and blocks.
struct Ausschnitt {
    int xa, xe, ya, ye;
};

// Changed rows as one bit per surface row (bit y % 32 of word y / 32), collected while the
// picture lines are in the cache anyway.
using Zeilenmasken = std::array<uint32_t, BildHoehe / 32>;
static_assert(BildHoehe % 32 == 0);

Zeilenbereich bereichAus(const Zeilenmasken& masken) {
    Zeilenbereich z;
    for (int w = 0; w < static_cast<int>(masken.size()); ++w) {
        if (masken[w] == 0) continue;
        const int erste = w * 32 + std::countr_zero(masken[w]) + 1;  // picture rows count from 1
        z.dazu(erste, w * 32 + 31 - std::countl_zero(masken[w]) + 1);
    }
    return z;
}

void skalar(uint8_t* bild, const uint8_t* ra, const uint8_t* di, Ausschnitt a, Zeilenmasken& m) {
    constexpr int kZeile = Anzeigebitmap::Zeilenlaenge;
    for (int bx = a.xa; bx < a.xe; bx += kBlockBreite) {
        const int bxe = std::min(bx + kBlockBreite, a.xe);
        for (int by = a.ya; by < a.ye; by += kBlockHoehe) {
            for (int y = by; y < std::min(by + kBlockHoehe, a.ye); ++y) {
                uint8_t* ziel = bild + static_cast<size_t>(y + 1) * kZeile + 1;
                uint8_t anders = 0;
                for (int x = bx; x < bxe; ++x) {
                    const size_t o = static_cast<size_t>(x) * BildHoehe + static_cast<size_t>(y);
                    const uint8_t neu = ra[o] & di[o];
                    anders |= static_cast<uint8_t>(ziel[x] ^ neu);
                    ziel[x] = neu;
                }
                if (anders != 0) m[static_cast<size_t>(y / 32)] |= 1u << (y % 32);
            }
        }
    }
}

#if defined(__SSE2__)
#define VEKA_QD_SSE2 1
// Stores 16 bytes of a picture row; 1 when they differ from what was there.
inline uint32_t speichern(uint8_t* ziel, __m128i neu) {
    const __m128i alt = _mm_loadu_si128(reinterpret_cast<const __m128i*>(ziel));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(ziel), neu);
    return _mm_movemask_epi8(_mm_cmpeq_epi8(alt, neu)) != 0xFFFF ? 1u : 0u;
}

// One 16 x 16 tile: four unpack rounds pair up bytes, words, dwords and qwords into rows.
// Returns the changed rows, bit r for row y0 + r.
uint32_t kachelSse2(uint8_t* bild, const uint8_t* ra, const uint8_t* di, int x0, int y0) {
    constexpr int kZeile = Anzeigebitmap::Zeilenlaenge;
    __m128i a[16];
    for (int i = 0; i < 16; ++i) {
        const size_t o = static_cast<size_t>((x0 + i) * BildHoehe + y0);
        a[i] = _mm_and_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(ra + o)),
                             _mm_loadu_si128(reinterpret_cast<const __m128i*>(di + o)));
    }
    __m128i b[16];
    for (int q = 0; q < 8; ++q) {
        b[q] = _mm_unpacklo_epi8(a[2 * q], a[2 * q + 1]);
        b[8 + q] = _mm_unpackhi_epi8(a[2 * q], a[2 * q + 1]);
    }
    for (int h = 0; h < 2; ++h) {
        for (int q = 0; q < 4; ++q) {
            a[8 * h + q] = _mm_unpacklo_epi16(b[8 * h + 2 * q], b[8 * h + 2 * q + 1]);
            a[8 * h + 4 + q] = _mm_unpackhi_epi16(b[8 * h + 2 * q], b[8 * h + 2 * q + 1]);
        }
    }
    for (int g = 0; g < 4; ++g) {
        for (int o = 0; o < 2; ++o) {
            b[4 * g + o] = _mm_unpacklo_epi32(a[4 * g + 2 * o], a[4 * g + 2 * o + 1]);
            b[4 * g + 2 + o] = _mm_unpackhi_epi32(a[4 * g + 2 * o], a[4 * g + 2 * o + 1]);
        }
    }
    uint8_t* ziel = bild + static_cast<size_t>(y0 + 1) * kZeile + x0 + 1;
    uint32_t anders = 0;
    for (int r = 0; r < 8; ++r) {
        anders |= speichern(ziel + (2 * r) * kZeile, _mm_unpacklo_epi64(b[2 * r], b[2 * r + 1]))
                  << (2 * r);
        anders |= speichern(ziel + (2 * r + 1) * kZeile, _mm_unpackhi_epi64(b[2 * r], b[2 * r + 1]))
                  << (2 * r + 1);
    }
    return anders;
}

void sse2(uint8_t* bild, const uint8_t* ra, const uint8_t* di, Ausschnitt a, Zeilenmasken& m) {
    for (int bx = a.xa; bx < a.xe; bx += kBlockBreite) {
        const int bxe = std::min(bx + kBlockBreite, a.xe);
        for (int by = a.ya; by < a.ye; by += kBlockHoehe) {
            for (int y0 = by; y0 < by + kBlockHoehe; y0 += 16) {
                for (int x0 = bx; x0 < bxe; x0 += 16)
                    m[static_cast<size_t>(y0 / 32)] |= kachelSse2(bild, ra, di, x0, y0)
                                                       << (y0 % 32);
            }
        }
    }
}
#endif

#if defined(__x86_64__) && defined(__GNUC__)
#define VEKA_QD_AVX2 1
// Same network on 32-byte column pieces: the two 128-bit lanes hold two tiles stacked
// vertically, so one pass transposes 16 columns by 32 rows (y0 is a multiple of 32).
__attribute__((target("avx2"))) inline uint32_t kachelAvx2(uint8_t* bild, const uint8_t* ra,
                                                           const uint8_t* di, int x0, int y0) {
    constexpr int kZeile = Anzeigebitmap::Zeilenlaenge;
    __m256i a[16];
    for (int i = 0; i < 16; ++i) {
        const size_t o = static_cast<size_t>((x0 + i) * BildHoehe + y0);
        a[i] = _mm256_and_si256(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(ra + o)),
                                _mm256_loadu_si256(reinterpret_cast<const __m256i*>(di + o)));
    }
    __m256i b[16];
    for (int q = 0; q < 8; ++q) {
        b[q] = _mm256_unpacklo_epi8(a[2 * q], a[2 * q + 1]);
        b[8 + q] = _mm256_unpackhi_epi8(a[2 * q], a[2 * q + 1]);
    }
    for (int h = 0; h < 2; ++h) {
        for (int q = 0; q < 4; ++q) {
            a[8 * h + q] = _mm256_unpacklo_epi16(b[8 * h + 2 * q], b[8 * h + 2 * q + 1]);
            a[8 * h + 4 + q] = _mm256_unpackhi_epi16(b[8 * h + 2 * q], b[8 * h + 2 * q + 1]);
        }
    }
    for (int g = 0; g < 4; ++g) {
        for (int o = 0; o < 2; ++o) {
            b[4 * g + o] = _mm256_unpacklo_epi32(a[4 * g + 2 * o], a[4 * g + 2 * o + 1]);
            b[4 * g + 2 + o] = _mm256_unpackhi_epi32(a[4 * g + 2 * o], a[4 * g + 2 * o + 1]);
        }
    }
    uint8_t* ziel = bild + static_cast<size_t>(y0 + 1) * kZeile + x0 + 1;
    uint32_t anders = 0;
    for (int r = 0; r < 8; ++r) {
        const __m256i gerade = _mm256_unpacklo_epi64(b[2 * r], b[2 * r + 1]);
        const __m256i ungerade = _mm256_unpackhi_epi64(b[2 * r], b[2 * r + 1]);
        uint8_t* z = ziel + (2 * r) * kZeile;
        anders |= speichern(z, _mm256_castsi256_si128(gerade)) << (2 * r);
        anders |= speichern(z + kZeile, _mm256_castsi256_si128(ungerade)) << (2 * r + 1);
        anders |= speichern(z + 16 * kZeile, _mm256_extracti128_si256(gerade, 1)) << (2 * r + 16);
        anders |= speichern(z + 17 * kZeile, _mm256_extracti128_si256(ungerade, 1)) << (2 * r + 17);
    }
    return anders;
}

__attribute__((target("avx2"))) void avx2(uint8_t* bild, const uint8_t* ra, const uint8_t* di,
                                          Ausschnitt a, Zeilenmasken& m) {
    for (int bx = a.xa; bx < a.xe; bx += kBlockBreite) {
        const int bxe = std::min(bx + kBlockBreite, a.xe);
        for (int by = a.ya; by < a.ye; by += kBlockHoehe) {
            for (int x0 = bx; x0 < bxe; x0 += 16)
                m[static_cast<size_t>(by / 32)] |= kachelAvx2(bild, ra, di, x0, by);
        }
    }
}

bool hatAvx2() {
    static const bool ja = __builtin_cpu_supports("avx2");
    return ja;
}
#endif

}  // namespace

std::optional<Zeilenbereich> BilderVerknuepfenMit(Verknuepfung weg, Anzeigebitmap& bitmap,
                                                  const TBildfeld& raster,
                                                  const TBildfeld& diagramm, Bildbereich bereich) {
    uint8_t* bild = bitmap.zeile(0);
    const uint8_t* ra = raster.pixel.data();
    const uint8_t* di = diagramm.pixel.data();
    const Spaltenbereich s{std::max(bereich.spalten.von, 1),
                           std::min(bereich.spalten.bis, BildBreite)};
    const Zeilenbereich z{std::max(bereich.zeilen.von, 1), std::min(bereich.zeilen.bis, BildHoehe)};
    if (s.leer() || z.leer()) return Zeilenbereich{};
    const Ausschnitt genau{s.von - 1, s.bis, z.von - 1, z.bis};
    [[maybe_unused]] const Ausschnitt kacheln{genau.xa & ~15, (genau.xe + 15) & ~15,
                                              genau.ya & ~(kBlockHoehe - 1),
                                              (genau.ye + kBlockHoehe - 1) & ~(kBlockHoehe - 1)};
    Zeilenmasken m{};
    switch (weg) {
        case Verknuepfung::Skalar:
            skalar(bild, ra, di, genau, m);
            return bereichAus(m);
        case Verknuepfung::Sse2:
#if defined(VEKA_QD_SSE2)
            sse2(bild, ra, di, kacheln, m);
            return bereichAus(m);
#else
            return std::nullopt;
#endif
        case Verknuepfung::Avx2:
#if defined(VEKA_QD_AVX2)
            if (!hatAvx2()) return std::nullopt;
            avx2(bild, ra, di, kacheln, m);
            return bereichAus(m);
#else
            return std::nullopt;
#endif
    }
    return std::nullopt;
}

}  // namespace quickdraw_detail

Zeilenbereich BilderVerknuepfen(Anzeigebitmap& bitmap, const TBildfeld& raster,
                                const TBildfeld& diagramm, Bildbereich bereich) {
    using quickdraw_detail::Verknuepfung;
    for (Verknuepfung weg : {Verknuepfung::Avx2, Verknuepfung::Sse2}) {
        if (auto z = quickdraw_detail::BilderVerknuepfenMit(weg, bitmap, raster, diagramm, bereich))
            return *z;
    }
    return *quickdraw_detail::BilderVerknuepfenMit(Verknuepfung::Skalar, bitmap, raster, diagramm,
                                                   bereich);
}

}  // namespace veka
