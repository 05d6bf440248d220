// SPDX-License-Identifier: GPL-3.0-or-later
#include "remote/peer_access.h"
#include "files/descriptor.h"

#include <arpa/inet.h>
#include <linux/inet_diag.h>
#include <linux/netlink.h>
#include <linux/sock_diag.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>

namespace veka {

namespace {

constexpr unsigned kListening = 10;  // TCP_LISTEN

// An address and port in the form the diagnostics take: IPv4 (also when written as an
// IPv4-mapped IPv6 address) or IPv6.
struct Endpoint {
    int family = AF_UNSPEC;
    uint32_t address[4] = {};
    uint16_t port = 0;  // network order
};

Endpoint endpointOf(const sockaddr_storage& s) {
    Endpoint e;
    if (s.ss_family == AF_INET) {
        const auto& in = reinterpret_cast<const sockaddr_in&>(s);
        e.family = AF_INET;
        std::memcpy(e.address, &in.sin_addr, 4);
        e.port = in.sin_port;
    } else if (s.ss_family == AF_INET6) {
        const auto& in6 = reinterpret_cast<const sockaddr_in6&>(s);
        e.port = in6.sin6_port;
        if (IN6_IS_ADDR_V4MAPPED(&in6.sin6_addr)) {
            e.family = AF_INET;
            std::memcpy(e.address, in6.sin6_addr.s6_addr + 12, 4);
        } else {
            e.family = AF_INET6;
            std::memcpy(e.address, &in6.sin6_addr, 16);
        }
    }
    return e;
}

// The owner of the socket whose own end is `own` and whose other end is `other`.
std::optional<uid_t> ownerOf(const Endpoint& own, const Endpoint& other) {
    Descriptor nl(::socket(AF_NETLINK, SOCK_DGRAM | SOCK_CLOEXEC, NETLINK_SOCK_DIAG));
    if (nl.get() < 0) return std::nullopt;
    struct {
        nlmsghdr header;
        inet_diag_req_v2 request;
    } ask{};
    ask.header.nlmsg_len = sizeof ask;
    ask.header.nlmsg_type = SOCK_DIAG_BY_FAMILY;
    ask.header.nlmsg_flags = NLM_F_REQUEST;  // one socket, looked up exactly
    ask.request.sdiag_family = static_cast<uint8_t>(own.family);
    ask.request.sdiag_protocol = IPPROTO_TCP;
    ask.request.idiag_states = ~0u;
    ask.request.id.idiag_sport = own.port;
    ask.request.id.idiag_dport = other.port;
    std::memcpy(ask.request.id.idiag_src, own.address, sizeof own.address);
    std::memcpy(ask.request.id.idiag_dst, other.address, sizeof other.address);
    ask.request.id.idiag_cookie[0] = INET_DIAG_NOCOOKIE;
    ask.request.id.idiag_cookie[1] = INET_DIAG_NOCOOKIE;
    sockaddr_nl kernel{};
    kernel.nl_family = AF_NETLINK;
    if (::sendto(nl.get(), &ask, sizeof ask, 0, reinterpret_cast<sockaddr*>(&kernel),
                 sizeof kernel) != static_cast<ssize_t>(sizeof ask))
        return std::nullopt;
    alignas(nlmsghdr) char reply[8192];
    const ssize_t n = ::recv(nl.get(), reply, sizeof reply, 0);
    if (n < static_cast<ssize_t>(NLMSG_LENGTH(sizeof(inet_diag_msg)))) return std::nullopt;
    const auto* h = reinterpret_cast<const nlmsghdr*>(reply);
    if (h->nlmsg_type != SOCK_DIAG_BY_FAMILY) return std::nullopt;  // an error: no such socket
    const auto* m = static_cast<const inet_diag_msg*>(NLMSG_DATA(h));
    if (m->idiag_state == kListening || m->id.idiag_sport != own.port ||
        m->id.idiag_dport != other.port)
        return std::nullopt;
    return m->idiag_uid;
}

bool inNet(const QHostAddress& peer, const AllowedNet& net) {
    QHostAddress address = peer;
    bool mapped = false;
    const quint32 v4 = peer.toIPv4Address(&mapped);
    if (mapped) address = QHostAddress(v4);
    return address.isInSubnet(net.first, net.second);
}

}  // namespace

std::optional<uid_t> localPeerOwner(int fd) {
    sockaddr_storage ours{};
    sockaddr_storage theirs{};
    socklen_t a = sizeof ours;
    socklen_t b = sizeof theirs;
    if (::getsockname(fd, reinterpret_cast<sockaddr*>(&ours), &a) != 0 ||
        ::getpeername(fd, reinterpret_cast<sockaddr*>(&theirs), &b) != 0)
        return std::nullopt;
    const Endpoint own = endpointOf(ours);
    const Endpoint other = endpointOf(theirs);
    if (own.family == AF_UNSPEC || own.family != other.family) return std::nullopt;
    return ownerOf(other, own);  // the peer's socket: its own end is our other end
}

bool PeerAccess::admits(int fd, std::string& why) const {
    if (const std::optional<uid_t> owner = localPeerOwner(fd)) {
        if (*owner == ::geteuid()) return true;
        ((why = "a connection of another user (uid ") += std::to_string(*owner)) += ")";
        return false;
    }
    sockaddr_storage theirs{};
    socklen_t b = sizeof theirs;
    if (::getpeername(fd, reinterpret_cast<sockaddr*>(&theirs), &b) != 0) {
        why = "a connection already gone";
        return false;
    }
    const QHostAddress peer(reinterpret_cast<const sockaddr*>(&theirs));
    for (const AllowedNet& net : nets_)
        if (inNet(peer, net)) return true;
    ((why = "a connection from ") += peer.toString().toStdString()) +=
        ", outside the networks of --remote-allow";
    return false;
}

}  // namespace veka
