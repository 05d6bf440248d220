// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <termios.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace vekasim {

// The device end of a pseudo-terminal. The simulator keeps a slave fd of its own, so the
// host closing its port neither hangs up the master nor drops bytes already queued.
class PtyLink {
  public:
    PtyLink() = default;
    ~PtyLink();
    PtyLink(const PtyLink&) = delete;
    PtyLink& operator=(const PtyLink&) = delete;

    bool open(std::string* error);
    bool createLink(const std::string& linkPath, std::string* error);
    void removeLink();  // only if it still points at our slave
    void close();

    int master() const { return m_master; }
    // Bytes written by us that the host has not read yet.
    int queuedForHost() const;
    // The line settings the host chose (speed, character size); false when there is no line.
    bool settings(termios& t) const;
    const std::string& slavePath() const { return m_slavePath; }

  private:
    friend std::chrono::nanoseconds handOverTime(int samples);
    friend std::chrono::nanoseconds roundTripTime(int samples, std::chrono::microseconds pause);
    int m_master = -1;
    int m_slave = -1;
    std::string m_slavePath;
    std::string m_linkPath;
};

std::string comLinkPath(const std::string& dir, int port);

// The shortest time the kernel took, in `samples` tries on a pseudo-terminal of its own, from
// writing a byte at one end until a reader waiting at the other end had it. Zero when no
// pseudo-terminal could be made.
std::chrono::nanoseconds handOverTime(int samples);

// The median time, in `samples` tries on a pseudo-terminal of its own, of the quickest
// possible exchange: a host thread writes a frame and waits in poll; a device thread waiting
// in poll at the other end answers one byte at once. The host sleeps `pause` between tries,
// as it does between sweep points, so both ends have been idle that long; a longer idle time
// makes the next wake-up slower. Zero when no pseudo-terminal could be made.
std::chrono::nanoseconds roundTripTime(int samples, std::chrono::microseconds pause);

}  // namespace vekasim
