// What the monitor probes: the target text as the user typed it, read the way
// a person means it, and turned into one address (IPv4 or IPv6) and the kind
// of probe to send there: an echo request, or a TCP connection to a port.
// Portable: no Windows types.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vorlane {

struct Ipv4Address {
    std::array<std::uint8_t, 4> octets{};  // first octet first, as written

    bool isAllOnes() const;
    // "%d.%d.%d.%d": plain decimal, no leading zeros.
    std::wstring toText() const;
    bool operator==(const Ipv4Address& other) const { return octets == other.octets; }
};

// Four decimal parts of 1 to 3 digits, each 0-255, and nothing else.
std::optional<Ipv4Address> ParseDottedIpv4(std::wstring_view text);

struct Ipv6Address {
    std::array<std::uint8_t, 16> bytes{};  // network order, as written
    std::uint32_t zone = 0;                // the scope id after "%"; 0 for none

    bool isUnspecified() const;  // ::
    bool isMulticast() const;    // ff00::/8
    bool isLinkLocal() const;    // fe80::/10
    // Lower-case hexadecimal groups without leading zeros, the longest run of
    // two or more zero groups written "::", and "%zone" when there is one.
    std::wstring toText() const;
    bool operator==(const Ipv6Address& other) const {
        return bytes == other.bytes && zone == other.zone;
    }
};

// Eight groups of 1 to 4 hexadecimal digits separated by ":", or fewer with
// one "::" for a run of zero groups; the last two groups may be written as a
// dotted IPv4 address; then optionally "%" and a decimal zone index.
std::optional<Ipv6Address> ParseIpv6(std::wstring_view text);

struct IpAddress {
    enum class Family { V4, V6 };
    Family family = Family::V4;
    Ipv4Address v4;  // Family::V4
    Ipv6Address v6;  // Family::V6

    std::wstring toText() const;
    bool operator==(const IpAddress& other) const;
};

IpAddress FromIpv4(const Ipv4Address& address);

// A dotted IPv4 address or an IPv6 address. An IPv4-mapped IPv6 address
// (::ffff:a.b.c.d) is the IPv4 address it carries: an echo to it would go
// out as IPv4 anyway.
std::optional<IpAddress> ParseIpAddress(std::wstring_view text);

enum class ProbeKind {
    Echo,        // an ICMP or ICMPv6 echo request
    TcpConnect,  // a TCP connection to `port`, closed at once
};

// What one probe goes to.
struct ProbeTarget {
    ProbeKind kind = ProbeKind::Echo;
    IpAddress address;
    std::uint16_t port = 0;  // ProbeKind::TcpConnect only

    // "127.0.0.1", "::1", "tcp://127.0.0.1:80", "tcp://[::1]:80".
    std::wstring toText() const;
};

// The host-name lookup the monitor needs: the address as text (dotted IPv4,
// or IPv6 when the name has no IPv4 address), or "NIL" when the name service
// gives nothing.
class Resolver {
  public:
    virtual ~Resolver() = default;
    virtual std::wstring lookupHost(const std::wstring& name) = 0;
};

extern const wchar_t kLookupFailed[];  // "NIL"

extern const wchar_t kTcpScheme[];  // "tcp://"

struct TargetSpec {
    enum class Kind {
        Empty,
        Address,
        HostName,
        Malformed,  // brackets or colons that make no IPv6 address
    };
    Kind kind = Kind::Empty;
    IpAddress address;  // Kind::Address
    std::wstring host;  // Kind::HostName, lower-cased
    std::wstring port;  // what followed the host's ":", if anything
    ProbeKind probe = ProbeKind::Echo;

    // The port a TCP connection goes to: 1-65535 in decimal.
    std::optional<std::uint16_t> tcpPort() const;
};

// Lower-cases the ASCII letters and drops surrounding blanks. "tcp://" in
// front makes a TCP target, whose port is required; otherwise every
// "http://" and "https://" goes. Then a path, query or fragment goes. The
// host is an IPv6 address in brackets (a ":port" may follow), a bare IPv6
// address (two colons or more: no port), or else what comes before the first
// ":"; every "*." is dropped from the last. A host that is then a dotted IPv4
// address is probed as such; anything else left is a host name to look up.
// An echo target's port is never used.
TargetSpec ParseTarget(const std::wstring& typed);

// The monitor's working copy of the target.
struct ResolvedTarget {
    enum class State {
        Usable,        // `address` may be probed
        NoTarget,      // nothing typed: every probe fails without sending
        LookupFailed,  // the name service gave nothing ("NIL")
        Unusable,      // an address no probe may go to, or a lookup answer that is no address
    };
    State state = State::NoTarget;
    IpAddress address;
    ProbeKind kind = ProbeKind::Echo;
    std::uint16_t port = 0;   // ProbeKind::TcpConnect only
    std::wstring text;        // the address as text, "NIL" or empty
    bool fromLookup = false;  // a name was looked up to get here

    bool usable() const { return state == State::Usable; }
    // A name that did not give an address is looked up again at the next
    // cycle: the name service may not have been up yet.
    bool retryLookup() const { return fromLookup && state != State::Usable; }
    ProbeTarget probeTarget() const { return {kind, address, port}; }
};

ResolvedTarget ResolveTarget(const std::wstring& typed, Resolver& resolver);

// The working copy of the target `spec` names from a name service's answer
// (Resolver::lookupHost).
ResolvedTarget FromLookupAnswer(const TargetSpec& spec, const std::wstring& answer);

}  // namespace vorlane
