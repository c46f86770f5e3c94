// IPv6 and TCP targets: their grammar, the never-answer rules of OK, which
// replies count as an answer, and how the loop treats a probe this system
// cannot send.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "monitor/ProbeAnswer.h"
#include "monitor/ProbeLoop.h"
#include "monitor/Target.h"
#include "monitor/TargetList.h"
#include "monitor/tests/MonitorFakes.h"

namespace vorlane {
namespace {

using K = TargetSpec::Kind;
using P = TargetProblem;

struct GrammarRow {
    const wchar_t* typed;
    K kind;
    ProbeKind probe;
    const wchar_t* host;  // the address as text, or the name to look up
    const wchar_t* port;  // as typed after the host
};

const GrammarRow kGrammar[] = {
    // Bare IPv6 addresses: every colon belongs to the address, no port.
    {L"::1", K::Address, ProbeKind::Echo, L"::1", L""},
    {L" 2001:DB8::1 ", K::Address, ProbeKind::Echo, L"2001:db8::1", L""},
    {L"2001:0db8:0000:0000:0001:0000:0000:0001", K::Address, ProbeKind::Echo, L"2001:db8::1:0:0:1",
     L""},
    {L"1:0:2:3:4:5:6:7", K::Address, ProbeKind::Echo, L"1:0:2:3:4:5:6:7", L""},
    {L"1:2:3:4:5:6:1.2.3.4", K::Address, ProbeKind::Echo, L"1:2:3:4:5:6:102:304", L""},
    {L"fe80::1%2", K::Address, ProbeKind::Echo, L"fe80::1%2", L""},
    // In brackets, with or without a port (unused by an echo).
    {L"[2001:db8::1]:8080", K::Address, ProbeKind::Echo, L"2001:db8::1", L"8080"},
    {L"[::1]", K::Address, ProbeKind::Echo, L"::1", L""},
    {L"http://[::1]:8080/page", K::Address, ProbeKind::Echo, L"::1", L"8080"},
    // IPv4-mapped: the IPv4 address it carries.
    {L"::ffff:127.0.0.1", K::Address, ProbeKind::Echo, L"127.0.0.1", L""},
    {L"[::FFFF:7f00:1]", K::Address, ProbeKind::Echo, L"127.0.0.1", L""},
    // TCP targets: any host form, the port kept.
    {L"tcp://127.0.0.1:443", K::Address, ProbeKind::TcpConnect, L"127.0.0.1", L"443"},
    {L"TCP://[::1]:80", K::Address, ProbeKind::TcpConnect, L"::1", L"80"},
    {L"tcp://Router.LAN:22", K::HostName, ProbeKind::TcpConnect, L"router.lan", L"22"},
    {L"tcp://127.0.0.1", K::Address, ProbeKind::TcpConnect, L"127.0.0.1", L""},
    // Only in front: elsewhere "tcp" is a name as before.
    {L"tcp.lan:80", K::HostName, ProbeKind::Echo, L"tcp.lan", L"80"},
    // Brackets and colons that make no IPv6 address.
    {L"1::2::3", K::Malformed, ProbeKind::Echo, L"", L""},
    {L"1:2:3:4:5:6:7:8:9", K::Malformed, ProbeKind::Echo, L"", L""},
    {L"1:2:3:4:5:6:7", K::Malformed, ProbeKind::Echo, L"", L""},
    {L"12345::1", K::Malformed, ProbeKind::Echo, L"", L""},
    {L"::1::", K::Malformed, ProbeKind::Echo, L"", L""},
    {L"1:2:3:4:5:6:7:", K::Malformed, ProbeKind::Echo, L"", L""},
    {L"::1.2.3.4:5", K::Malformed, ProbeKind::Echo, L"", L""},
    {L"::1%", K::Malformed, ProbeKind::Echo, L"", L""},
    {L"fe80::1%eth0", K::Malformed, ProbeKind::Echo, L"", L""},
    {L"[::1", K::Malformed, ProbeKind::Echo, L"", L""},
    {L"[::1]x", K::Malformed, ProbeKind::Echo, L"", L""},
    {L"[127.0.0.1]:80", K::Malformed, ProbeKind::Echo, L"", L""},
    {L"router.lan:80:90", K::Malformed, ProbeKind::Echo, L"", L""},
};

TEST(ParseTarget, Ipv6AndTcpForms) {
    for (const GrammarRow& row : kGrammar) {
        SCOPED_TRACE(::testing::Message()
                     << "typed: \"" << std::wstring(row.typed).c_str() << "\"");
        const TargetSpec spec = ParseTarget(row.typed);
        EXPECT_EQ(spec.kind, row.kind);
        if (row.kind == K::Malformed) continue;
        EXPECT_EQ(spec.probe, row.probe);
        EXPECT_EQ(row.kind == K::Address ? spec.address.toText() : spec.host, row.host);
        EXPECT_EQ(spec.port, row.port);
        if (row.kind == K::Address) {
            EXPECT_EQ(ParseIpAddress(spec.address.toText()), spec.address);  // reads back
        }
    }
}

TEST(ParseTarget, ATcpPortIsOneTo65535) {
    for (const wchar_t* port : {L"1", L"65535", L"0080"}) {
        EXPECT_TRUE(ParseTarget(std::wstring(L"tcp://10.0.0.1:") + port).tcpPort()) << port;
    }
    for (const wchar_t* port : {L"", L"0", L"65536", L"99999999999999999999", L"8o", L"-1"}) {
        EXPECT_FALSE(ParseTarget(std::wstring(L"tcp://10.0.0.1:") + port).tcpPort()) << port;
    }
    EXPECT_EQ(*ParseTarget(L"tcp://[::1]:65535").tcpPort(), 65535);
}

class TableResolver : public Resolver {
  public:
    std::map<std::wstring, std::wstring> answers;
    std::wstring lookupHost(const std::wstring& name) override {
        auto it = answers.find(name);
        return it == answers.end() ? kLookupFailed : it->second;
    }
};

TEST(ResolveTarget, WhatEachKindOfTargetProbes) {
    TableResolver resolver;
    resolver.answers = {{L"six.lan", L"::1"},
                        {L"zero.lan", L"::"},
                        {L"group.lan", L"ff02::1"},
                        {L"router.lan", L"10.0.0.1"}};
    struct Row {
        const wchar_t* typed;
        bool usable;
        const wchar_t* probe;  // ProbeTarget::toText of a usable one
    } rows[] = {
        {L"::1", true, L"::1"},
        {L"[::1]:8080", true, L"::1"},
        {L"six.lan", true, L"::1"},
        {L"tcp://six.lan:80", true, L"tcp://[::1]:80"},
        {L"tcp://router.lan:443", true, L"tcp://10.0.0.1:443"},
        {L"tcp://127.0.0.1:22", true, L"tcp://127.0.0.1:22"},
        {L"fe80::1%3", true, L"fe80::1%3"},
        // Never probed: no single host, no link to send on, no port.
        {L"::", false, nullptr},
        {L"zero.lan", false, nullptr},
        {L"group.lan", false, nullptr},
        {L"ff02::1", false, nullptr},
        {L"fe80::1", false, nullptr},
        {L"tcp://127.0.0.1", false, nullptr},
        {L"tcp://router.lan:0", false, nullptr},
        {L"1::2::3", false, nullptr},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::Message()
                     << "typed: \"" << std::wstring(row.typed).c_str() << "\"");
        const ResolvedTarget target = ResolveTarget(row.typed, resolver);
        EXPECT_EQ(target.usable(), row.usable);
        if (row.usable) {
            EXPECT_EQ(target.probeTarget().toText(), row.probe);
        }
    }
}

TEST(CheckTarget, Ipv6AddressesThatCanNeverAnswerAndTcpPorts) {
    const std::map<std::wstring, P> expected = {
        {L"::", P::NotUnicast},
        {L"[::]:80", P::NotUnicast},
        {L"ff02::1", P::NotUnicast},
        {L"FF00::", P::NotUnicast},
        {L"tcp://[ff05::2]:80", P::NotUnicast},
        {L"::ffff:0.0.0.0", P::NotUnicast},
        {L"fe80::1", P::NeedsZone},
        {L"tcp://[febf::1]:80", P::NeedsZone},
        {L"fe80::1%0", P::NeedsZone},
        {L"1::2::3", P::Unreadable},
        {L"[zz]:99999", P::Unreadable},
        {L"[::1]:65536", P::PortTooLarge},
        {L"tcp://127.0.0.1", P::NoTcpPort},
        {L"tcp://127.0.0.1:0", P::NoTcpPort},
        {L"tcp://a.lan:http", P::NoTcpPort},
        {L"tcp://127.0.0.1:65536", P::PortTooLarge},
        {L"tcp://", P::Unreadable},
        {L"tcp://0.0.0.0:80", P::NotUnicast},
        {L"tcp://a!b.lan:80", P::BadCharacter},
        // Accepted.
        {L"::1", P::None},
        {L"2001:db8::1", P::None},
        {L"[2001:db8::1]:8080", P::None},
        {L"fe80::1%2", P::None},
        {L"fec0::1", P::None},
        {L"::ffff:127.0.0.1", P::None},
        {L"tcp://127.0.0.1:65535", P::None},
        {L"tcp://[::1]:1", P::None},
        {L"tcp://router.lan:443", P::None},
    };
    for (const auto& [entry, problem] : expected) {
        EXPECT_EQ(CheckTarget(entry), problem) << std::string(entry.begin(), entry.end());
    }
}

TEST(TargetList, MixedKindsAndTheChecksThatNeedTheSystem) {
    const std::wstring field = L"tcp://192.0.2.1:443, ::1;[fe80::1%7]:80 tcp://[::1]:22 router.lan";
    EXPECT_EQ(SplitTargets(field).size(), 5u);
    EXPECT_EQ(CheckTargetList(field).problem, P::None);
    EXPECT_EQ(HostNamesOf(field), (std::vector<std::wstring>{L"router.lan"}));
    EXPECT_EQ(HostNamesOf(L"tcp://Router.LAN:22"), (std::vector<std::wstring>{L"router.lan"}));

    std::vector<std::uint32_t> asked;
    auto onlyZoneOne = [&](std::uint32_t zone) {
        asked.push_back(zone);
        return zone == 1;
    };
    const TargetListCheck zones =
        CheckZones(L"fe80::1%1 ::1 [fe80::2%7]:80 fe80::3%8", onlyZoneOne);
    EXPECT_EQ(zones.problem, P::UnknownZone);
    EXPECT_EQ(zones.entry, L"[fe80::2%7]:80");
    EXPECT_EQ(asked, (std::vector<std::uint32_t>{1, 7}));  // "::1" has no zone to ask about
    EXPECT_EQ(CheckZones(L"fe80::1%1 127.0.0.1", onlyZoneOne).problem, P::None);

    EXPECT_TRUE(HasIpv6Echo(L"127.0.0.1 [::1]:80"));
    EXPECT_FALSE(HasIpv6Echo(L"127.0.0.1 tcp://[::1]:80 ::ffff:127.0.0.1 six.lan"));
    EXPECT_TRUE(HasIpv6Address(L"tcp://[::1]:80"));
    EXPECT_FALSE(HasIpv6Address(L"localhost:80 1::2::3"));
}

TEST(ProbeAnswer, ConnectedOrRefusedAnswerAndNothingElseDoes) {
    struct Row {
        int socketError;
        ConnectReply reply;
        bool answered;
    } rows[] = {
        {0, ConnectReply::Connected, true},
        {10061, ConnectReply::Refused, true},
        {10060, ConnectReply::TimedOut, false},
        {10065, ConnectReply::HostUnreachable, false},
        {10051, ConnectReply::NetUnreachable, false},
        {10013, ConnectReply::Failed, false},  // access denied: never tried
        {10049, ConnectReply::Failed, false},  // no such local address
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.socketError);
        EXPECT_EQ(ConnectReplyOf(row.socketError), row.reply);
        const ProbeAnswer answer = AnswerOf(row.reply, 12);
        EXPECT_EQ(answer.answered(), row.answered);
        EXPECT_EQ(answer.roundTripMs, row.answered ? 12 : -1);
        EXPECT_EQ(answer.status,
                  row.answered ? ProbeAnswer::Status::Answered : ProbeAnswer::Status::Unanswered);
    }
    // A time-out is a miss, however the socket layer says it.
    EXPECT_FALSE(AnswerOf(ConnectReply::TimedOut, 1000).answered());
    EXPECT_TRUE(EchoUnsupported(50));      // not supported
    EXPECT_TRUE(EchoUnsupported(120));     // not implemented
    EXPECT_FALSE(EchoUnsupported(11010));  // timed out: a request went out
    EXPECT_FALSE(EchoUnsupported(0));
}

