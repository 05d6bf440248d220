// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A copy of everything an export writes, taken at once under the data lock, so the files are
// written from one consistent sweep without holding the lock while they are encoded.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "state/instrument.h"
#include "state/surfaces.h"
#include "state/window_model.h"

namespace veka {

// The grid of the diagram as vectors: what the renderer draws on Rasterbild, recorded.
struct VectorGrid {
    struct Line {
        int64_t x1, y1, x2, y2;
        uint8_t colour;
    };
    struct Label {
        int64_t x, y;
        std::string text;
        uint8_t colour;
    };
    std::vector<Line> lines;
    std::vector<Label> labels;
};

struct TraceSnapshot {
    // The trace shown: a sweep, or a series loaded from a file (its own frequencies).
    int32_t mode = Durchgang;  // Messart
    bool linear = false;
    int32_t start = 0;  // Hz, point 1
    int32_t step = 0;   // Hz
    int points = 0;     // points in the arrays, 0..MaxPunkte
    std::array<int32_t, MaxPunkte + 1> values{};   // Messwerte
    std::array<int32_t, MaxPunkte + 1> values2{};  // second reading, Smith mode only
    std::array<uint16_t, MaxPunkte + 1> raw{};     // detector readings, when `measured`
    // The additions, in display-value units: the averaged (or single) trace, the held one, the
    // one shown, and the stored reference; which of them are on.
    PointValues level{}, held{}, shownValues{}, reference{};
    int averagedOf = 0;
    Hold hold = Hold::Off;
    bool normalised = false;
    bool referenceShown = false;  // a reference over these frequencies is stored
    bool limitsTested = false;    // limit lines were on for the sweep
    int firstFailure = 0;         // its first point outside them
    bool shown = false;     // a complete sweep or a loaded series, not values reset by a redraw
    bool measured = false;  // a sweep's readings, not a series file
    // What it was measured with.
    std::optional<Korrfaktorpaar> factors;  // none in modes without correction
    int attenuationDb = 0;
    bool demo = false;    // demonstration readings: no device answered
    std::string heading;  // Diagrammueberschrift (UTF-8)
    int32_t cursorPoint = 0;
    // How the window shows it.
    uint8_t background = 255, grid = 0, curve = 230, cursor = 24;
    Anzeigebitmap picture;  // the window picture, the finished curve freshly combined
    WindowModel window;     // the labels the printed page shows
    VectorGrid vectors;     // the grid for the vector drawings
    std::string series;     // the series file's bytes
};

// Takes the copy; locks inst.datenMutex for the arrays and surfaces. Window thread, no sweep
// running (the window's file menu and the other fronts see to that).
TraceSnapshot takeSnapshot(const Instrument& inst);

// What the sweep was measured with, in one line for captions: mode, detector, attenuator,
// correction pair, demonstration readings and heading.
std::string captionOf(const TraceSnapshot& a);

// The mode's German name, as the series file and the mode buttons call it.
std::string_view modeName(int32_t messart);
// Its English name for files read by other programs: "transmission", "reflection", …
std::string_view modeKey(int32_t messart);

}  // namespace veka
