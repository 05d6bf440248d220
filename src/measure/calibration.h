// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The calibration procedures of the "&Kalibrieren" menu: two-step factor calibrations for
// transmission, reflection and spectrum, and the seven reflection reference lines. Each is a
// short dialogue on the window thread while the worker sweeps. The sweep of a step completes
// after its box is closed without holding up the window, as after "Sto&p"; the dialogue goes
// on from the window's event loop once it has, so the calls below return before it ends.

#include "state/instrument.h"
#include "measure/sweep.h"
#include "state/user_interface.h"

namespace veka {

// round(sum of Messwerte[1..n] / n), the sum in wrapping int32; 0 when there are no points.
int32_t mittelwert(const Instrument& inst);
// round(400 / a * 100).
int32_t verstaerkung(int32_t a);

void Durchgangsmessung2Click(Instrument& inst, Sweep& sweep, UserInterface& ui);
void Reflexionsmessung2Click(Instrument& inst, Sweep& sweep, UserInterface& ui);
void Spektralmessung2Click(Instrument& inst, Sweep& sweep, UserInterface& ui);
// "Linie &1" .. "Linie &7": linie 1..7.
void LinieKalibrieren(Instrument& inst, Sweep& sweep, UserInterface& ui, int linie);

}  // namespace veka
