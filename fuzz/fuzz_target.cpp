// The target text as typed and its resolution. Whatever the text and
// whatever the name service answers: no crash, and
//   - a host name to look up has no scheme, path, query, fragment or port
//     left and no upper-case ASCII letter;
//   - an address (IPv4 or IPv6) reads back from its own text;
//   - a usable TCP target has a port of 1-65535, and only a TCP target has one;
//   - nothing usable is ever the all-ones (broadcast) address, the
//     unspecified IPv6 address or an IPv6 multicast address;
//   - the list checks take any text (more than one entry when it has blanks)
//     without a crash, and an accepted entry never reads as malformed.
// Input: the typed text as UTF-16 units, optionally followed by the units
// 0xFFFF and the lookup's answer.
#include <cstdint>
#include <string>

#include "fuzz/FuzzInput.h"
#include "monitor/Target.h"
#include "monitor/TargetList.h"

namespace {

using vorlane::fuzz::Require;

class AnswerResolver : public vorlane::Resolver {
  public:
    explicit AnswerResolver(std::wstring answer) : answer_(std::move(answer)) {}
    std::wstring lookupHost(const std::wstring& name) override {
        Require(!name.empty(), "an empty name is never looked up");
        ++lookups;
        return answer_;
    }
    int lookups = 0;

  private:
    std::wstring answer_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    const std::wstring all = vorlane::fuzz::WideFromBytes(data, size);
    const size_t cut = all.find(static_cast<wchar_t>(0xFFFF));
    const std::wstring typed = all.substr(0, cut);
    const std::wstring answer = cut == std::wstring::npos ? L"127.0.0.1" : all.substr(cut + 1);

    const vorlane::TargetSpec spec = vorlane::ParseTarget(typed);
    switch (spec.kind) {
        case vorlane::TargetSpec::Kind::Empty:
            break;
        case vorlane::TargetSpec::Kind::Malformed:
            Require(vorlane::CheckTarget(typed) == vorlane::TargetProblem::Unreadable,
                    "a malformed target is refused as unreadable");
            break;
        case vorlane::TargetSpec::Kind::Address: {
            auto back = vorlane::ParseIpAddress(spec.address.toText());
            Require(back && *back == spec.address, "an address reads back from its text");
            break;
        }
        case vorlane::TargetSpec::Kind::HostName:
            Require(!spec.host.empty(), "a host name is not empty");
            Require(spec.host.find_first_of(L"/?#:") == std::wstring::npos,
                    "a host name has no path, query, fragment or port");
            for (wchar_t c : spec.host) Require(!(c >= L'A' && c <= L'Z'), "host is lower-case");
            Require(!vorlane::ParseDottedIpv4(spec.host), "a dotted address is not looked up");
            break;
    }

    AnswerResolver resolver(answer);
    const vorlane::ResolvedTarget resolved = vorlane::ResolveTarget(typed, resolver);
    Require(resolver.lookups == (spec.kind == vorlane::TargetSpec::Kind::HostName ? 1 : 0),
            "exactly host names are looked up, once");
    if (resolved.usable()) {
        const vorlane::IpAddress& address = resolved.address;
        if (address.family == vorlane::IpAddress::Family::V4) {
            Require(!address.v4.isAllOnes(), "the broadcast address is never probed");
        } else {
            Require(!address.v6.isUnspecified() && !address.v6.isMulticast(),
                    "no IPv6 address of no single host is probed");
        }
        auto fromText = vorlane::ParseIpAddress(resolved.text);
        Require(fromText && *fromText == address, "the working text is the address");
        const bool tcp = resolved.kind == vorlane::ProbeKind::TcpConnect;
        Require(tcp == (spec.probe == vorlane::ProbeKind::TcpConnect), "the kind is the typed one");
        Require(tcp ? resolved.port != 0 : resolved.port == 0, "only a TCP probe has a port");
        auto probeText = vorlane::ParseTarget(resolved.probeTarget().toText());
        Require(probeText.kind == vorlane::TargetSpec::Kind::Address &&
                    probeText.address == address && probeText.probe == resolved.kind,
                "a probe's text reads back as the same probe");
    }
    (void)vorlane::CheckTargetList(typed);
    (void)vorlane::HasIpv6Echo(typed);
    (void)vorlane::CheckZones(typed, [](std::uint32_t zone) { return zone % 2 == 0; });
    if (spec.kind == vorlane::TargetSpec::Kind::Empty) {
        Require(resolved.state == vorlane::ResolvedTarget::State::NoTarget, "empty is no target");
    }

    // The dotted-address reader against a plain restatement of its rule.
    auto parsed = vorlane::ParseDottedIpv4(typed);
    bool expected = true;
    size_t pos = 0;
    for (int part = 0; part < 4 && expected; ++part) {
        if (part > 0 && (pos >= typed.size() || typed[pos++] != L'.')) expected = false;
        size_t digits = 0;
        unsigned value = 0;
        while (expected && pos < typed.size() && typed[pos] >= L'0' && typed[pos] <= L'9') {
            value = value * 10 + static_cast<unsigned>(typed[pos++] - L'0');
            if (++digits > 3) expected = false;
        }
        if (digits == 0 || value > 255) expected = false;
    }
    if (pos != typed.size()) expected = false;
    Require(parsed.has_value() == expected, "dotted addresses are exactly four parts 0-255");
    return 0;
}
