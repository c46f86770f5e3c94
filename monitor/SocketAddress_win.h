// An address of the monitor's as the Windows Sockets calls want it.
#pragma once

#include <winsock2.h>
#include <ws2tcpip.h>

#include <cstdint>
#include <cstring>

#include "monitor/Target.h"

namespace vorlane {

inline sockaddr_in6 ToSockaddrIn6(const Ipv6Address& address, std::uint16_t port) {
    sockaddr_in6 out{};
    out.sin6_family = AF_INET6;
    out.sin6_port = ::htons(port);
    std::memcpy(&out.sin6_addr, address.bytes.data(), address.bytes.size());
    out.sin6_scope_id = address.zone;
    return out;
}

// Fills `out` and returns the length of the address in it.
inline int ToSocketAddress(const IpAddress& address, std::uint16_t port, sockaddr_storage& out) {
    out = sockaddr_storage{};
    if (address.family == IpAddress::Family::V6) {
        const sockaddr_in6 v6 = ToSockaddrIn6(address.v6, port);
        std::memcpy(&out, &v6, sizeof(v6));
        return static_cast<int>(sizeof(v6));
    }
    sockaddr_in v4{};
    v4.sin_family = AF_INET;
    v4.sin_port = ::htons(port);
    std::memcpy(&v4.sin_addr, address.v4.octets.data(), address.v4.octets.size());
    std::memcpy(&out, &v4, sizeof(v4));
    return static_cast<int>(sizeof(v4));
}

}  // namespace vorlane
