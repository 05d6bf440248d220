// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the remote interface needs of the front it runs in (the window or the headless loop):
// the program logic, a way to run a command and show what it changed, whether the window is
// asking its user something, and the lock of the window's controls.

#include <functional>

#include "measure/netzwerktester.h"

namespace veka {

// SYSTem:LOCal, SYSTem:REMote and SYSTem:RWLock.
enum class WindowLock { Local, Remote, RemoteWithLockout };

class RemoteHost {
  public:
    virtual ~RemoteHost() = default;

    virtual Netzwerktester& logic() = 0;
    // Runs one remote command. A front with a window keeps the boxes the command would raise
    // off the screen (nobody at the window asked for them; the client learns of the fault
    // through the error queue) and mirrors the window model afterwards.
    virtual void runCommand(const std::function<void()>& command) { command(); }
    // True while the window is asking its user (a modal box is open): the window is inside a
    // command of its own, so remote settings are refused meanwhile; queries still answer.
    virtual bool asking() const { return false; }
    // Locks or releases the window's controls; without a window there is nothing to lock.
    virtual void setLock(WindowLock) {}
};

}  // namespace veka
