#pragma once
// The window picture as PNG and the printed page as PDF. Both need a QGuiApplication (the
// page's texts use fonts).

#include <optional>
#include <string>

#include "export/trace_snapshot.h"

namespace veka {

// The 641 x 481 picture exactly as the window shows it: a palette PNG with the halftone
// palette, pixel for pixel. Nothing when encoding fails.
std::optional<std::string> encodePng(const Anzeigebitmap& bild);

// The printed page on A4: headline, the picture in the page's diagram rectangle, embedded
// losslessly, and the eight result lines. Nothing when the PDF cannot be made.
std::optional<std::string> encodePdf(const TraceSnapshot& a);

}  // namespace veka
