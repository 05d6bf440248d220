// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How a measurement series read back from a file is shown: drawn as its own diagram and
// evaluated, without changing any setting of the instrument.

#include "files/series_file.h"
#include "state/instrument.h"

namespace veka {

// Puts the values into Messwerte[1..n], draws the series' diagram on both surfaces and fills
// the result labels with its evaluation. Settings stay as they are. Window thread; takes
// datenMutex itself.
void MessreiheAnzeigen(Instrument& inst, const GeladeneMessreihe& reihe);

}  // namespace veka
