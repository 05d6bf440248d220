#pragma once
// A copy of everything an export writes, taken at once under the data lock, so the files are
// written from one consistent sweep without holding the lock while they are encoded.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "display/quickdraw.h"
#include "measure/instrument.h"
#include "measure/window_model.h"

namespace veka {

// The grid of the diagram as vectors: what the renderer draws on Rasterbild, recorded.
struct Vektorraster {
    struct Linie {
        int64_t x1, y1, x2, y2;
        uint8_t farbe;
    };
    struct Text {
        int64_t x, y;
        std::string text;
        uint8_t farbe;
    };
    std::vector<Linie> linien;
    std::vector<Text> texte;
};

struct Messaufnahme {
    int32_t messart = Durchgang;
    bool linear = false;
    int32_t startfrequenz = 0;
    int32_t schrittweite = 0;
    int punkte = 0;  // points in the arrays, 0..MaxPunkte
    std::array<int32_t, MaxPunkte + 1> werte{};
    std::array<int32_t, MaxPunkte + 1> werte2{};  // second reading, Smith mode only
    std::optional<Korrfaktorpaar> faktoren;       // none in modes without correction
    std::string ueberschrift;                     // Diagrammueberschrift (UTF-8)
    uint8_t hintergrund = 255, kurve = 230, cursor = 24;
    Anzeigebitmap bild;     // the window picture, freshly combined from both surfaces
    WindowModel fenster;    // the labels the printed page shows
    Vektorraster raster;    // the grid for the vector drawing
    std::string messreihe;  // the series file's bytes
};

// Takes the copy; locks inst.datenMutex for the arrays and surfaces. Window thread, no sweep
// running (the window's file menu and the batch front see to that).
Messaufnahme aufnehmen(const Instrument& inst);

// The frequency of point k (1-based): start + (k - 1) * step, wrapping like the device.
int32_t punktfrequenz(const Messaufnahme& a, int k);

// The mode's German name, as the series file and the mode buttons call it.
std::string_view messartName(int32_t messart);

}  // namespace veka
