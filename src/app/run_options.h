#pragma once
// What every front does with the options that hold for one run only: the device for the
// configured port number on top of the per-user choices, and the language section.

#include "app/command_line.h"
#include "link/port_names.h"
#include "measure/instrument.h"

namespace veka {

// The per-user choices, with --port for the configured port number; set them on the device
// link before the start-up runs.
PortPaths portPathsFor(const ProgramOptions& opts);
// --lang, after the start-up: the section becomes the language of this run.
void applyLanguageOption(Instrument& inst, const ProgramOptions& opts);

}  // namespace veka
