#include "settings/TargetsHere.h"

#include <gtest/gtest.h>

#include <set>

#include "settings/SettingsCheck.h"

namespace vorlane {
namespace {

class FakeSystem : public TargetSystem {
  public:
    std::set<std::uint32_t> zones{1, 2};
    bool echoV6 = false;
    int echoAsked = 0;
    bool zoneExists(std::uint32_t zone) override { return zones.count(zone) > 0; }
    bool canEchoIpv6() override {
        ++echoAsked;
        return echoV6;
    }
};

TEST(TargetsHereCheck, AnUnknownZoneIsRefusedEveryTime) {
    FakeSystem system;
    TargetsHereCheck check;
    for (int press = 0; press < 2; ++press) {
        EXPECT_EQ(check.warningFor(L"127.0.0.1 fe80::1%9", system),
                  L"没有这个编号的网络接口：fe80::1%9");
    }
    EXPECT_EQ(check.warningFor(L"fe80::1%2", system),
              L"本系统无法用ping探测IPv6地址，请改用 tcp://[地址]:端口");
}

TEST(TargetsHereCheck, NoIpv6EchoIsWarnedOnceForTheSameTargets) {
    FakeSystem system;
    TargetsHereCheck check;
    EXPECT_EQ(check.warningFor(L"::1, 127.0.0.1", system),
              std::wstring(L"本系统无法用ping探测IPv6地址，请改用 tcp://[地址]:端口"));
    EXPECT_EQ(check.warningFor(L"::1, 127.0.0.1", system), L"");  // OK again stores them
    EXPECT_EQ(
        check.warningFor(L"::1", system),
        std::wstring(
            L"本系统无法用ping探测IPv6地址，请改用 tcp://[地址]:端口"));  // changed: told again
    // What needs no ICMPv6 echo is never warned about, nor asked for.
    system.echoAsked = 0;
    for (const wchar_t* field :
         {L"tcp://[::1]:80", L"127.0.0.1", L"six.lan", L"::ffff:127.0.0.1"}) {
        EXPECT_EQ(check.warningFor(field, system), L"") << field;
    }
    EXPECT_EQ(system.echoAsked, 0);
    system.echoV6 = true;
    EXPECT_EQ(check.warningFor(L"2001:db8::1", system), L"");
}

}  // namespace
}  // namespace vorlane
