// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Limit lines: an upper and a lower limit over frequency, each a polyline through the rows of
// a limit table; where a row has no value, there is no limit on either side of it up to the
// next row. A trace passes when every point keeps within them.

#include <optional>
#include <vector>

#include "state/instrument.h"

namespace veka {

// The limit at frequency f (upper or lower), straight between the rows around f; nothing
// outside the table or where a row around f has no value.
std::optional<double> limitAt(const std::vector<LimitRow>& rows, int64_t f, bool upper);

// The first point (1..points) whose shown level lies above the upper or below the lower
// limit; 0 when every point keeps within them.
int firstLimitFailure(const std::vector<LimitRow>& rows, const CompletedSweep& c);

}  // namespace veka
