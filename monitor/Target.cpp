#include "monitor/Target.h"

#include <algorithm>
#include <vector>

#include "core/Digits.h"

namespace vorlane {

const wchar_t kLookupFailed[] = L"NIL";
const wchar_t kTcpScheme[] = L"tcp://";

namespace {

void RemoveAll(std::wstring& text, std::wstring_view what) {
    for (std::size_t at = text.find(what); at != std::wstring::npos; at = text.find(what, at)) {
        text.erase(at, what.size());
    }
}

void CutAtFirstOf(std::wstring& text, const wchar_t* stops) {
    std::size_t at = text.find_first_of(stops);
    if (at != std::wstring::npos) text.erase(at);
}

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n'; }

int HexValue(wchar_t c) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    return -1;
}

// Decimal digits only, at most `limit`.
std::optional<unsigned long> ReadDecimal(std::wstring_view text, unsigned long limit) {
    if (text.empty()) return std::nullopt;
    unsigned long value = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9') return std::nullopt;
        value = value * 10 + static_cast<unsigned long>(c - L'0');
        if (value > limit) return std::nullopt;
    }
    return value;
}

}  // namespace

bool Ipv4Address::isAllOnes() const {
    for (std::uint8_t octet : octets) {
        if (octet != 255) return false;
    }
    return true;
}

std::wstring Ipv4Address::toText() const {
    std::wstring text;
    for (std::size_t i = 0; i < octets.size(); ++i) {
        if (i > 0) text += L'.';
        text += Decimal(static_cast<unsigned>(octets[i]));
    }
    return text;
}

std::optional<Ipv4Address> ParseDottedIpv4(std::wstring_view text) {
    Ipv4Address address;
    std::size_t pos = 0;
    for (std::size_t part = 0; part < 4; ++part) {
        if (part > 0) {
            if (pos >= text.size() || text[pos] != L'.') return std::nullopt;
            ++pos;
        }
        unsigned value = 0;
        std::size_t digits = 0;
        while (pos < text.size() && text[pos] >= L'0' && text[pos] <= L'9' && digits < 4) {
            value = value * 10 + static_cast<unsigned>(text[pos] - L'0');
            ++pos;
            ++digits;
        }
        if (digits == 0 || digits > 3 || value > 255) return std::nullopt;
        address.octets[part] = static_cast<std::uint8_t>(value);
    }
    if (pos != text.size()) return std::nullopt;
    return address;
}

bool Ipv6Address::isUnspecified() const {
    for (std::uint8_t byte : bytes) {
        if (byte != 0) return false;
    }
    return true;
}

bool Ipv6Address::isMulticast() const { return bytes[0] == 0xFF; }

bool Ipv6Address::isLinkLocal() const { return bytes[0] == 0xFE && (bytes[1] & 0xC0) == 0x80; }

std::wstring Ipv6Address::toText() const {
    std::array<unsigned, 8> groups{};
    for (std::size_t i = 0; i < groups.size(); ++i) {
        groups[i] = static_cast<unsigned>(bytes[2 * i]) << 8 | bytes[2 * i + 1];
    }
    // The first of the longest runs of two or more zero groups.
    std::size_t runStart = groups.size();
    std::size_t runLength = 1;
    for (std::size_t i = 0; i < groups.size();) {
        std::size_t end = i;
        while (end < groups.size() && groups[end] == 0) ++end;
        if (end - i > runLength) {
            runStart = i;
            runLength = end - i;
        }
        i = end > i ? end : i + 1;
    }
    static const wchar_t kDigits[] = L"0123456789abcdef";
    std::wstring text;
    for (std::size_t i = 0; i < groups.size(); ++i) {
        if (i == runStart) {
            text += L"::";
            i += runLength - 1;
            continue;
        }
        if (!text.empty() && text.back() != L':') text += L':';
        bool leading = true;
        for (int shift = 12; shift >= 0; shift -= 4) {
            const unsigned digit = (groups[i] >> shift) & 0xF;
            if (leading && digit == 0 && shift > 0) continue;
            leading = false;
            text += kDigits[digit];
        }
    }
    if (zone != 0) text += L'%' + Decimal(zone);
    return text;
}

