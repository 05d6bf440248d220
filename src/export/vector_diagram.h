// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The diagram as vectors, painted in the window picture's coordinates (641 x 481, one unit per
// pixel): the background, the grid lines and labels the renderer draws, and the measured curve
// through every point. The SVG drawing and the PDF page both paint it.

#include <QPainter>

#include "export/trace_snapshot.h"

namespace veka {

void paintDiagram(QPainter& p, const TraceSnapshot& a);

}  // namespace veka
