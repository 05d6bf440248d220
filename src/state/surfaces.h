// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The drawing surfaces as plain values: two 640 x 480 surfaces of palette indices (curve and
// grid), the rectangles a drawing changed, and the 641 x 481 window picture they combine into.
// The primitives that draw into them live in display/quickdraw.h.

#include <array>
#include <cstdint>
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

}  // namespace veka
