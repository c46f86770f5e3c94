#include "monitor/IcmpProber_win.h"

#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>
#include <icmpapi.h>

#include <cstring>
#include <vector>

namespace vorlane {

namespace {

const char kEchoData[] = "Data Buffer";  // 11 letters and the zero: 12 bytes
static_assert(sizeof(kEchoData) == 12, "the echo carries 12 data bytes");
// One reply record, the echoed data, and the 8 bytes of an ICMP error.
constexpr DWORD kReplySize = sizeof(ICMP_ECHO_REPLY) + sizeof(kEchoData) + 8;

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
    WSADATA data;
    ::WSAStartup(MAKEWORD(1, 1), &data);
    const hostent* entry = ::gethostbyname(ansi.c_str());
    if (entry && entry->h_addrtype == AF_INET && entry->h_length == 4 && entry->h_addr_list &&
        entry->h_addr_list[0]) {
        Ipv4Address address;
        std::memcpy(address.octets.data(), entry->h_addr_list[0], address.octets.size());
        result = address.toText();
    }
    ::WSACleanup();
    return result;
}

std::optional<int> IcmpProber::probe(const Ipv4Address& address, int timeoutMs) {
    IPAddr destination;  // network order: the first octet first in memory
    std::memcpy(&destination, address.octets.data(), sizeof(destination));

    HANDLE icmp = ::IcmpCreateFile();
    if (icmp == INVALID_HANDLE_VALUE) return std::nullopt;
    char request[sizeof(kEchoData)];
    std::memcpy(request, kEchoData, sizeof(request));
    std::vector<unsigned char> reply(kReplySize);
    DWORD replies = ::IcmpSendEcho(icmp, destination, request, sizeof(request), nullptr,
                                   reply.data(), kReplySize, static_cast<DWORD>(timeoutMs));
    ::IcmpCloseHandle(icmp);
    if (replies == 0) return std::nullopt;
    // An ICMP error (unreachable, TTL expired) is stored as a reply too; only
    // a real echo answer means the target is there. The round trip is the
    // one the stack measured, free of this thread's scheduling.
    ICMP_ECHO_REPLY first;
    std::memcpy(&first, reply.data(), sizeof(first));
    if (first.Status != IP_SUCCESS) return std::nullopt;
    return static_cast<int>(first.RoundTripTime);
}

}  // namespace vorlane