// Answers by the probe's text; a probe not listed goes unanswered.
class KindProber : public Prober {
  public:
    std::shared_ptr<MonitorState> state;
    std::map<std::wstring, ProbeAnswer> answers;
    std::vector<std::wstring> probed;
    std::size_t stopAfter = 10;

    ProbeAnswer probe(const ProbeTarget& target, int) override {
        std::lock_guard<std::mutex> lock(mutex_);
        probed.push_back(target.toText());
        if (probed.size() >= stopAfter) state->requestStop();
        auto it = answers.find(target.toText());
        return it == answers.end() ? ProbeAnswer::Unanswered() : it->second;
    }

  private:
    std::mutex mutex_;
};

class ProbeKindsLoopTest : public ::testing::Test {
  protected:
    ProbeKindsLoopTest() {
        state = std::make_shared<MonitorState>();
        prober.state = state;
        sink.state = state;
    }

    void run(const std::wstring& targets, int tryTimes) {
        // Misses would bring the next cycle after 1 s instead of 5.
        auto values = testing::Settings(targets, tryTimes, 5);
        values.retryInterval = 1;
        state->storeSettings(values);
        state->prepareStart();
        ProbeLoop(state, resolver, lookups, prober, sink, clock).run();
    }

    std::size_t count(const std::string& event) const {
        return static_cast<std::size_t>(std::count(sink.events.begin(), sink.events.end(), event));
    }

