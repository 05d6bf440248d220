// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Who may use the command server. The server has no password, so the kernel decides: a
// connection whose other end is a socket on this machine (the loopback, or one of the
// machine's own addresses) is let in only when that socket belongs to the user the program
// runs as, found through the kernel's socket diagnostics (sock_diag, an exact look-up of the
// connection's four addresses and ports); a connection from another machine only when its
// address lies in a network given with --remote-allow. Anything else is closed before a byte
// of it is read.

#include <sys/types.h>

#include <QHostAddress>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace veka {

// A network as --remote-allow writes it: address and prefix length.
using AllowedNet = std::pair<QHostAddress, int>;

// The owner of the socket at the other end of the TCP connection fd when that socket is on
// this machine; nothing for a peer elsewhere (or one already gone).
std::optional<uid_t> localPeerOwner(int fd);

class PeerAccess {
  public:
    PeerAccess() = default;
    explicit PeerAccess(std::vector<AllowedNet> nets) : nets_(std::move(nets)) {}

    // Whether the connection fd may run commands; if not, why, for a line on stderr.
    bool admits(int fd, std::string& why) const;

  private:
    std::vector<AllowedNet> nets_;
};

}  // namespace veka
