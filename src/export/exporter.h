// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Writing the current sweep into a file whose extension names the format. A file is saved
// whole or not at all: a failed export leaves nothing under the chosen name and an existing
// file as it was.

#include <optional>
#include <string>

#include "export/export_format.h"
#include "export/trace_snapshot.h"
#include "state/instrument.h"

namespace veka {

struct ExportFailure {
    bool unknownFormat = false;  // the name's extension names no format
    std::string text;            // German, naming the file and the reason (the window's box)
    std::string reason;          // the bare reason in English (command-line messages)
};

// The bytes of a format; nothing when it cannot be made. exportedAt: ISO 8601 with offset.
std::optional<std::string> encode(ExportFormat format, const TraceSnapshot& a,
                                  const std::string& exportedAt);

// The local time now, ISO 8601 with the zone offset ("2026-12-09T13:33:49+01:00").
std::string exportTime();

// Writes the file; false with *failure when the extension is unknown, the format cannot be
// made or the file cannot be saved. Window thread, no sweep running.
bool exportTrace(const Instrument& inst, const std::string& path, ExportFailure* failure);

}  // namespace veka