    std::shared_ptr<MonitorState> state;
    testing::FakeResolver resolver;
    testing::ManualLookups lookups;
    KindProber prober;
    testing::RecordingSink sink;
    testing::FakeClock clock;
};

TEST_F(ProbeKindsLoopTest, ATargetThatCannotBeProbedHereCountsNothingAndIsToldOnce) {
    prober.answers[L"::1"] = ProbeAnswer::Unsupported();
    prober.stopAfter = 6;
    run(L"::1", 1);
    EXPECT_EQ(sink.events, (std::vector<std::string>{"unsupported-target 0", "unsupported",
                                                     "unsupported", "unsupported", "unsupported",
                                                     "unsupported", "unsupported", "ended"}));
    EXPECT_EQ(state->failureCount(), 0);
    // Nothing was missed: the cycles keep their interval, none is a retry.
    ASSERT_EQ(clock.waits.size(), 5u);
    for (const auto& wait : clock.waits) EXPECT_EQ(wait.deadline - wait.at, 5000);
}

TEST_F(ProbeKindsLoopTest, BesideOtherTargetsItIsLeftOutAndTheRestCountAsBefore) {
    prober.answers[L"::1"] = ProbeAnswer::Unsupported();
    prober.answers[L"tcp://127.0.0.1:80"] = ProbeAnswer::Answered(4);
    prober.stopAfter = 4;  // two cycles of two probes
    run(L"::1 tcp://127.0.0.1:80", 2);
    EXPECT_EQ(sink.events, (std::vector<std::string>{"unsupported-target 0", "ok", "ok", "ended"}));

    // A silent IPv4 target beside it: its misses count, and the drop comes.
    state = std::make_shared<MonitorState>();
    prober.state = state;
    sink.state = state;
    sink.events.clear();
    prober.probed.clear();
    prober.stopAfter = 100;
    run(L"::1 127.0.0.2", 2);
    EXPECT_EQ(sink.events, (std::vector<std::string>{"unsupported-target 0", "fail 1", "fail 2",
                                                     "limit", "ended"}));
    // A name that does not resolve is missed as before, not excused by it.
    state = std::make_shared<MonitorState>();
    prober.state = state;
    sink.state = state;
    sink.events.clear();
    run(L"::1 nowhere.lan", 1);
    EXPECT_EQ(count("fail 1"), 1u);
    EXPECT_EQ(count("limit"), 1u);
}

