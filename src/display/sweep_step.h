// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How a sweep draws its curve into Diagrammbild point by point, and the curve of a finished
// sweep drawn the same way.

#include "state/instrument.h"

namespace veka {

// Draws the step of sweep point i into d.Diagrammbild (the moving wipe and the curve segments
// to both neighbours); only pixels that end up different count as changed. The caller holds
// datenMutex; 1 < i < Messpunkte.
void punktZeichnen(const Instrument& inst, Messdaten& d, int i, int32_t messart);

// The curve surface of the sweep just finished in d, as a second sweep of the same values would
// leave it: the last drawn step joined the last point's value of the sweep before (the bottom
// line after a redraw), so it is drawn again with the final values. The caller holds
// datenMutex; d.Diagrammbild must hold the sweep's own drawing.
TBildfeld fertigeKurve(const Instrument& inst, const Messdaten& d, int32_t messart);

}  // namespace veka
