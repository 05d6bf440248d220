#pragma once
// The three mode commands: transmission, reflection and spectrum.

#include "measure/instrument.h"

namespace veka {

void Button8Click(Instrument& inst);   // "Durchgangsmessung"
void Button9Click(Instrument& inst);   // "Reflexionsmessung"
void Button10Click(Instrument& inst);  // "Spektralmessung"

// The mode label: a caption, blanks and the heading.
std::string Modustext(const Instrument& inst, Control taste, const char* abstand);

}  // namespace veka
