#pragma once
// A copy of everything an export writes, taken at once under the data lock, so the files are
// written from one consistent sweep without holding the lock while they are encoded.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "state/surfaces.h"
#include "state/instrument.h"
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
    int32_t mode = Durchgang;  // Messart
    bool linear = false;
    int32_t start = 0;  // Hz
    int32_t step = 0;   // Hz
    int points = 0;     // points in the arrays, 0..MaxPunkte
    std::array<int32_t, MaxPunkte + 1> values{};   // Messwerte
    std::array<int32_t, MaxPunkte + 1> values2{};  // second reading, Smith mode only
    std::optional<Korrfaktorpaar> factors;         // none in modes without correction
    std::string heading;                           // Diagrammueberschrift (UTF-8)
    uint8_t background = 255, curve = 230, cursor = 24;
    Anzeigebitmap picture;  // the window picture, freshly combined from both surfaces
    WindowModel window;     // the labels the printed page shows
    VectorGrid grid;        // the grid for the vector drawing
    std::string series;     // the series file's bytes
};

// Takes the copy; locks inst.datenMutex for the arrays and surfaces. Window thread, no sweep
// running (the window's file menu and the batch front see to that).
TraceSnapshot takeSnapshot(const Instrument& inst);

// The mode's German name, as the series file and the mode buttons call it.
std::string_view modeName(int32_t messart);

}  // namespace veka
