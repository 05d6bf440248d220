#pragma once
// The remote front: a TCP server for line-oriented SCPI commands beside the window or the
// headless loop. One client at a time; a second one gets a refusal line and is closed. It
// listens on the loopback address unless another address is given, which it warns about on
// standard error. Runs on the logic's thread.

#include <QObject>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <string>

#include "remote/remote_host.h"
#include "remote/remote_instrument.h"

namespace veka {

class RemoteServer : public QObject {
  public:
    static constexpr qint64 SocketBuffer = 64 * 1024;

    RemoteServer(RemoteHost& host, std::string version);

    // Starts listening; on failure says why in `error`. Reports the address on stderr.
    bool listen(const std::string& address, uint16_t port, std::string* error);
    uint16_t port() const { return server_.serverPort(); }

    RemoteInstrument& instrument() { return instrument_; }

  private:
    void accept();

    RemoteHost& host_;
    RemoteInstrument instrument_;
    QTcpServer server_;
    QPointer<QTcpSocket> client_;
};

// The refusal line a second client reads before it is closed.
inline constexpr char RemoteBusyLine[] = "ERROR: another client is connected\n";

}  // namespace veka
