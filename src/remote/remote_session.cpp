// SPDX-License-Identifier: GPL-3.0-or-later
#include "remote/remote_session.h"

#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

namespace veka {

RemoteSession::RemoteSession(int fd, RemoteInstrument& instrument, uint64_t& arrivals,
                             std::function<void()> wake)
    : fd_(fd), instrument_(instrument), arrivals_(arrivals), wake_(std::move(wake)) {
    readable_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
    writable_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Write);
    writable_->setEnabled(false);
    QObject::connect(readable_.get(), &QSocketNotifier::activated, readable_.get(),
                     [this] { readInput(); });
    QObject::connect(writable_.get(), &QSocketNotifier::activated, writable_.get(),
                     [this] { flush(); });
}

RemoteSession::~RemoteSession() {
    close();
}

void RemoteSession::close() {
    if (fd_ < 0) return;
    readable_->setEnabled(false);
    writable_->setEnabled(false);
    ::close(fd_);
    fd_ = -1;
    backlog_.clear();
    unsent_.clear();
}

bool RemoteSession::ready() const {
    return fd_ >= 0 && (current_ || !backlog_.empty()) && unsent_.size() < MaxUnsent;
}

uint64_t RemoteSession::nextArrival() const {
    return current_ ? currentArrival_ : backlog_.front().arrival;
}

bool RemoteSession::idle() const {
    return !current_ && backlog_.empty() && unsent_.empty() && partial_.empty();
}

bool RemoteSession::runLine() {
    if (!current_) {
        current_ = std::make_unique<LineRunner>(backlog_.front().text);
        currentArrival_ = backlog_.front().arrival;
        backlog_.pop_front();
        if (!inputEnded_ && backlog_.size() < MaxBacklog) readable_->setEnabled(true);
    }
    lastActive_ = std::chrono::steady_clock::now();
    if (!current_->run(instrument_)) return false;
    if (const auto answer = current_->answer()) send(*answer + "\n");
    current_.reset();
    closeWhenDone();
    return true;
}

void RemoteSession::readInput() {
    char chunk[16384];
    while (fd_ >= 0 && backlog_.size() < MaxBacklog) {
        const ssize_t n = ::recv(fd_, chunk, sizeof chunk, MSG_DONTWAIT);
        if (n > 0) {
            take(chunk, static_cast<size_t>(n));
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) break;
        if (n < 0) return close();  // broken off: nobody takes the answers
        inputEnded_ = true;         // the client's end of input
        if (!partial_.empty() && !discarding_) endLine();
        readable_->setEnabled(false);
        closeWhenDone();
        break;
    }
    if (fd_ >= 0 && backlog_.size() >= MaxBacklog) readable_->setEnabled(false);
    lastActive_ = std::chrono::steady_clock::now();
    wake_();
}

void RemoteSession::take(const char* data, size_t size) {
    for (size_t i = 0; i < size; ++i) {
        const char c = data[i];
        if (c == '\n') {
            if (!discarding_) endLine();
            partial_.clear();
            discarding_ = false;
        } else if (!discarding_) {
            partial_ += c;
            if (partial_.size() > MaxLine) {
                instrument_.status().push(scpi::TooMuchData);
                partial_.clear();
                discarding_ = true;
            }
        }
    }
}

void RemoteSession::endLine() {
    backlog_.push_back({arrivals_++, std::move(partial_)});
    partial_.clear();
}

void RemoteSession::send(const std::string& bytes) {
    unsent_ += bytes;
    flush();
}

void RemoteSession::flush() {
    while (fd_ >= 0 && !unsent_.empty()) {
        const ssize_t n = ::send(fd_, unsent_.data(), unsent_.size(), MSG_DONTWAIT | MSG_NOSIGNAL);
        if (n > 0) {
            unsent_.erase(0, static_cast<size_t>(n));
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) break;
        return close();  // the client is gone
    }
    if (fd_ < 0) return;
    writable_->setEnabled(!unsent_.empty());
    if (unsent_.size() < MaxUnsent) wake_();
    closeWhenDone();
}

void RemoteSession::closeWhenDone() {
    if (fd_ >= 0 && inputEnded_ && !current_ && backlog_.empty() && unsent_.empty()) {
        ::shutdown(fd_, SHUT_RDWR);
        close();
        wake_();
    }
}

}  // namespace veka
