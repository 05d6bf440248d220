#pragma once
// Writing the current sweep into a file whose extension names the format. A file is saved
// whole or not at all: a failed export leaves nothing under the chosen name and an existing
// file as it was.

#include <string>

#include "state/instrument.h"

namespace veka {

// Writes the file; false with *fehler (German) when the extension is unknown, the format
// cannot be made or the file cannot be saved. Window thread, no sweep running.
bool exportTrace(const Instrument& inst, const std::string& pfad, std::string* fehler);

}  // namespace veka
