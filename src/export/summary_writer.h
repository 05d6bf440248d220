// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The sweep's metadata and evaluation as a JSON document (UTF-8): what it was measured with
// and the results the window shows after a stop, as numbers with their units in the key names
// (frequency_hz, level_db or level_linear). It stands beside the CSV table, which holds only
// the points. The keys are listed in the README.

#include <string>
#include <string_view>

#include "export/trace_snapshot.h"

namespace veka {

// exportedAt: the time of the export, ISO 8601 with the zone offset.
std::string writeSummary(const TraceSnapshot& a, std::string_view exportedAt);

}  // namespace veka
