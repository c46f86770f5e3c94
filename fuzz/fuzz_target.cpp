// The target text as typed and its resolution. Whatever the text and
// whatever the name service answers: no crash, and
//   - a host name to look up has no scheme, path, query, fragment or port
//     left and no upper-case ASCII letter;
//   - a dotted address reads back from its own text;
//   - nothing usable is ever the all-ones (broadcast) address.
// Input: the typed text as UTF-16 units, optionally followed by the units
// 0xFFFF and the lookup's answer.
#include <cstdint>
#include <string>

#include "fuzz/FuzzInput.h"
#include "monitor/Target.h"

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
        case vorlane::TargetSpec::Kind::Address: {
            auto back = vorlane::ParseDottedIpv4(spec.address.toText());
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
        Require(!resolved.address.isAllOnes(), "the broadcast address is never probed");
        auto fromText = vorlane::ParseDottedIpv4(resolved.text);
        Require(fromText && *fromText == resolved.address, "the working text is the address");
    }
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
