#include "remote/remote_server.h"

#include <QHostAddress>
#include <cstdio>

#include "remote/remote_session.h"

namespace veka {

RemoteServer::RemoteServer(RemoteHost& host, std::string version)
    : host_(host), instrument_(host, std::move(version)) {
    connect(&server_, &QTcpServer::newConnection, this, &RemoteServer::accept);
}

bool RemoteServer::listen(const std::string& address, uint16_t port, std::string* error) {
    QHostAddress host;
    if (address == "localhost")
        host = QHostAddress(QHostAddress::LocalHost);
    else if (!host.setAddress(QString::fromStdString(address))) {
        if (error) *error = "not an IP address: " + address;
        return false;
    }
    if (!server_.listen(host, port)) {
        if (error) *error = server_.errorString().toStdString();
        return false;
    }
    if (!host.isLoopback())
        std::fprintf(stderr,
                     "veka: warning: remote control on %s is reachable from other computers; "
                     "it has no password\n",
                     address.c_str());
    std::fprintf(stderr, "veka: remote control listening on %s:%u\n", address.c_str(),
                 static_cast<unsigned>(server_.serverPort()));
    std::fflush(stderr);
    return true;
}

void RemoteServer::accept() {
    while (QTcpSocket* s = server_.nextPendingConnection()) {
        connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
        if (client_ && client_->state() == QAbstractSocket::ConnectedState) {
            s->write(RemoteBusyLine);
            s->disconnectFromHost();
            continue;
        }
        client_ = s;
        s->setReadBufferSize(SocketBuffer);
        new RemoteSession(instrument_, host_, s);  // lives as long as the socket
    }
}

}  // namespace veka
