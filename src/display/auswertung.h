// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Trace evaluation (maximum, minimum, bandwidth, cursor readout), the cursor buttons and the
// display texts of frequencies and values.
//
// Threads: maxminwert and the buttons run on the window thread; maxminwert locks
// inst.datenMutex while it reads Messwerte, the cursor buttons touch no guarded data.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "state/instrument.h"
#include "state/user_interface.h"
#include "state/window_model.h"

namespace veka {

// "10.000.000 Hz": at most two "." separators, over the whole int32 range.
std::string FrequenzText(int32_t n);
// The level of a display value as a bare number: linear v / 400 with three decimals, else
// whole dB relative to the top line ("0,875", "-3").
std::string Pegelzahl(int32_t v, bool linear, char dezimaltrenner);
// The level of a display value at the display's full resolution, for files and the remote
// control: dB with one decimal (0.2 dB steps, "-9.6", "0.0"), or the linear fraction with four
// decimals ("0.8750"); always "." as decimal point.
std::string Pegeltext(int32_t v, bool linear);
// The level of a value in display units: dB below the top line in 0.2 dB steps, or the
// linear fraction of full scale.
double levelOfValue(double displayValue, bool linear);
// The same for a value between the display's steps (an average): the shortest decimal that
// reads back as the same double, levelOfValue(v); a whole v as above.
std::string Pegeltext(double v, bool linear);
// The same as the readouts write it: the dB figure followed by " dB".
std::string Werttext(int32_t v, bool linear, char dezimaltrenner);
// FrequenzText(f) + " " + Werttext(v).
std::string Ablesung(int32_t f, int32_t v, bool linear, char dezimaltrenner);
// Startfrequenz + Cursorpunkt * Schrittweite, wrapping like the device's 32-bit arithmetic.
int32_t Cursorfrequenz(const Instrument& inst);

void clear_messwerte(WindowModel& fenster);
// The evaluation after a stop: maximum, minimum, cursor readout and, in transmission mode,
// the bandwidth, into their labels.
void maxminwert(Instrument& inst);

// ---- Helpers shared with the evaluation of a loaded series ----

struct Extremes {
    int32_t maxWert = 0;
    int maxIndex = 1;
    int32_t maxFrequenz = 0;
    int32_t minWert = 0;
    int32_t minFrequenz = 0;
};

// First maximum (from 0) and first minimum (from minStart) of werte[1..n].
Extremes findExtremes(const std::array<int32_t, MaxPunkte + 1>& werte, int n, int32_t start,
                      int32_t schritt, int32_t minStart);

struct BandEdges {
    int32_t unten = 0;
    int32_t oben = 0;
};

// The first points on either side of the maximum that have fallen to the threshold; nothing
// when an edge would be the first or last point.
std::optional<BandEdges> findBandEdges(const std::array<int32_t, MaxPunkte + 1>& werte, int n,
                                       const Extremes& ex, int32_t schritt, bool linear);
// Label9..Label11.
void showBandwidth(WindowModel& fenster, const BandEdges& b, bool linear);

// What maxminwert shows, as numbers.
struct Auswertung {
    Extremes ex;
    int32_t cursorFrequenz = 0;  // Startfrequenz + Cursorpunkt * Schrittweite
    int32_t cursorWert = 0;      // the stored point nearest the cursor
    std::optional<BandEdges> band;  // transmission mode, both edges inside the sweep
};
// Evaluates points 1..n of werte, measured from start in steps of schritt.
Auswertung auswerten(const std::array<int32_t, MaxPunkte + 1>& werte, int n, int32_t start,
                     int32_t schritt, int32_t messart, bool linear, int32_t cursorpunkt);

}  // namespace veka
