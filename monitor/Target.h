// What the monitor probes: the target text as the user typed it, read the way
// a person means it, and turned into one IPv4 address to send the echo to.
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

// The host-name lookup the monitor needs: a dotted IPv4 text, or "NIL" when
// the name service gives nothing.
class Resolver {
  public:
    virtual ~Resolver() = default;
    virtual std::wstring lookupHost(const std::wstring& name) = 0;
};

extern const wchar_t kLookupFailed[];  // "NIL"

struct TargetSpec {
    enum class Kind { Empty, Address, HostName };
    Kind kind = Kind::Empty;
    Ipv4Address address;  // Kind::Address
    std::wstring host;    // Kind::HostName, lower-cased
    std::wstring port;    // what followed the ":", if anything; never probed
};

// Lower-cases the ASCII letters, drops surrounding blanks, every "http://"
// and "https://", a path, query or fragment, a ":port" and every "*.". A text
// that is then a dotted IPv4 address is probed as such; anything else left is
// a host name to look up.
TargetSpec ParseTarget(const std::wstring& typed);

// The monitor's working copy of the target.
struct ResolvedTarget {
    enum class State {
        Usable,        // `address` may be probed
        NoTarget,      // nothing typed: every probe fails without sending
        LookupFailed,  // the name service gave nothing ("NIL")
        Unusable,      // the all-ones address, or a lookup answer that is no address
    };
    State state = State::NoTarget;
    Ipv4Address address;
    std::wstring text;        // dotted text, "NIL" or empty
    bool fromLookup = false;  // a name was looked up to get here

    bool usable() const { return state == State::Usable; }
    // A name that did not give an address is looked up again at the next
    // cycle: the name service may not have been up yet.
    bool retryLookup() const { return fromLookup && state != State::Usable; }
};

ResolvedTarget ResolveTarget(const std::wstring& typed, Resolver& resolver);

// The working copy from a name service's answer (Resolver::lookupHost).
ResolvedTarget FromLookupAnswer(const std::wstring& answer);

}  // namespace vorlane
