#pragma once
// Batch mode, veka --sweep: the same program logic as the window, without one. Reads the
// start-up configuration (creating it when missing), opens the port, runs a number of complete
// sweeps and writes every --out file from the last one, in the format of its extension.

#include "app/command_line.h"

namespace veka {

// Exit codes of batch mode besides success (0) and usage errors (kExitUsage).
inline constexpr int kExitNoDevice = 3;  // the device did not answer: no readings are written
inline constexpr int kExitOutput = 4;    // an output file could not be written

// Runs on Qt's offscreen platform, so no display is needed; makes the QGuiApplication unless
// one exists. Progress goes to standard error when that is a terminal.
int runBatch(const ProgramOptions& opts);

}  // namespace veka
