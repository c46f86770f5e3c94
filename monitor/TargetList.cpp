#include "monitor/TargetList.h"

namespace vorlane {

namespace {

constexpr std::size_t kMaxNameLength = 253;
constexpr std::size_t kMaxLabelLength = 63;

bool IsSeparator(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n' || c == L',' || c == L';';
}

// Letters of any script, without a table of scripts: every character outside
// ASCII counts as a letter except the blocks that hold only punctuation,
// symbols, blanks and controls. A name such as "例子.中国" passes; "a b",
// "a/b" or a name with an emoji (a surrogate pair here) does not.
bool IsNameCharacter(wchar_t c) {
    if (c < 0x80) {
        return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9') ||
               c == L'-' || c == L'_' || c == L'.';
    }
    const unsigned u = static_cast<unsigned>(c);
    if (u <= 0xBF || u == 0xD7 || u == 0xF7) return false;  // Latin-1 controls and signs
    if (u >= 0x2000 && u <= 0x2BFF) return false;           // punctuation, symbols, arrows
    if (u >= 0x3000 && u <= 0x303F) return false;           // CJK punctuation, "。"
    if (u >= 0xD800 && u <= 0xDFFF) return false;           // emoji and other pairs
    if (u >= 0xE000 && u <= 0xF8FF) return false;           // private use
    if (u >= 0xFE30 && u <= 0xFE4F) return false;           // CJK compatibility forms
    if (u >= 0xFF00 && u <= 0xFF0F) return false;           // full-width punctuation
    if (u >= 0xFF1A && u <= 0xFF20) return false;
    if (u >= 0xFF3B && u <= 0xFF40) return false;
    if (u >= 0xFF5B && u <= 0xFF65) return false;
    if (u >= 0xFFF0) return false;
    return true;
}

// Addresses that no single host answers from: "this network" 0.0.0.0/8,
// multicast 224.0.0.0/4 and reserved 240.0.0.0/4, which holds the all-ones
// address; the unspecified IPv6 address and IPv6 multicast ff00::/8.
bool IsUnicastHost(const IpAddress& address) {
    if (address.family == IpAddress::Family::V6) {
        return !address.v6.isUnspecified() && !address.v6.isMulticast();
    }
    return address.v4.octets[0] != 0 && address.v4.octets[0] < 224;
}

TargetProblem CheckAddress(const IpAddress& address) {
    if (!IsUnicastHost(address)) return TargetProblem::NotUnicast;
    // fe80::1 is on every link: which one is meant must be said.
    if (address.family == IpAddress::Family::V6 && address.v6.isLinkLocal() &&
        address.v6.zone == 0) {
        return TargetProblem::NeedsZone;
    }
    return TargetProblem::None;
}

bool PortTooLarge(const std::wstring& port) {
    unsigned long value = 0;
    for (wchar_t c : port) {
        if (c < L'0' || c > L'9') return false;  // not a number: the port is never used
        value = value * 10 + static_cast<unsigned long>(c - L'0');
        if (value > 65535) return true;
    }
    return false;
}

TargetProblem CheckName(const std::wstring& host) {
    if (host.size() > kMaxNameLength) return TargetProblem::NameTooLong;
    std::size_t label = 0;
    for (wchar_t c : host) {
        if (!IsNameCharacter(c)) return TargetProblem::BadCharacter;
        label = c == L'.' ? 0 : label + 1;
        if (label > kMaxLabelLength) return TargetProblem::LabelTooLong;
    }
    return TargetProblem::None;
}

}  // namespace

std::vector<std::wstring> SplitTargets(const std::wstring& field) {
    std::vector<std::wstring> entries;
    std::size_t at = 0;
    while (at < field.size()) {
        while (at < field.size() && IsSeparator(field[at])) ++at;
        const std::size_t begin = at;
        while (at < field.size() && !IsSeparator(field[at])) ++at;
        if (at > begin) entries.push_back(field.substr(begin, at - begin));
    }
    return entries;
}

TargetProblem CheckTarget(const std::wstring& entry) {
    const TargetSpec spec = ParseTarget(entry);
    // A text that names no host is unreadable whatever follows it: its port
    // says nothing the user could mend first.
    if (spec.kind == TargetSpec::Kind::Empty || spec.kind == TargetSpec::Kind::Malformed) {
        return TargetProblem::Unreadable;
    }
    if (PortTooLarge(spec.port)) return TargetProblem::PortTooLarge;
    TargetProblem problem = TargetProblem::None;
    switch (spec.kind) {
        case TargetSpec::Kind::Empty:
        case TargetSpec::Kind::Malformed:
            break;
        case TargetSpec::Kind::Address:
            problem = CheckAddress(spec.address);
            break;
        case TargetSpec::Kind::HostName:
            problem = CheckName(spec.host);
            break;
    }
    if (problem == TargetProblem::None && spec.probe == ProbeKind::TcpConnect && !spec.tcpPort()) {
        return TargetProblem::NoTcpPort;
    }
    return problem;
}

TargetListCheck CheckTargetList(const std::wstring& field) {
    TargetListCheck check;
    const std::vector<std::wstring> entries = SplitTargets(field);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        check.problem = i < kMaxTargets ? CheckTarget(entries[i]) : TargetProblem::TooMany;
        if (check.problem != TargetProblem::None) {
            check.entry = entries[i];
            return check;
        }
    }
    return check;
}

std::vector<std::wstring> HostNamesOf(const std::wstring& field) {
    std::vector<std::wstring> names;
    for (const std::wstring& entry : SplitTargets(field)) {
        TargetSpec spec = ParseTarget(entry);
        if (spec.kind == TargetSpec::Kind::HostName) names.push_back(spec.host);
    }
    return names;
}

namespace {

bool IsIpv6(const TargetSpec& spec) {
    return spec.kind == TargetSpec::Kind::Address && spec.address.family == IpAddress::Family::V6;
}

}  // namespace

bool HasIpv6Address(const std::wstring& field) {
    for (const std::wstring& entry : SplitTargets(field)) {
        if (IsIpv6(ParseTarget(entry))) return true;
    }
    return false;
}

bool HasIpv6Echo(const std::wstring& field) {
    for (const std::wstring& entry : SplitTargets(field)) {
        const TargetSpec spec = ParseTarget(entry);
        if (IsIpv6(spec) && spec.probe == ProbeKind::Echo) return true;
    }
    return false;
}

TargetListCheck CheckZones(const std::wstring& field,
                           const std::function<bool(std::uint32_t)>& zoneExists) {
    TargetListCheck check;
    for (const std::wstring& entry : SplitTargets(field)) {
        const TargetSpec spec = ParseTarget(entry);
        if (!IsIpv6(spec) || spec.address.v6.zone == 0 || zoneExists(spec.address.v6.zone)) {
            continue;
        }
        check.problem = TargetProblem::UnknownZone;
        check.entry = entry;
        return check;
    }
    return check;
}

}  // namespace vorlane
