#pragma once
// The one operation that talks to the device, FrequenzSetzen, and the port it talks over.
//
// Whole calls are serialised by one lock, so a call from the window thread (attenuator) and
// one from the sweep worker never interleave on the wire or take each other's reply. A
// time-out on the worker posts its message and caption change to the window thread and goes
// on at once in demonstration mode.

#include <chrono>
#include <cstdint>
#include <mutex>
#include <thread>

#include "link/serial_port.h"
#include "measure/instrument.h"
#include "measure/user_interface.h"

namespace veka {

class DeviceLink {
  public:
    static constexpr std::chrono::seconds Zeitlimit{4};

    // Constructed on the window thread, which it remembers as such.
    DeviceLink(Instrument& inst, UserInterface& ui);

    // Opens and configures port Comport and writes the caption (window thread, no sweep).
    void PortSetzen();
    // Closes the port; the next PortSetzen opens it anew.
    void closePort();
    // Reads and throws away whatever waits in the input queue.
    void discardInput();

    // Tunes the device to frequenz and leaves its reading in Rohwert.
    void FrequenzSetzen(int32_t punkt, int32_t frequenz);

    bool portOpen() const;

  private:
    void discardInputLocked();
    void sendFrame(int32_t frequenz);
    void pauseBeforeControlByte() const;
    bool awaitReply(size_t needed, uint8_t* reply);
    void reportTimeout();

    Instrument& inst_;
    UserInterface& ui_;
    const std::thread::id windowThread_;
    mutable std::mutex exchangeMutex_;
    SerialPort port_;
};

// The platform-style millisecond tick counter; wraps after 49.7 days.
uint32_t tickCount();

}  // namespace veka
