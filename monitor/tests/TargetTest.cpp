#include "monitor/Target.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace vorlane {
namespace {

class TableResolver : public Resolver {
  public:
    std::map<std::wstring, std::wstring> answers;
    std::vector<std::wstring> asked;

    std::wstring lookupHost(const std::wstring& name) override {
        asked.push_back(name);
        auto it = answers.find(name);
        return it == answers.end() ? kLookupFailed : it->second;
    }
};

struct Row {
    const wchar_t* typed;
    const wchar_t* lookedUp;  // nullptr: no lookup at all
    ResolvedTarget::State state;
    const wchar_t* working;  // the working copy after resolution
};

using S = ResolvedTarget::State;

const Row kRows[] = {
    // A dotted address is probed as typed, a port dropped.
    {L"192.168.1.1", nullptr, S::Usable, L"192.168.1.1"},
    {L"192.168.1.1:80", nullptr, S::Usable, L"192.168.1.1"},
    {L" 10.0.0.1\t", nullptr, S::Usable, L"10.0.0.1"},
    // Host names are looked up lower-cased, whatever their number of dots.
    {L"Router.LAN", L"router.lan", S::Usable, L"10.0.0.1"},
    {L"a.b.c.example.com", L"a.b.c.example.com", S::Usable, L"127.0.0.7"},
    {L"unknown.example", L"unknown.example", S::LookupFailed, L"NIL"},
    {L"router.lan:8080", L"router.lan", S::Usable, L"10.0.0.1"},
    // Web addresses: scheme (any case, http or https), path, query, fragment
    // and port go before the lookup.
    {L"http://router.lan", L"router.lan", S::Usable, L"10.0.0.1"},
    {L"HTTP://Router.Lan/", L"router.lan", S::Usable, L"10.0.0.1"},
    {L"http://router.lan:8080/some/page?x=1#top", L"router.lan", S::Usable, L"10.0.0.1"},
    {L"HTTPS://router.lan?q", L"router.lan", S::Usable, L"10.0.0.1"},
    {L"https://router.lan#frag", L"router.lan", S::Usable, L"10.0.0.1"},
    {L"http://http://router.lan", L"router.lan", S::Usable, L"10.0.0.1"},
    {L"http://127.0.0.1:8080/some/page", nullptr, S::Usable, L"127.0.0.1"},
    {L"HTTPS://127.0.0.1/", nullptr, S::Usable, L"127.0.0.1"},
    // Wildcard form looks up the domain.
    {L"*.example.org", L"example.org", S::Usable, L"192.0.2.5"},
    // Not four parts of 0-255: a name, so it is looked up.
    {L"1.2.3.256", L"1.2.3.256", S::LookupFailed, L"NIL"},
    {L"1.2.3", L"1.2.3", S::LookupFailed, L"NIL"},
    {L"1.2.3.4.5", L"1.2.3.4.5", S::LookupFailed, L"NIL"},
    {L"1..2.3", L"1..2.3", S::LookupFailed, L"NIL"},
    {L"0001.2.3.4", L"0001.2.3.4", S::LookupFailed, L"NIL"},
    // Leading zeros are decimal, never octal.
    {L"010.000.000.001", nullptr, S::Usable, L"10.0.0.1"},
    // Nothing to probe, or nothing that may be probed.
    {L"", nullptr, S::NoTarget, L""},
    {L"http://", nullptr, S::NoTarget, L""},
    {L"  ", nullptr, S::NoTarget, L""},
    {L"255.255.255.255", nullptr, S::Unusable, L"255.255.255.255"},
    {L"broadcast.lan", L"broadcast.lan", S::Unusable, L"255.255.255.255"},
    {L"garbled.lan", L"garbled.lan", S::Unusable, L"not an address"},
};

TEST(ResolveTarget, ReadsTargetsTheWayAPersonMeansThem) {
    for (const Row& row : kRows) {
        SCOPED_TRACE(testing::Message() << "typed: \"" << std::wstring(row.typed).c_str() << "\"");
        TableResolver resolver;
        resolver.answers = {{L"router.lan", L"10.0.0.1"},
                            {L"a.b.c.example.com", L"127.0.0.7"},
                            {L"example.org", L"192.0.2.5"},
                            {L"broadcast.lan", L"255.255.255.255"},
                            {L"garbled.lan", L"not an address"}};
        ResolvedTarget target = ResolveTarget(row.typed, resolver);
        if (row.lookedUp) {
            ASSERT_EQ(resolver.asked.size(), 1u);
            EXPECT_EQ(resolver.asked[0], row.lookedUp);
        } else {
            EXPECT_TRUE(resolver.asked.empty());
        }
        EXPECT_EQ(target.state, row.state);
        EXPECT_EQ(target.text, row.working);
        EXPECT_EQ(target.retryLookup(), row.lookedUp != nullptr && row.state != S::Usable);
        if (target.usable()) {
            EXPECT_EQ(target.address.toText(), row.working);
        }
    }
}

TEST(ParseDottedIpv4, KeepsOctetOrderAndRange) {
    auto address = ParseDottedIpv4(L"0.255.7.130");
    ASSERT_TRUE(address);
    EXPECT_EQ(address->octets[0], 0);
    EXPECT_EQ(address->octets[1], 255);
    EXPECT_EQ(address->octets[2], 7);
    EXPECT_EQ(address->octets[3], 130);
    EXPECT_FALSE(address->isAllOnes());
    EXPECT_FALSE(ParseDottedIpv4(L"1.2.3.4."));
    EXPECT_FALSE(ParseDottedIpv4(L"+1.2.3.4"));
    EXPECT_FALSE(ParseDottedIpv4(L"99999999999999999999.1.1.1"));
}

}  // namespace
}  // namespace vorlane
