// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The diagram as an SVG drawing that scales cleanly: exactly 641 x 481 px, the area of the
// window picture, with the vector diagram of vector_diagram.h; the title is the mode label,
// the description holds what the sweep was measured with. Needs a QGuiApplication (labels
// use fonts).

#include <optional>
#include <string>

#include "export/trace_snapshot.h"

namespace veka {

std::optional<std::string> encodeSvg(const TraceSnapshot& a);

}  // namespace veka
