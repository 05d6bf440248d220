// SPDX-License-Identifier: GPL-3.0-or-later
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

#include "state/surfaces.h"

namespace veka {

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
