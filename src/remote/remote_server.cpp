// SPDX-License-Identifier: GPL-3.0-or-later
#include "remote/remote_server.h"

#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QHostAddress>
#include <algorithm>
#include <cstdio>

namespace veka {

namespace {

void say(const std::string& text) {
    std::fprintf(stderr, "veka: remote control: %s\n", text.c_str());
    std::fflush(stderr);
}

}  // namespace

RemoteServer::RemoteServer(RemoteHost& host, std::string version, PeerAccess access)
    : host_(host), instrument_(host, std::move(version)), access_(std::move(access)) {
    waitPoll_.setInterval(10);
    connect(&waitPoll_, &QTimer::timeout, this, &RemoteServer::turn);
}

RemoteServer::~RemoteServer() = default;

bool RemoteServer::listen(const std::string& address, uint16_t port, std::string* error) {
    QHostAddress host;
    if (address == "localhost")
        host = QHostAddress(QHostAddress::LocalHost);
    else if (!host.setAddress(QString::fromStdString(address))) {
        if (error) *error = "not an IP address: " + address;
        return false;
    }
    if (!QTcpServer::listen(host, port)) {
        if (error) *error = errorString().toStdString();
        return false;
    }
    if (!host.isLoopback())
        std::fprintf(stderr,
                     "veka: warning: remote control on %s is reachable from other computers; "
                     "it has no password\n",
                     address.c_str());
    std::fprintf(stderr, "veka: remote control listening on %s:%u\n", address.c_str(),
                 static_cast<unsigned>(serverPort()));
    std::fflush(stderr);
    return true;
}

size_t RemoteServer::clients() const {
    return static_cast<size_t>(std::count_if(sessions_.begin(), sessions_.end(),
                                             [](const auto& s) { return !s->closed(); }));
}

void RemoteServer::incomingConnection(qintptr descriptor) {
    const int fd = static_cast<int>(descriptor);
    std::string why;
    if (!access_.admits(fd, why)) {
        ::close(fd);  // not a byte of it is read
        say("refused " + why);
        return;
    }
    dropClosed();
    if (sessions_.size() >= MaxClients && !makeRoom()) {
        ::close(fd);
        say("refused a connection: every client is busy");
        return;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    const int on = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);  // answers go out at once
    sessions_.push_back(
        std::make_unique<RemoteSession>(fd, instrument_, arrivals_, [this] { schedule(); }));
    schedule();  // what came with the connection
}

// The client idle longest gives up its slot.
bool RemoteServer::makeRoom() {
    RemoteSession* oldest = nullptr;
    for (const auto& s : sessions_)
        if (s->idle() && (!oldest || s->lastActive() < oldest->lastActive())) oldest = s.get();
    if (!oldest) return false;
    oldest->close();
    dropClosed();
    return true;
}

void RemoteServer::dropClosed() {
    if (running_) return;  // a session may be on the stack
    const size_t before = sessions_.size();
    std::erase_if(sessions_, [](const auto& s) { return s->closed(); });
    if (before > 0 && sessions_.empty()) host_.setLock(WindowLock::Local);  // nobody in charge
}

void RemoteServer::schedule() {
    if (scheduled_) return;
    scheduled_ = true;
    QTimer::singleShot(0, this, [this] {
        scheduled_ = false;
        turn();
    });
}

void RemoteServer::turn() {
    if (running_) return;  // a command is on the stack (a nested event loop)
    running_ = true;
    std::vector<RemoteSession*> waiting;
    for (int n = 0; n < LinesPerTurn; ++n) {
        RemoteSession* next = nullptr;
        for (const auto& s : sessions_) {
            if (!s->ready() || std::find(waiting.begin(), waiting.end(), s.get()) != waiting.end())
                continue;
            if (!next || s->nextArrival() < next->nextArrival()) next = s.get();
        }
        if (!next) break;
        if (!next->runLine()) waiting.push_back(next);
    }
    running_ = false;
    dropClosed();
    if (waiting.empty() == waitPoll_.isActive())
        waiting.empty() ? waitPoll_.stop() : waitPoll_.start();
    const bool more = std::any_of(sessions_.begin(), sessions_.end(), [&](const auto& s) {
        return s->ready() && std::find(waiting.begin(), waiting.end(), s.get()) == waiting.end();
    });
    if (more) schedule();
}

}  // namespace veka
