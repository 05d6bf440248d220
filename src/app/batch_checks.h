// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What batch mode checks before anything runs, so that an impossible request ends at once
// with one line: the output files (their extensions and folders) and the serial port.

#include <optional>
#include <string>

#include "app/command_line.h"

namespace veka {

struct Refusal {
    int exitCode;
    std::string line;  // without "veka: " and the line end
};

// Every --out and --summary file: a known extension (exit 2), a folder that exists and that
// we may write in, no folder under the name itself, and no symbolic link that another user
// planted in a shared sticky folder (exit 4).
std::optional<Refusal> checkOutputs(const ProgramOptions& opts);

// The port of the configuration (without creating it) or --port: present, a terminal, free
// and ours to open (exit 3 otherwise).
std::optional<Refusal> checkPort(const ProgramOptions& opts);

}  // namespace veka
