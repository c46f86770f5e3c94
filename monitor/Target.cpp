#include "monitor/Target.h"

#include "core/Digits.h"

namespace vorlane {

const wchar_t kLookupFailed[] = L"NIL";

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

    RemoveAll(text, L"http://");
    RemoveAll(text, L"https://");
    // What follows the host is for a web browser, not for an echo request.
    CutAtFirstOf(text, L"/?#");
    TargetSpec spec;
    const std::size_t colon = text.find(L':');
    if (colon != std::wstring::npos) {
        spec.port = text.substr(colon + 1);
        text.erase(colon);
    }
    RemoveAll(text, L"*.");

    if (text.empty()) return spec;
    if (auto address = ParseDottedIpv4(text)) {
        spec.kind = TargetSpec::Kind::Address;
        spec.address = *address;
        return spec;
    }
    spec.kind = TargetSpec::Kind::HostName;
    spec.host = text;
    return spec;
}

namespace {

ResolvedTarget Checked(ResolvedTarget result, const std::optional<Ipv4Address>& address) {
    // Never probe the broadcast address: that would be an echo to the whole
    // network, and any answer from it says nothing about the target.
    if (!address || address->isAllOnes()) {
        result.state = ResolvedTarget::State::Unusable;
        return result;
    }
    result.state = ResolvedTarget::State::Usable;
    result.address = *address;
    return result;
}

}  // namespace

ResolvedTarget FromLookupAnswer(const std::wstring& answer) {
    ResolvedTarget result;
    result.fromLookup = true;
    result.text = answer;
    if (answer == kLookupFailed) {
        result.state = ResolvedTarget::State::LookupFailed;
        return result;
    }
    return Checked(std::move(result), ParseDottedIpv4(answer));
}

ResolvedTarget ResolveTarget(const std::wstring& typed, Resolver& resolver) {
    TargetSpec spec = ParseTarget(typed);
    switch (spec.kind) {
        case TargetSpec::Kind::Empty:
            return ResolvedTarget();
        case TargetSpec::Kind::Address: {
            ResolvedTarget result;
            result.text = spec.address.toText();
            return Checked(std::move(result), spec.address);
        }
        case TargetSpec::Kind::HostName:
            break;
    }
    return FromLookupAnswer(resolver.lookupHost(spec.host));
}

}  // namespace vorlane
