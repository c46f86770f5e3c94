#include "monitor/IcmpProber_win.h"

#include "framework/Socket.h"
#include "monitor/SocketAddress_win.h"

#include <windows.h>
#include <iphlpapi.h>
#include <icmpapi.h>

#include <cstddef>
#include <cstring>
#include <vector>

namespace vorlane {

namespace {

const char kEchoData[] = "Data Buffer";  // 11 letters and the zero: 12 bytes
static_assert(sizeof(kEchoData) == 12, "the echo carries 12 data bytes");
// One reply record, the echoed data, and the 8 bytes of an ICMP error.
constexpr DWORD kReplySize = sizeof(ICMP_ECHO_REPLY) + sizeof(kEchoData) + 8;

// The ICMPv6 reply record (ICMPV6_ECHO_REPLY), which not every SDK's headers
// declare: the sender's address packed as IPV6_ADDRESS_EX, then the status
// and the round trip.
#pragma pack(push, 1)
struct Ipv6AddressEx {
    USHORT port;
    ULONG flowInfo;
    USHORT address[8];
    ULONG scopeId;
};
#pragma pack(pop)
struct Icmpv6EchoReply {
    Ipv6AddressEx address;
    ULONG status;
    unsigned int roundTripTime;
};
static_assert(offsetof(Icmpv6EchoReply, status) == 28, "laid out as the system's record");
constexpr DWORD kReplySizeV6 = sizeof(Icmpv6EchoReply) + sizeof(kEchoData) + 8;

struct IcmpHandleTraits {  // IcmpCreateFile and Icmp6CreateFile
    using type = HANDLE;
    static type invalid() { return INVALID_HANDLE_VALUE; }
    static void close(type h) { ::IcmpCloseHandle(h); }
};
using UniqueIcmpHandle = framework::UniqueAny<IcmpHandleTraits>;

// An ICMPv6 call that failed before or instead of sending.
ProbeAnswer EchoFailed(DWORD error) {
    return EchoUnsupported(error) ? ProbeAnswer::Unsupported() : ProbeAnswer::Unanswered();
}

// The name in the ANSI code page, as the lookup wants it; empty when a
// character has no form there.
std::string AnsiName(const std::wstring& name) {
    int size = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, name.c_str(), -1, nullptr, 0,
                                     nullptr, nullptr);
    if (size <= 1) return std::string();
    std::string ansi(static_cast<std::size_t>(size), '\0');
    BOOL lossy = FALSE;
    ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, name.c_str(), -1, &ansi[0], size, nullptr,
                          &lossy);
    if (lossy) return std::string();
    ansi.resize(static_cast<std::size_t>(size - 1));
    return ansi;
}

bool IsAscii(const std::wstring& text) {
    for (wchar_t c : text) {
        if (c >= 0x80) return false;
    }
    return true;
}

// "xn--" labels for the labels outside ASCII; empty when the name cannot be
// written so.
std::wstring AsciiForm(const std::wstring& name) {
    if (IsAscii(name)) return name;
    const int size = ::IdnToAscii(0, name.c_str(), static_cast<int>(name.size()), nullptr, 0);
    if (size <= 0) return std::wstring();
    std::wstring ascii(static_cast<std::size_t>(size), L'\0');
    if (::IdnToAscii(0, name.c_str(), static_cast<int>(name.size()), &ascii[0], size) != size) {
        return std::wstring();
    }
    return ascii;
}

}  // namespace

