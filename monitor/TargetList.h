// The target field as a list: up to eight targets, each read as ParseTarget
// reads one, and the checks that refuse a target that can never answer, so
// that a typing mistake is caught at OK instead of running the command.
// Portable: no Windows types.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "monitor/Target.h"

namespace vorlane {

constexpr std::size_t kMaxTargets = 8;

// The pieces between blanks, commas and semicolons; a run of separators
// counts as one, so "a, b" is two targets.
std::vector<std::wstring> SplitTargets(const std::wstring& field);

enum class TargetProblem {
    None,
    TooMany,       // the ninth entry and beyond
    Unreadable,    // nothing of a target left, e.g. "http://" or ":80"
    NotUnicast,    // 0.0.0.0/8, multicast, reserved, the all-ones address, "::", ff00::/8
    NeedsZone,     // a link-local IPv6 address without "%zone"
    UnknownZone,   // a zone index that names no interface here
    PortTooLarge,  // a port above 65535
    NoTcpPort,     // "tcp://" without a port of 1-65535
    NameTooLong,   // more than 253 characters
    LabelTooLong,  // a part between full stops of more than 63 characters
    BadCharacter,  // not a letter of any script, a digit, "-", "_" or "."
};

TargetProblem CheckTarget(const std::wstring& entry);

struct TargetListCheck {
    TargetProblem problem = TargetProblem::None;
    std::wstring entry;  // the refused entry as typed
};

// The first entry refused, in the order typed.
TargetListCheck CheckTargetList(const std::wstring& field);

// The host names of the field that a lookup must turn into addresses, in the
// order typed.
std::vector<std::wstring> HostNamesOf(const std::wstring& field);

// Whether some entry is an IPv6 address (which needs no full stop).
bool HasIpv6Address(const std::wstring& field);

// Whether some entry is an echo to an IPv6 address given as such.
bool HasIpv6Echo(const std::wstring& field);

// The first entry whose zone index names no interface, as `zoneExists` says;
// checked at OK only, since interfaces come and go.
TargetListCheck CheckZones(const std::wstring& field,
                           const std::function<bool(std::uint32_t)>& zoneExists);

}  // namespace vorlane
