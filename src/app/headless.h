// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The remote front without a window (veka --remote PORT --no-window): the program logic, its
// start-up and the remote server in an event loop on Qt's offscreen platform, so no display is
// needed. Ends with the process (SIGTERM, SIGINT, SIGHUP).

#include "app/command_line.h"

namespace veka {

// Exit status when the server cannot listen on the address given.
inline constexpr int kExitNoListen = 5;

int runHeadless(const ProgramOptions& opts);

}  // namespace veka
