// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Two small CSV tables read back: a trace as the export writes it (to keep as a reference) and
// a table of limit lines. Both: a header row first, "," between fields, "." decimals, CRLF or
// LF line ends. A table that is not what it should be gives one English line saying why.

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "state/trace_extras.h"

namespace veka {

// A limit table: the header frequency_hz,upper,lower, then rows with ascending frequencies in
// Hz and levels in the trace's unit; an empty cell is no limit there.
std::variant<std::vector<LimitRow>, std::string> readLimitTable(std::string_view bytes);

struct TraceTable {
    int64_t startHz = 0;
    int64_t stepHz = 0;
    bool linear = false;         // level_linear rather than level_db
    std::vector<double> levels;  // point 1 first
};

// A trace as the export writes it: frequency_hz and level_db or level_linear as its first two
// columns (further columns are not read), the frequencies in equal steps.
std::variant<TraceTable, std::string> readTraceTable(std::string_view bytes);

}  // namespace veka
