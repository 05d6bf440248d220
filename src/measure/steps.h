// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Steps that several commands and operations share: the frequency and cursor labels, parking
// the source and the empty redraw. Each exists once, here. Window thread.

#include "link/exchange.h"
#include "state/instrument.h"

namespace veka {

// The start-frequency label (Label1) and the step label (Label2).
void frequenzenZeigen(Instrument& inst);
// The cursor-frequency label (Label12).
void cursorZeigen(Instrument& inst);
// Cursorpunkt := Messpunkte / 2 to the nearest integer (halves to even), and its label.
void cursorMitte(Instrument& inst);
// FrequenzSetzen(1, Startfrequenz): the source waits on the start frequency with the current
// control bits; the reading is not used.
void parken(Instrument& inst, DeviceLink& link);
// dm_diagramm, then clear_messwerte: the empty diagram without readouts.
void leerZeichnen(Instrument& inst);

}  // namespace veka
