// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The window picture as PNG and the printed page as PDF. Both need a QGuiApplication (the
// page's texts use fonts).

#include <optional>
#include <string>

#include "export/trace_snapshot.h"

namespace veka {

// The 641 x 481 picture exactly as the window shows it, with the finished curve: a palette PNG
// with the halftone palette, pixel for pixel. Nothing when encoding fails.
std::optional<std::string> encodePng(const Anzeigebitmap& picture);

// The printed page on A4: headline, the diagram as vectors at equal scale across and down in
// the page's diagram rectangle, the eight result lines and a caption of what the sweep was
// measured with; fonts embedded. Nothing when the PDF cannot be made.
std::optional<std::string> encodePdf(const TraceSnapshot& a);

}  // namespace veka
