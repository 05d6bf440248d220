#pragma once
// Writing the current sweep into a file whose extension names the format, and the window's
// "Exportieren …" command around it. A file is saved whole or not at all: a failed export
// leaves nothing under the chosen name and an existing file as it was.

#include <string>

#include "measure/instrument.h"
#include "measure/user_interface.h"

namespace veka {

// Writes the file; false with *fehler (German) when the extension is unknown, the format
// cannot be made or the file cannot be saved. Window thread, no sweep running.
bool exportieren(const Instrument& inst, const std::string& pfad, std::string* fehler);

// "Exportieren …": a save dialog offering the formats (angeboten: the name it offers, then the
// one chosen), then the file; a failure goes to the error box.
void Exportieren1Click(const Instrument& inst, UserInterface& ui, std::string& angeboten);

}  // namespace veka
