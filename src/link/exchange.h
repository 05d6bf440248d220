// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The one operation that talks to the device, FrequenzSetzen, and the port it talks over.
//
// Whole calls are serialised by one lock, so a call from the window thread (attenuator) and
// one from the sweep worker never interleave on the wire or take each other's reply; each
// call returns its own reading. A time-out closes the port, and on the worker posts its message
// and caption change to the window thread and goes on at once in demonstration mode.
//
// Every wait of a call (the pause before the control byte, the reply wait, the pace of
// demonstration readings) ends at once when the link is aborted at program end.

#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

#include "link/abort_event.h"
#include "link/serial_port.h"
#include "state/instrument.h"
#include "state/user_interface.h"

namespace veka {

class DeviceLink {
  public:
    static constexpr std::chrono::seconds Zeitlimit{4};
    // The pause before the control byte never exceeds this many milliseconds, whatever Delay
    // holds; no device needs more, and Delay itself keeps the value it was given.
    static constexpr int32_t MaxPauseMs = 1000;

    // Constructed on the window thread, which it remembers as such.
    DeviceLink(Instrument& inst, UserInterface& ui);

    // Opens and configures port Comport and writes the caption (window thread, no sweep).
    // Once aborted it does nothing: a dialog closed by the program's end must not claim the
    // port again.
    void PortSetzen();
    // Closes the port; the next PortSetzen opens it anew.
    void closePort();
    // Reads and throws away whatever waits in the input queue.
    void discardInput();

    // Tunes the device to frequenz and returns the reading of this very call, which it also
    // leaves in Rohwert. After a time-out, or once aborted, Rohwert is unchanged and returned.
    // unterwegs (may be empty) runs once the frame is out, while the reply is on its way,
    // still inside the exchange; when no frame goes out, it does not run.
    uint16_t FrequenzSetzen(int32_t punkt, int32_t frequenz,
                            const std::function<void()>& unterwegs = {});

    bool portOpen() const;
    // Which device each port number means (per-user choices, a device for this run). The
    // program's front sets them before PortSetzen; window thread, no sweep.
    void setPortPaths(PortPaths paths);
    PortPaths portPaths() const;

    // Program end: ends the wait of a running call and makes every later call return at once
    // without touching the port; a time-out not yet reported is never reported. Any thread.
    void abort() const { abort_.raise(); }
    bool aborted() const { return abort_.raised(); }
    // The switch abort() raises; a signal handler may raise it itself.
    const AbortEvent& abortEvent() const { return abort_; }

  private:
    enum class Reply { Arrived, TimedOut, Aborted };

    void discardInputLocked();
    // One exchange under the lock: the reading, or nothing after a time-out.
    std::optional<uint16_t> exchangeLocked(int32_t punkt, int32_t frequenz,
                                           const std::function<void()>& unterwegs);
    bool sendFrame(int32_t frequenz);
    bool pauseBeforeControlByte() const;
    Reply awaitReply(size_t needed, uint8_t* reply);
    void reportTimeout();

    Instrument& inst_;
    UserInterface& ui_;
    const std::thread::id windowThread_;
    mutable std::mutex exchangeMutex_;
    SerialPort port_;
    PortPaths portPaths_;
    AbortEvent abort_;
};

// The platform-style millisecond tick counter; wraps after 49.7 days.
uint32_t tickCount();

// The pause before the control byte for a Delay: none for 1 or less, else Delay limited to
// DeviceLink::MaxPauseMs. The pause lasts more than this many milliseconds.
int32_t pausenDauer(int32_t delay);

// How long the line is busy with one exchange at a baud rate (as the port uses it): five bytes
// out and replyBytes back, ten bits each. Demonstration readings come at this pace.
std::chrono::microseconds leitungszeit(size_t replyBytes, int32_t baudrate);

}  // namespace veka
