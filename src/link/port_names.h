// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Which device a port number means on this machine, which serial devices there are, and why
// one of them does not open.
//
// Only serial lines are ever opened: a path is opened only after the kernel names the device
// behind it a serial line or pseudo-terminal (link/tty_drivers.h). States then come from a real
// open attempt (read/write, non-blocking, no controlling terminal), never from guessing at
// file modes. A device another program has claimed with TIOCEXCL, or holds by a UUCP lock
// file (link/uucp_lock.h), counts as busy even for root, who could open it anyway; such a
// device is not opened at all.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace veka {

enum class PortState { Usable, PermissionDenied, Busy, NotPresent, NotSerial };

struct PortProbe {
    PortState state = PortState::NotPresent;
    std::string group;  // group that may use the device node, for the permission hint
};

// "usable", "permission denied", "busy", "not present", "not a serial device".
std::string stateWord(PortState state);
// The state with what to do about it, e.g. "permission denied — add your user to the group
// 'dialout' and log in again", "in use by another program".
std::string stateReason(const PortProbe& probe);
// One line for standard error: "<what>: <reason>".
std::string openFailureText(const std::string& what, const PortProbe& probe);
// Writes that line for port comport resolved to path (empty: no such port) to standard error.
void reportOpenFailure(int32_t comport, const std::string& path, const PortProbe& probe);

// Opens path as the device's serial line; the descriptor, or -1 with the reason in why.
// exclusive also claims the line with TIOCEXCL.
int openSerialDevice(const std::string& path, bool exclusive, PortProbe& why);
// Opens and closes path again to learn its state.
PortProbe probePort(const std::string& path);

struct FoundPort {
    std::string path;
    std::string target;  // where a link points, else empty
    PortState state = PortState::NotPresent;
};
// /dev/serial/by-id names first, then ttyUSB*, ttyACM* and ttyS* not named by those (ttyS only
// when a UART or terminal answers), then COMn links in folder.
std::vector<FoundPort> listPorts(const std::string& folder = ".");
// "<path>[ -> <target>]: <state>".
std::string portLine(const FoundPort& port);
// One such line per port, each ended by a newline.
std::string portListText(const std::vector<FoundPort>& ports);

// The device behind each port number: a per-user choice, a device for this run only, and the
// built-in lookup. A plain value; whoever owns the port keeps one.
class PortPaths {
  public:
    // Per-user choice for port 1..9; empty clears it.
    void setChoice(int32_t comport, std::string device);
    std::string choice(int32_t comport) const;
    // A device for this run: it stands for the first port number resolved after it is set.
    void setRunDevice(std::string device);
    // The path of port n: the run device, the choice, COMn in the working folder,
    // /dev/ttyS(n-1); empty for a number outside 1..9 without a run device.
    std::string resolve(int32_t comport);

  private:
    std::array<std::string, 10> choices_;
    std::string runDevice_;
    std::optional<int32_t> runPort_;
};

}  // namespace veka
