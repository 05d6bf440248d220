// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Batch mode, veka --sweep: the same program logic as the window, without one. Checks the
// request first (options, output folders, the port), reads the start-up configuration
// (creating it when missing), runs a number of complete sweeps and writes every --out file
// and the --summary from the last one, in the format of its extension; --out - writes the CSV
// table to standard output. --average, --hold, --reference and --limits switch on the additions
// (averaging, hold, normalisation to a reference, limit lines). SIGTERM, SIGINT and SIGHUP end
// it within a moment: the port is released and no output is written. Messages go to standard
// error, one line each, in English.

#include "app/command_line.h"

namespace veka {

// Exit codes of batch mode besides success (0) and usage errors (kExitUsage).
inline constexpr int kExitNoDevice = 3;  // no usable port or no reply: no readings are written
inline constexpr int kExitOutput = 4;    // an output file could not be written
inline constexpr int kExitLimits = 6;    // with --limits: a sweep left the limit lines

// Runs on Qt's offscreen platform, so no display is needed; makes the QGuiApplication unless
// one exists. Progress goes to standard error when that is a terminal.
int runBatch(const ProgramOptions& opts);

}  // namespace veka
