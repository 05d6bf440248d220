// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How the source and the attenuator are set: the start frequency stepped up or down, the
// attenuator's bits and label, the two IF switches. The window's commands and the typed
// operations both use these; the commands themselves are members of Netzwerktester.

#include <string>

#include "link/exchange.h"
#include "state/instrument.h"

namespace veka {

// Attenuator bits for an up-down position: 0 → 0, 10 → 16, 20 → 32, 30 → 48, else 0.
uint8_t daempfungsbits(int position);
// "  0 dB" for position 0, else the position followed by " dB".
std::string daempfungstext(int position);
// The attenuator to 0 dB without a device call (calibration sends the new byte).
void SetDaempfungNull(Instrument& inst);

// "Pl&us" (+1) and "&Minus" (-1): the start frequency moved by one step, kept inside the open
// range 0 .. Endfrequenz; then label, source, empty diagram.
void schritt(Instrument& inst, DeviceLink& link, int richtung);

// "Zwischenfrequenz einrechnen" or "Addition vs. Subtraktion" (item) into the state `an`: its
// check mark and bit of ZF-Berechnung, the source and the diagram. Nothing when it is so.
void zfSchalten(Instrument& inst, DeviceLink& link, Control item, bool an);

}  // namespace veka