std::optional<Ipv6Address> ParseIpv6(std::wstring_view text) {
    Ipv6Address address;
    const std::size_t percent = text.find(L'%');
    if (percent != std::wstring_view::npos) {
        const auto zone = ReadDecimal(text.substr(percent + 1), 0xFFFFFFFFul);
        if (!zone) return std::nullopt;
        address.zone = static_cast<std::uint32_t>(*zone);
        text = text.substr(0, percent);
    }
    // The groups before and after the "::", if there is one.
    std::vector<unsigned> head;
    std::vector<unsigned> tail;
    bool gap = false;
    std::size_t pos = 0;
    if (text.substr(0, 2) == L"::") {
        gap = true;
        pos = 2;
    }
    while (pos < text.size()) {
        std::vector<unsigned>& groups = gap ? tail : head;
        const std::size_t colon = text.find(L':', pos);
        const std::wstring_view piece = text.substr(pos, colon - pos);
        if (piece.find(L'.') != std::wstring_view::npos) {
            // A dotted IPv4 address ends the text.
            if (colon != std::wstring_view::npos) return std::nullopt;
            const auto v4 = ParseDottedIpv4(piece);
            if (!v4) return std::nullopt;
            groups.push_back(static_cast<unsigned>(v4->octets[0]) << 8 | v4->octets[1]);
            groups.push_back(static_cast<unsigned>(v4->octets[2]) << 8 | v4->octets[3]);
            pos = text.size();
            break;
        }
        if (piece.empty() || piece.size() > 4) return std::nullopt;
        unsigned group = 0;
        for (wchar_t c : piece) {
            const int digit = HexValue(c);
            if (digit < 0) return std::nullopt;
            group = group << 4 | static_cast<unsigned>(digit);
        }
        groups.push_back(group);
        if (head.size() + tail.size() > 8) return std::nullopt;
        if (colon == std::wstring_view::npos) break;
        pos = colon + 1;
        if (pos < text.size() && text[pos] == L':') {
            if (gap) return std::nullopt;  // a second "::"
            gap = true;
            ++pos;
        } else if (pos == text.size()) {
            return std::nullopt;  // one ":" at the end
        }
    }
    const std::size_t count = head.size() + tail.size();
    if (gap ? count > 7 : count != 8) return std::nullopt;
    for (std::size_t i = 0; i < head.size(); ++i) {
        address.bytes[2 * i] = static_cast<std::uint8_t>(head[i] >> 8);
        address.bytes[2 * i + 1] = static_cast<std::uint8_t>(head[i] & 0xFF);
    }
    const std::size_t tailStart = 8 - tail.size();
    for (std::size_t i = 0; i < tail.size(); ++i) {
        address.bytes[2 * (tailStart + i)] = static_cast<std::uint8_t>(tail[i] >> 8);
        address.bytes[2 * (tailStart + i) + 1] = static_cast<std::uint8_t>(tail[i] & 0xFF);
    }
    return address;
}

std::wstring IpAddress::toText() const { return family == Family::V4 ? v4.toText() : v6.toText(); }

bool IpAddress::operator==(const IpAddress& other) const {
    if (family != other.family) return false;
    return family == Family::V4 ? v4 == other.v4 : v6 == other.v6;
}

IpAddress FromIpv4(const Ipv4Address& address) {
    IpAddress ip;
    ip.v4 = address;
    return ip;
}

std::optional<IpAddress> ParseIpAddress(std::wstring_view text) {
    if (auto v4 = ParseDottedIpv4(text)) return FromIpv4(*v4);
    auto v6 = ParseIpv6(text);
    if (!v6) return std::nullopt;
    static const std::array<std::uint8_t, 12> kMappedPrefix{0, 0, 0, 0, 0,    0,
                                                            0, 0, 0, 0, 0xFF, 0xFF};
    if (std::equal(kMappedPrefix.begin(), kMappedPrefix.end(), v6->bytes.begin())) {
        Ipv4Address carried;
        for (std::size_t i = 0; i < 4; ++i) carried.octets[i] = v6->bytes[12 + i];
        return FromIpv4(carried);
    }
    IpAddress ip;
    ip.family = IpAddress::Family::V6;
    ip.v6 = *v6;
    return ip;
}

std::wstring ProbeTarget::toText() const {
    if (kind == ProbeKind::Echo) return address.toText();
    const std::wstring host =
        address.family == IpAddress::Family::V6 ? L"[" + address.toText() + L"]" : address.toText();
    return kTcpScheme + host + L":" + Decimal(static_cast<unsigned>(port));
}

std::optional<std::uint16_t> TargetSpec::tcpPort() const {
    const auto value = ReadDecimal(port, 65535);
    if (!value || *value == 0) return std::nullopt;
    return static_cast<std::uint16_t>(*value);
}

