// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The remote front: a TCP server for line-oriented SCPI commands beside the window or the
// headless loop. It admits only connections PeerAccess lets in and serves up to MaxClients at
// once; their lines run one at a time in the order they arrived, a few per turn of the event
// loop. A line whose command waits for the instrument (*OPC? during a sweep) keeps its
// client waiting but lets the other clients go on. A new connection is never refused while a
// slot is free; when none is, the client that has been idle longest gives up its slot, and
// only when every client has work is the newcomer closed. Runs on the logic's thread.

#include <QTcpServer>
#include <QTimer>
#include <memory>
#include <string>
#include <vector>

#include "remote/peer_access.h"
#include "remote/remote_host.h"
#include "remote/remote_instrument.h"
#include "remote/remote_session.h"

namespace veka {

class RemoteServer : public QTcpServer {
  public:
    static constexpr size_t MaxClients = 8;
    static constexpr int LinesPerTurn = 32;

    RemoteServer(RemoteHost& host, std::string version, PeerAccess access = {});
    ~RemoteServer() override;

    // Starts listening; on failure says why in `error`. Reports the address on stderr.
    bool listen(const std::string& address, uint16_t port, std::string* error);
    uint16_t port() const { return serverPort(); }

    RemoteInstrument& instrument() { return instrument_; }
    size_t clients() const;

  protected:
    void incomingConnection(qintptr fd) override;

  private:
    void schedule();
    void turn();
    bool makeRoom();
    void dropClosed();

    RemoteHost& host_;
    RemoteInstrument instrument_;
    PeerAccess access_;
    std::vector<std::unique_ptr<RemoteSession>> sessions_;
    uint64_t arrivals_ = 0;
    bool scheduled_ = false;
    bool running_ = false;
    QTimer waitPoll_;  // while a command waits for the instrument
};

}  // namespace veka
