// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The sweep as a CSV table that spreadsheets, dataframe libraries and plotting tools open with
// their defaults: RFC 4180 ("," separated, CRLF line ends, UTF-8 without a byte order mark),
// one header row, then one row per point; numbers only, "." as decimal point whatever the
// locale, no comment lines. The columns:
//   frequency_hz                    the point's frequency in Hz
//   level_db | level_linear         dB below the top line in 0.2 dB steps, or the linear
//                                   fraction of full scale with four decimals
//   display_value                   the display value, 400 = top line
//   raw_reading                     the detector's reading, empty for a series from a file
// What the sweep was measured with goes into the JSON summary (summary_writer.h).

#include <string>
#include <string_view>

#include "export/trace_snapshot.h"

namespace veka {

std::string writeCsv(const TraceSnapshot& a);

// A field as RFC 4180 wants it: quoted, with doubled quotes, when it holds a ",", a quote or a
// line break; else as it is.
std::string csvField(std::string_view text);

}  // namespace veka
