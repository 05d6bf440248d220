#include "remote/remote_session.h"

#include <QIODevice>

namespace veka {

RemoteSession::RemoteSession(RemoteInstrument& instrument, RemoteHost& host, QIODevice* io)
    : QObject(io), instrument_(instrument), host_(host), io_(io) {
    idlePoll_.setInterval(10);
    connect(&idlePoll_, &QTimer::timeout, this, &RemoteSession::work);
    connect(io, &QIODevice::readyRead, this, &RemoteSession::readInput);
    connect(io, &QIODevice::bytesWritten, this, &RemoteSession::schedule);
    instrument_.resetSession();
    QTimer::singleShot(0, this, &RemoteSession::readInput);  // what came with the connection
}

void RemoteSession::readInput() {
    char chunk[4096];
    while (io_ && backlog_.size() < MaxBacklog && io_->bytesAvailable() > 0) {
        const qint64 n = io_->read(chunk, sizeof chunk);
        if (n <= 0) break;
        take(chunk, static_cast<size_t>(n));
    }
    schedule();
}

void RemoteSession::take(const char* data, size_t size) {
    for (size_t i = 0; i < size; ++i) {
        const char c = data[i];
        if (c == '\n') {
            if (!discarding_) backlog_.push_back(std::move(partial_));
            partial_.clear();
            discarding_ = false;
        } else if (!discarding_) {
            partial_ += c;
            if (partial_.size() > MaxLine) {
                instrument_.errors().push(scpi::TooMuchData);
                partial_.clear();
                discarding_ = true;
            }
        }
    }
}

void RemoteSession::schedule() {
    if (scheduled_) return;
    scheduled_ = true;
    QTimer::singleShot(0, this, [this] {
        scheduled_ = false;
        work();
    });
}

bool RemoteSession::mayRun() const {
    return io_ && io_->bytesToWrite() < MaxUnreadAnswers && !host_.busy();
}

void RemoteSession::work() {
    if (running_) return;  // a command of ours is still on the stack (a nested event loop)
    running_ = true;
    bool waiting = false;
    for (int done = 0; done < CommandsPerTurn && mayRun(); ++done) {
        if (!current_) {
            if (backlog_.empty()) break;
            current_ = std::make_unique<LineRunner>(backlog_.front());
            backlog_.pop_front();
        }
        if (!current_->run(instrument_)) {
            waiting = true;
            break;
        }
        if (const auto answer = current_->answer()) {
            const std::string out = *answer + "\n";
            io_->write(out.data(), static_cast<qint64>(out.size()));
        }
        current_.reset();
    }
    running_ = false;
    // While a command waits or the front is busy, look again from the event loop.
    const bool blocked = waiting || (io_ && host_.busy() && (current_ || !backlog_.empty()));
    if (blocked != idlePoll_.isActive()) blocked ? idlePoll_.start() : idlePoll_.stop();
    if (blocked || !io_) return;
    if (io_->bytesAvailable() > 0 && backlog_.size() < MaxBacklog) readInput();
    if (current_ || (!backlog_.empty() && io_->bytesToWrite() < MaxUnreadAnswers)) schedule();
}

}  // namespace veka