namespace {

// Splits `text` into the host and what follows its ":"; false when brackets
// or colons make no IPv6 address. `literal` is set for an IPv6 host.
bool SplitHostAndPort(const std::wstring& text, std::wstring& host, std::wstring& port,
                      std::optional<IpAddress>& literal) {
    if (!text.empty() && text[0] == L'[') {
        const std::size_t close = text.find(L']');
        if (close == std::wstring::npos) return false;
        host = text.substr(1, close - 1);
        const std::wstring rest = text.substr(close + 1);
        if (!rest.empty()) {
            if (rest[0] != L':') return false;
            port = rest.substr(1);
        }
        literal = ParseIpAddress(host);
        return literal.has_value() && host.find(L':') != std::wstring::npos;
    }
    const std::size_t colon = text.find(L':');
    if (colon != std::wstring::npos && text.find(L':', colon + 1) != std::wstring::npos) {
        host = text;
        literal = ParseIpAddress(host);
        return literal.has_value();
    }
    host = text.substr(0, colon);
    if (colon != std::wstring::npos) port = text.substr(colon + 1);
    return true;
}

}  // namespace

TargetSpec ParseTarget(const std::wstring& typed) {
    std::wstring text = typed;
    for (wchar_t& c : text) {
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    }
    std::size_t first = 0;
    while (first < text.size() && IsBlank(text[first])) ++first;
    std::size_t last = text.size();
    while (last > first && IsBlank(text[last - 1])) --last;
    text = text.substr(first, last - first);

    TargetSpec spec;
    if (text.compare(0, std::wstring_view(kTcpScheme).size(), kTcpScheme) == 0) {
        spec.probe = ProbeKind::TcpConnect;
        text.erase(0, std::wstring_view(kTcpScheme).size());
    } else {
        RemoveAll(text, L"http://");
        RemoveAll(text, L"https://");
    }
    // What follows the host is for a web browser, not for a probe.
    CutAtFirstOf(text, L"/?#");
    std::wstring host;
    std::optional<IpAddress> literal;
    if (!SplitHostAndPort(text, host, spec.port, literal)) {
        spec.kind = TargetSpec::Kind::Malformed;
        return spec;
    }
    if (literal) {
        spec.kind = TargetSpec::Kind::Address;
        spec.address = *literal;
        return spec;
    }
    RemoveAll(host, L"*.");

    if (host.empty()) return spec;
    if (auto address = ParseDottedIpv4(host)) {
        spec.kind = TargetSpec::Kind::Address;
        spec.address = FromIpv4(*address);
        return spec;
    }
    spec.kind = TargetSpec::Kind::HostName;
    spec.host = host;
    return spec;
}

namespace {

// Never the broadcast address: that would be an echo to the whole network,
// and any answer from it says nothing about the target. Nor an IPv6 address
// that is no single host's, or a link-local one without the interface to
// reach it by.
bool MayBeProbed(const IpAddress& address) {
    if (address.family == IpAddress::Family::V4) return !address.v4.isAllOnes();
    const Ipv6Address& v6 = address.v6;
    return !v6.isUnspecified() && !v6.isMulticast() && !(v6.isLinkLocal() && v6.zone == 0);
}

ResolvedTarget Checked(ResolvedTarget result, const TargetSpec& spec,
                       const std::optional<IpAddress>& address) {
    result.kind = spec.probe;
    std::optional<std::uint16_t> port;
    if (spec.probe == ProbeKind::TcpConnect) port = spec.tcpPort();
    if (!address || !MayBeProbed(*address) || (spec.probe == ProbeKind::TcpConnect && !port)) {
        result.state = ResolvedTarget::State::Unusable;
        return result;
    }
    result.state = ResolvedTarget::State::Usable;
    result.address = *address;
    result.port = port.value_or(0);
    return result;
}

}  // namespace

ResolvedTarget FromLookupAnswer(const TargetSpec& spec, const std::wstring& answer) {
    ResolvedTarget result;
    result.fromLookup = true;
    result.text = answer;
    if (answer == kLookupFailed) {
        result.kind = spec.probe;
        result.state = ResolvedTarget::State::LookupFailed;
        return result;
    }
    return Checked(std::move(result), spec, ParseIpAddress(answer));
}

ResolvedTarget ResolveTarget(const std::wstring& typed, Resolver& resolver) {
    TargetSpec spec = ParseTarget(typed);
    switch (spec.kind) {
        case TargetSpec::Kind::Empty:
            return ResolvedTarget();
        case TargetSpec::Kind::Malformed: {
            ResolvedTarget result;
            result.state = ResolvedTarget::State::Unusable;
            return result;
        }
        case TargetSpec::Kind::Address: {
            ResolvedTarget result;
            result.text = spec.address.toText();
            return Checked(std::move(result), spec, spec.address);
        }
        case TargetSpec::Kind::HostName:
            break;
    }
    return FromLookupAnswer(spec, resolver.lookupHost(spec.host));
}

}  // namespace vorlane
