#pragma once
// What the remote interface needs of the front it runs in (the window or the headless loop):
// the program logic, a way to show what a command changed, and whether the front is busy.

#include "measure/netzwerktester.h"

namespace veka {

class RemoteHost {
  public:
    virtual ~RemoteHost() = default;

    virtual Netzwerktester& logic() = 0;
    // A command changed the state: a front with a window mirrors its model now.
    virtual void changed() {}
    // True while the front is inside a command of its own (a modal box is open): remote
    // commands wait until it has finished, so the two never interleave.
    virtual bool busy() const { return false; }
};

}  // namespace veka
