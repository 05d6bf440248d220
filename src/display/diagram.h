// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The diagram renderer: grid, scales, frequency markers, VFO ruler and Smith chart on
// Rasterbild, and the curve of a whole sweep.
//
// Threads: the entry points without a Messdaten argument run on the window thread and lock
// inst.datenMutex themselves while they touch inst.daten; they never hold it while asking the
// user. DiagrammZeichnen expects the caller to hold the lock.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "display/quickdraw.h"
#include "state/instrument.h"

namespace veka {

// Full redraw: curve values 1..n set to 1, both surfaces cleared, markers and grid drawn.
void DiagrammZeichnen(Instrument& inst, Messdaten& d);
// Timers 2 and 1 on, then the full redraw under the lock.
void dm_diagramm(Instrument& inst);

// Shortest decimal form of a value with the given separator: 0.1 -> "0,1", 1 -> "1".
std::string Bruchtext(double wert, char dezimaltrenner);

// ---- Helpers shared with the drawing of a loaded series ----

// Where the grid's lines and labels go: a drawing surface, or a vector drawing of the same
// diagram. Coordinates are surface pixels; colours palette indices.
class Zeichenziel {
  public:
    virtual ~Zeichenziel() = default;
    virtual void linie(int64_t x1, int64_t y1, int64_t x2, int64_t y2, uint8_t farbe) = 0;
    // A label whose first character cell has its top-left pixel at (x + 1, y + 1).
    virtual void text(int64_t x, int64_t y, std::string_view text, uint8_t farbe) = 0;
};

// A surface as a Zeichenziel, drawn with the primitives.
class Flaechenziel final : public Zeichenziel {
  public:
    explicit Flaechenziel(TBildfeld& feld) : feld_(feld) {}
    void linie(int64_t x1, int64_t y1, int64_t x2, int64_t y2, uint8_t farbe) override;
    void text(int64_t x, int64_t y, std::string_view text, uint8_t farbe) override;

  private:
    TBildfeld& feld_;
};

// Everything of Rasterbild for the current mode, drawn over what the target holds: the
// frequency markers (not in modes 5 and 6), then the grid, scale, VFO ruler or Smith chart.
// Reads only settings, so it needs no lock.
void RasterZeichnen(const Instrument& inst, Zeichenziel& ziel);
// Over the grid of modes 1 to 4: the stored reference (when not shown normalised) in the second
// curve's colour and the limit lines (when on) in red, at the sweep's points. Nothing while
// neither is on. The caller holds datenMutex.
void drawExtras(const Instrument& inst, const Messdaten& d, Zeichenziel& ziel);
// Rasterbild anew (grid and extras), the curve and the values left as they are; the refresh
// follows. Window thread; takes datenMutex itself.
void rasterNeu(Instrument& inst);

// Clamps a 64-bit coordinate into the int32 range the primitives take.
int32_t saturate(int64_t v);
void drawLine(TBildfeld& feld, int64_t x1, int64_t y1, int64_t x2, int64_t y2, uint8_t farbe);
void drawText(TBildfeld& feld, int64_t x, int64_t y, std::string_view text, uint8_t farbe);

// What a level and frequency grid depends on; the renderer fills it from the instrument, a
// loaded series from its file.
struct GridLayout {
    int32_t art = Durchgang;  // Messart 1..4: Durchgang, Reflexion, Spektrum, Rohwerte
    bool linear = false;
    int32_t startfrequenz = 0;
    int32_t schritt = 0;
    int32_t breite = 0;                    // W, 2 pixels per point
    std::array<int32_t, 7> linienHoehe{};  // reflection reference lines
    std::array<int32_t, 7> linienText{};   // their labels in tenths
    uint8_t farbe = 0;
    char dezimaltrenner = ',';
};

void drawLevelGrid(Zeichenziel& ziel, const GridLayout& g);
void drawFrequencyGrid(Zeichenziel& ziel, const GridLayout& g);
void drawLevelGrid(TBildfeld& feld, const GridLayout& g);
void drawFrequencyGrid(TBildfeld& feld, const GridLayout& g);
// Joins points 1..n-1 of werte (point p at x = 30 + 2p - 1); the last point stays unjoined.
void drawCurve(TBildfeld& feld, const std::array<int32_t, MaxPunkte + 1>& werte, int n,
               uint8_t farbe);

}  // namespace veka
