#pragma once
// The sweep as a CSV table (RFC 4180: "," separated, CRLF line ends, fields quoted where they
// need it; UTF-8): leading "#" comment lines with mode, detector, heading, export time and
// correction pair, one header line, then one line per point with the frequency in Hz, the
// display value and the level as the readouts write it, always with "." as decimal point.

#include <string>
#include <string_view>

#include "export/trace_snapshot.h"

namespace veka {

// exportiert: the time of the export as text, written into a comment line.
std::string writeCsv(const TraceSnapshot& a, std::string_view exportiert);

// A field as RFC 4180 wants it: quoted, with doubled quotes, when it holds a ",", a quote or a
// line break; else as it is.
std::string csvField(std::string_view text);

}  // namespace veka
