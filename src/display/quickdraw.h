#pragma once
// Off-screen drawing surfaces of plain bytes, the primitives that draw into them, and the
// combination of grid and curve into the 8-bit window picture. No window system is used, so
// the sweep worker may draw here while the window thread shows the result.
//
// Coordinates are 1-based surface pixels, x to the right, y downwards. Every primitive except
// BildLoeschen clips pixel by pixel; coordinates may lie anywhere in the int32 range.

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace veka {

inline constexpr int BildBreite = 640;
inline constexpr int BildHoehe = 480;

// The low byte of a colour setting is its palette index.
inline uint8_t farbindex(int32_t farbe) {
    return static_cast<uint8_t>(farbe & 0xFF);
}

// Indices von..bis along one axis of a surface, both included; empty when von > bis.
template <int32_t Groesse>
struct Bereich {
    int32_t von = Groesse + 1;
    int32_t bis = 0;

    static constexpr Bereich alle() { return {1, Groesse}; }
    bool leer() const { return von > bis; }
    explicit operator bool() const { return !leer(); }
    int32_t anzahl() const { return leer() ? 0 : bis - von + 1; }
    // Widens the range by a..b (either order), cut to 1..Groesse.
    void dazu(int64_t a, int64_t b) {
        const int64_t lo = a < b ? a : b;
        const int64_t hi = a < b ? b : a;
        if (hi < 1 || lo > Groesse) return;
        if (lo < von) von = static_cast<int32_t>(lo < 1 ? 1 : lo);
        if (hi > bis) bis = static_cast<int32_t>(hi > Groesse ? Groesse : hi);
    }
    void dazu(const Bereich& b) {
        if (!b.leer()) dazu(b.von, b.bis);
    }
    bool operator==(const Bereich&) const = default;
};

using Spaltenbereich = Bereich<BildBreite>;  // columns 1..640
using Zeilenbereich = Bereich<BildHoehe>;    // rows 1..480

// A rectangle of a surface or of the picture; empty when its columns or its rows are.
struct Bildbereich {
    Spaltenbereich spalten;
    Zeilenbereich zeilen;

    Bildbereich() = default;
    explicit Bildbereich(Spaltenbereich s, Zeilenbereich z = Zeilenbereich::alle())
        : spalten(s), zeilen(z) {}
    static Bildbereich alle() { return Bildbereich(Spaltenbereich::alle()); }
    bool leer() const { return spalten.leer() || zeilen.leer(); }
    explicit operator bool() const { return !leer(); }
    // Widens the rectangle by columns xa..xb and rows ya..yb, cut to the surface; nothing when
    // they lie wholly outside it.
    void dazu(int64_t xa, int64_t xb, int64_t ya, int64_t yb) {
        Bildbereich neu;
        neu.spalten.dazu(xa, xb);
        neu.zeilen.dazu(ya, yb);
        dazu(neu);
    }
    void dazu(const Bildbereich& b) {
        if (b.leer()) return;
        spalten.dazu(b.spalten);
        zeilen.dazu(b.zeilen);
    }
    bool operator==(const Bildbereich&) const = default;
};

// One drawing surface, column-major: pixel (x, y) is byte (x - 1) * 480 + (y - 1).
struct TBildfeld {
    std::array<uint8_t, BildBreite * BildHoehe> pixel{};
    // Grows with every drawing call, so a refresh can tell that nothing changed.
    uint64_t version = 0;
    // What was written since the window picture last took it over (a wipe counts only the
    // rows it really changed); a new surface has never been shown, so all of it counts.
    Bildbereich geaendert = Bildbereich::alle();

    uint8_t at(int x, int y) const {
        return pixel[static_cast<size_t>((x - 1) * BildHoehe + (y - 1))];
    }
};

void PunktSetzen(TBildfeld& feld, int32_t x, int32_t y, uint8_t farbe);
void BildLoeschen(TBildfeld& feld, uint8_t farbe);
// Straight line, both end points included; a line whose end points coincide sets no pixel.
void LinieZiehen(TBildfeld& feld, int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint8_t farbe);
// One glyph of the 8 x 8 digit font in the cell whose top-left pixel is (x + 1, y + 1).
void ZeichenMalen(TBildfeld& feld, int32_t x, int32_t y, char32_t zeichen, uint8_t farbe);
// A UTF-8 text, one 8-pixel cell per character; characters without a glyph leave empty cells.
void TextMalen(TBildfeld& feld, int32_t x, int32_t y, std::string_view text, uint8_t farbe);
// The sweep's wipe of the five columns around point p and, at the cursor point, its flag.
void SpaltenWischen(TBildfeld& feld, int32_t x0, int32_t y0, int32_t p, int32_t cursorPunkt,
                    int32_t wert, uint8_t fuellFarbe, uint8_t markFarbe);

// Columns xa..xb of a surface (at most MaxSpalten, cut to the surface) as they are now. A
// drawing that mostly puts back what was there marks only what differs afterwards: reset
// feld.geaendert to what it was before, then markieren().
class Spaltenstand {
  public:
    static constexpr int MaxSpalten = 8;
    Spaltenstand(const TBildfeld& feld, int64_t xa, int64_t xb);
    // Widens feld.geaendert by the rows of each column that now differ from the copy.
    void markieren(TBildfeld& feld) const;

  private:
    int64_t xa_;
    int64_t xb_;
    std::array<uint8_t, MaxSpalten * BildHoehe> pixel_;
};

// The 641 x 481 window picture, 8 bits per pixel, rows padded to 32-bit boundaries.
// Surface pixel (x, y) is picture pixel (x, y); row 0 and column 0 are never written.
class Anzeigebitmap {
  public:
    static constexpr int Breite = 641;
    static constexpr int Hoehe = 481;
    static constexpr int Zeilenlaenge = 644;

    Anzeigebitmap() : bytes_(static_cast<size_t>(Zeilenlaenge) * Hoehe, 0xFF) {}

    uint8_t* zeile(int y) { return bytes_.data() + static_cast<size_t>(y) * Zeilenlaenge; }
    const uint8_t* zeile(int y) const {
        return bytes_.data() + static_cast<size_t>(y) * Zeilenlaenge;
    }
    uint8_t at(int x, int y) const { return zeile(y)[x]; }
    const uint8_t* data() const { return bytes_.data(); }

  private:
    std::vector<uint8_t> bytes_;
};

// bitmap(x, y) := raster(x, y) AND diagramm(x, y) for the pixels of bereich (the whole surface
// by default). Neighbouring columns and rows may be combined too; they come out as a full run
// would. Returns the rows in which a pixel of the picture changed.
Zeilenbereich BilderVerknuepfen(Anzeigebitmap& bitmap, const TBildfeld& raster,
                                const TBildfeld& diagramm,
                                Bildbereich bereich = Bildbereich::alle());

namespace quickdraw_detail {
// The ways BilderVerknuepfen can run, selectable so each one can be checked on its own.
enum class Verknuepfung { Skalar, Sse2, Avx2 };
// Nothing, writing nothing, when this build or this processor lacks the way.
std::optional<Zeilenbereich> BilderVerknuepfenMit(Verknuepfung weg, Anzeigebitmap& bitmap,
                                                  const TBildfeld& raster,
                                                  const TBildfeld& diagramm,
                                                  Bildbereich bereich = Bildbereich::alle());
}  // namespace quickdraw_detail

// The 256 entries of the halftone palette as 0xAARRGGBB (alpha 0xFF); 0 black, 255 white.
const std::array<uint32_t, 256>& Halbtonpalette();

}  // namespace veka
