// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The mode commands: transmission, reflection, spectrum and VFO, and the detector scale.

#include "link/exchange.h"
#include "state/instrument.h"

namespace veka {

void Button8Click(Instrument& inst);   // "Durchgangsmessung"
void Button9Click(Instrument& inst);   // "Reflexionsmessung"
void Button10Click(Instrument& inst);  // "Spektralmessung"
// "VFO": the source stays on Startfrequenz as a signal generator, offset by the IF if wanted.
void Button15Click(Instrument& inst, DeviceLink& link);
// "lo&g." (false) and "li&n." (true): the scale, leaving the Smith chart for reflection.
void detektorSetzen(Instrument& inst, bool linear);

// The mode label: a caption, blanks and the heading.
std::string Modustext(const Instrument& inst, Control taste, const char* abstand);

}  // namespace veka
