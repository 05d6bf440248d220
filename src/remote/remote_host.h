#pragma once
// What the remote interface needs of the front it runs in (the window or the headless loop):
// the program logic, the way the front runs a command of it, and where messages go.

#include <functional>
#include <string>

#include "measure/netzwerktester.h"
#include "measure/user_interface.h"

namespace veka {

class RemoteHost {
  public:
    virtual ~RemoteHost() = default;

    virtual Netzwerktester& logik() = 0;
    // Runs a command of the logic as the front runs its own, so that the window mirrors the
    // window model afterwards. Called on the logic's thread.
    virtual void run(const std::function<void()>& command) = 0;
    // The interface the logic reports through; remote value input wraps it.
    virtual UserInterface& ui() = 0;
    // True while the front is inside a command of its own (a modal box is open): remote
    // commands wait until it has finished, so the two never interleave.
    virtual bool busy() const { return false; }
};

}  // namespace veka