std::wstring WinsockResolver::lookupHost(const std::wstring& name) {
    std::wstring result = kLookupFailed;
    const std::string ansi = AnsiName(AsciiForm(name));
    if (ansi.empty()) return result;
    if (!framework::WinsockStarted()) return result;
    // Both families in one lookup: the first IPv4 address when there is
    // one, else the first IPv6 address.
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;  // one entry per address, not one per socket type
    addrinfo* found = nullptr;
    if (::getaddrinfo(ansi.c_str(), nullptr, &hints, &found) != 0) return result;
    for (const addrinfo* at = found; at; at = at->ai_next) {
        if (at->ai_family != AF_INET || at->ai_addrlen < sizeof(sockaddr_in)) continue;
        sockaddr_in v4;
        std::memcpy(&v4, at->ai_addr, sizeof(v4));
        Ipv4Address address;
        std::memcpy(address.octets.data(), &v4.sin_addr, address.octets.size());
        result = address.toText();
        break;
    }
    for (const addrinfo* at = found; at && result == kLookupFailed; at = at->ai_next) {
        if (at->ai_family != AF_INET6 || at->ai_addrlen < sizeof(sockaddr_in6)) continue;
        sockaddr_in6 v6;
        std::memcpy(&v6, at->ai_addr, sizeof(v6));
        Ipv6Address address;
        std::memcpy(address.bytes.data(), &v6.sin6_addr, address.bytes.size());
        address.zone = v6.sin6_scope_id;
        result = address.toText();
    }
    ::freeaddrinfo(found);
    return result;
}

namespace {

ProbeAnswer EchoV4(const Ipv4Address& address, int timeoutMs) {
    IPAddr destination;  // network order: the first octet first in memory
    std::memcpy(&destination, address.octets.data(), sizeof(destination));

    // Every system has ICMP echo: whatever fails here is a miss.
    UniqueIcmpHandle icmp(::IcmpCreateFile());
    if (!icmp) return ProbeAnswer::Unanswered();
    char request[sizeof(kEchoData)];
    std::memcpy(request, kEchoData, sizeof(request));
    std::vector<unsigned char> reply(kReplySize);
    DWORD replies = ::IcmpSendEcho(icmp.get(), destination, request, sizeof(request), nullptr,
                                   reply.data(), kReplySize, static_cast<DWORD>(timeoutMs));
    if (replies == 0) return ProbeAnswer::Unanswered();
    // An ICMP error (unreachable, TTL expired) is stored as a reply too; only
    // a real echo answer means the target is there. The round trip is the
    // one the stack measured, free of this thread's scheduling.
    ICMP_ECHO_REPLY first;
    std::memcpy(&first, reply.data(), sizeof(first));
    if (first.Status != IP_SUCCESS) return ProbeAnswer::Unanswered();
    return ProbeAnswer::Answered(static_cast<int>(first.RoundTripTime));
}

ProbeAnswer EchoV6(const Ipv6Address& address, int timeoutMs) {
    UniqueIcmpHandle icmp(::Icmp6CreateFile());
    if (!icmp) return EchoFailed(::GetLastError());
    sockaddr_in6 source{};  // any: the system picks the source address
    source.sin6_family = AF_INET6;
    sockaddr_in6 destination = ToSockaddrIn6(address, 0);
    char request[sizeof(kEchoData)];
    std::memcpy(request, kEchoData, sizeof(request));
    std::vector<unsigned char> reply(kReplySizeV6);
    DWORD replies = ::Icmp6SendEcho2(icmp.get(), nullptr, nullptr, nullptr, &source, &destination,
                                     request, sizeof(request), nullptr, reply.data(), kReplySizeV6,
                                     static_cast<DWORD>(timeoutMs));
    if (replies == 0) return EchoFailed(::GetLastError());
    Icmpv6EchoReply first;
    std::memcpy(&first, reply.data(), sizeof(first));
    if (first.status != IP_SUCCESS) return ProbeAnswer::Unanswered();
    return ProbeAnswer::Answered(static_cast<int>(first.roundTripTime));
}

}  // namespace

ProbeAnswer SendEchoRequest(const IpAddress& address, int timeoutMs) {
    if (address.family == IpAddress::Family::V6) return EchoV6(address.v6, timeoutMs);
    return EchoV4(address.v4, timeoutMs);
}

bool CanSendIcmpv6Echo() {
    UniqueIcmpHandle icmp(::Icmp6CreateFile());
    return icmp || !EchoUnsupported(::GetLastError());
}

}  // namespace vorlane