TEST_F(ProbeKindsLoopTest, ATcpNameFollowsItsAddressAndKeepsItsPort) {
    resolver.answers = {{L"moving.lan", L"127.0.0.2"}, {L"six.lan", L"::1"}};
    prober.answers[L"tcp://127.0.0.3:8080"] = ProbeAnswer::Answered(1);
    prober.answers[L"::1"] = ProbeAnswer::Answered(1);
    prober.stopAfter = 6;
    clock.duringWait = [&](std::size_t index) {
        // The miss started a lookup again at once; it answers meanwhile.
        if (index == 0) lookups.finishAll(L"127.0.0.3");
        return false;
    };
    run(L"tcp://moving.lan:8080 six.lan", 3);
    ASSERT_GE(prober.probed.size(), 4u);
    std::sort(prober.probed.begin(), prober.probed.begin() + 2);
    std::sort(prober.probed.begin() + 2, prober.probed.begin() + 4);
    EXPECT_EQ(prober.probed[0], L"::1");
    EXPECT_EQ(prober.probed[1], L"tcp://127.0.0.2:8080");
    EXPECT_EQ(prober.probed[2], L"::1");
    EXPECT_EQ(prober.probed[3], L"tcp://127.0.0.3:8080");
    ASSERT_EQ(lookups.started.size(), 1u);
    EXPECT_EQ(lookups.started[0].host, L"moving.lan");
}

}  // namespace
}  // namespace vorlane
