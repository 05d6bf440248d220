// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The serial port of the device on POSIX termios.
//
// Port n (1..9) is named "COM" followed by its digit. Without a device chosen for it (see
// PortPaths), the name is looked up first as a file in the working directory (a link the user
// or the simulator makes to the real tty), else as /dev/ttyS(n-1). Only serial lines are
// opened (see openSerialDevice): a regular file that happens to carry the name is never
// written. While open, the line is claimed with TIOCEXCL and, where the lock folder admits it,
// a UUCP lock file.
// Reads never wait; waiting is done with epoll, edge-triggered on the port (see waitReadable).

#include <cstddef>
#include <cstdint>
#include <string>

#include "link/port_names.h"
#include "link/uucp_lock.h"

namespace veka {

// "COM" + the character '1' + (comport - 1); a digit only for 1..9.
std::string Portname(int32_t comport);

// The path that port n resolves to, or empty when n is outside 1..9.
std::string portPfad(int32_t comport);

// 9600, 19200, 38400 or 57600; any other value gives 9600.
int32_t wirksameBaudrate(int32_t baudrate);

class SerialPort {
  public:
    SerialPort() = default;
    ~SerialPort() { close(); }
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;

    // PortOeffnen: opens port index comport - 1 exclusively; false when it cannot be opened.
    bool open(int32_t comport);
    // Opens the device at path exclusively; false when it cannot be opened (see failure()).
    bool open(const std::string& path);
    // Why the last open failed.
    const PortProbe& failure() const { return failure_; }
    // 8N1, no flow control, DTR and RTS inactive. Failures are without effect.
    void configure(int32_t baudrate);
    // Gives up exclusivity first, so that any user may open the port again, and its lock file.
    void close();
    bool isOpen() const { return fd_ >= 0; }

    // Bytes waiting in the input queue (0 when the port is not open or the query fails).
    size_t pending() const;
    // Reads up to n waiting bytes; returns how many were read.
    size_t read(uint8_t* buffer, size_t n);
    // Writes all bytes unless the line is gone; waits at most a short while for room.
    void write(const uint8_t* bytes, size_t n);

    enum class Wait { Readable, TimedOut, Gone, Woken };
    // Blocks until input arrives, the time is up, the line is gone (hang-up, no port) or
    // wakeFd (when not -1) becomes readable; the last wins over everything else. Only input
    // that arrives after the previous wait ends a wait: read what is waiting before waiting
    // again. This keeps the terminal's own readiness check, which may wait for the kernel's
    // input worker to finish, out of every wait. wakeFd must stay open while the port is.
    Wait waitReadable(int timeoutMs, int wakeFd = -1);

  private:
    bool watchWakeFd(int wakeFd);
    Wait pollReadable(int timeoutMs, int wakeFd) const;

    int fd_ = -1;
    int epoll_ = -1;    // the port, edge-triggered, and the wake descriptor
    int watched_ = -1;  // the wake descriptor in epoll_
    PortProbe failure_;
    UucpLock lock_;
};

}  // namespace veka
