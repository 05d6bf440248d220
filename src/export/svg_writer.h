#pragma once
// The diagram as an SVG drawing that scales cleanly: the background, the grid lines and the
// labels (as text) the renderer draws, and the measured curve as one polyline, on the
// 641 x 481 area of the window picture. Needs a QGuiApplication (labels use fonts).

#include <optional>
#include <string>

#include "export/trace_snapshot.h"

namespace veka {

std::optional<std::string> encodeSvg(const TraceSnapshot& a);

}  // namespace veka
