#pragma once
// One client's conversation: bytes in, lines cut at '\n', each line run through the command
// tree in order, answers written back. Lines longer than MaxLine are refused ("Too much
// data") and skipped up to their newline. The session never blocks the thread it runs on: it
// runs a few commands per turn of the event loop, stops reading while its backlog or the
// client's unread answers are large (the client's sends then block, not the program), and
// waits for a sweep by polling the instrument from the event loop.

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <deque>
#include <memory>
#include <string>

#include "remote/line_runner.h"
#include "remote/remote_host.h"
#include "remote/remote_instrument.h"

class QIODevice;

namespace veka {

class RemoteSession : public QObject {
  public:
    static constexpr size_t MaxLine = 4096;
    static constexpr size_t MaxBacklog = 64;             // lines read but not yet run
    static constexpr qint64 MaxUnreadAnswers = 1 << 20;  // bytes the client has not taken
    static constexpr int CommandsPerTurn = 32;

    RemoteSession(RemoteInstrument& instrument, RemoteHost& host, QIODevice* io);

  private:
    void readInput();
    void take(const char* data, size_t size);
    void schedule();
    void work();
    bool mayRun() const;

    RemoteInstrument& instrument_;
    RemoteHost& host_;
    QPointer<QIODevice> io_;
    std::string partial_;
    bool discarding_ = false;
    std::deque<std::string> backlog_;
    std::unique_ptr<LineRunner> current_;
    bool scheduled_ = false;
    bool running_ = false;
    QTimer idlePoll_;
};

}  // namespace veka
