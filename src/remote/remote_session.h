// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One client's connection: its socket (owned), the lines it sent that have not run yet, the
// line that is running, and the answers it has not taken yet. Lines are cut at '\n'; each is
// stamped with its arrival, so that the server runs the lines of all clients in the order
// they came. A line longer than MaxLine is refused ("Too much data") and skipped up to its
// newline. The session never blocks the thread it runs on: it stops reading while its backlog
// or the client's unread answers are large (the client's sends then block, not the program).
// When the client ends its input (a half-close, `nc -N`), its last line counts as ended, its
// lines still run and their answers are sent before the socket is closed.

#include <QSocketNotifier>
#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>

#include "remote/line_runner.h"
#include "remote/remote_instrument.h"

namespace veka {

class RemoteSession {
  public:
    static constexpr size_t MaxLine = 4096;
    static constexpr size_t MaxBacklog = 64;      // lines read but not yet run
    static constexpr size_t MaxUnsent = 1 << 20;  // answer bytes the client has not taken

    // fd: a connected, admitted socket, now owned. arrivals counts lines over all sessions;
    // wake asks the server for a turn (lines arrived, answers drained).
    RemoteSession(int fd, RemoteInstrument& instrument, uint64_t& arrivals,
                  std::function<void()> wake);
    ~RemoteSession();
    RemoteSession(const RemoteSession&) = delete;
    RemoteSession& operator=(const RemoteSession&) = delete;

    // A line to run (a waiting one, or the next), and room for its answer.
    bool ready() const;
    // The arrival stamp of that line.
    uint64_t nextArrival() const;
    // Runs that line as far as it goes; false when a command of it waits for the instrument.
    bool runLine();
    // Nothing read and not run, nothing unsent: the connection only holds a slot.
    bool idle() const;
    std::chrono::steady_clock::time_point lastActive() const { return lastActive_; }
    // The socket is closed (the client left, broke off, or ended its input and got every
    // answer): the server may delete the session.
    bool closed() const { return fd_ < 0; }
    void close();

  private:
    struct Line {
        uint64_t arrival;
        std::string text;
    };

    void readInput();
    void take(const char* data, size_t size);
    void endLine();
    void send(const std::string& bytes);
    void flush();
    void closeWhenDone();

    int fd_;
    RemoteInstrument& instrument_;
    uint64_t& arrivals_;
    std::function<void()> wake_;
    std::unique_ptr<QSocketNotifier> readable_;
    std::unique_ptr<QSocketNotifier> writable_;
    std::string partial_;
    bool discarding_ = false;
    bool inputEnded_ = false;
    std::deque<Line> backlog_;
    std::unique_ptr<LineRunner> current_;
    uint64_t currentArrival_ = 0;
    std::string unsent_;
    std::chrono::steady_clock::time_point lastActive_ = std::chrono::steady_clock::now();
};

}  // namespace veka
