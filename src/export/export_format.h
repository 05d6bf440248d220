// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The export formats and how a file name selects one.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace veka {

enum class ExportFormat : uint8_t { Csv, Png, Svg, Pdf, Dat, Json };

// The format of a file name's extension (letter case ignored); nothing for any other.
std::optional<ExportFormat> formatOfName(std::string_view path);

// The save dialog's filter, one entry per format, CSV first.
std::string exportFilter();

}  // namespace veka
