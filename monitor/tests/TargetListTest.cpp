#include "monitor/TargetList.h"

#include <gtest/gtest.h>

namespace vorlane {
namespace {

using Entries = std::vector<std::wstring>;
using P = TargetProblem;

TEST(SplitTargets, BlanksCommasAndSemicolonsAndTheirRuns) {
    EXPECT_EQ(SplitTargets(L"a.lan, 10.0.0.1;b.lan\tc.lan"),
              (Entries{L"a.lan", L"10.0.0.1", L"b.lan", L"c.lan"}));
    EXPECT_EQ(SplitTargets(L" ;, a.lan ,,; "), (Entries{L"a.lan"}));
    EXPECT_TRUE(SplitTargets(L" , ; ").empty());
    // The single-target texts of before are one entry each, unchanged.
    for (const wchar_t* one :
         {L"192.168.1.1:80", L"http://Router.Lan:8080/x?y=1#z", L"*.example.org", L"中文.例子"}) {
        EXPECT_EQ(SplitTargets(one), (Entries{one}));
    }
}

TEST(CheckTargetList, EightTargetsAndNotNineAndTheFirstBadEntryNamed) {
    std::wstring eight;
    for (int i = 1; i <= 8; ++i) eight += L"127.0.0." + std::to_wstring(i) + L" ";
    EXPECT_EQ(CheckTargetList(eight).problem, P::None);
    TargetListCheck nine = CheckTargetList(eight + L"ninth.lan");
    EXPECT_EQ(nine.problem, P::TooMany);
    EXPECT_EQ(nine.entry, L"ninth.lan");

    TargetListCheck bad = CheckTargetList(L"127.0.0.1, http://, 0.0.0.0");
    EXPECT_EQ(bad.problem, P::Unreadable);
    EXPECT_EQ(bad.entry, L"http://");
}

TEST(CheckTarget, AddressesThatNoHostAnswersFrom) {
    for (const wchar_t* refused : {L"0.0.0.0", L"0.255.255.255", L"255.255.255.255", L"224.0.0.0",
                                   L"239.255.255.255", L"240.0.0.1", L"http://224.0.0.1:80/"}) {
        EXPECT_EQ(CheckTarget(refused), P::NotUnicast) << refused;
    }
    for (const wchar_t* accepted : {L"1.0.0.0", L"223.255.255.255", L"127.0.0.1", L"10.0.0.1:0"}) {
        EXPECT_EQ(CheckTarget(accepted), P::None) << accepted;
    }
}

TEST(CheckTarget, PortsAndNames) {
    EXPECT_EQ(CheckTarget(L"10.0.0.1:65535"), P::None);
    EXPECT_EQ(CheckTarget(L"10.0.0.1:65536"), P::PortTooLarge);
    EXPECT_EQ(CheckTarget(L"http://a.lan:99999999999999/"), P::PortTooLarge);
    EXPECT_EQ(CheckTarget(L":80"), P::Unreadable);

    const std::wstring label63(63, L'a');
    const std::wstring name253 =
        label63 + L"." + label63 + L"." + label63 + L"." + std::wstring(61, L'b');
    ASSERT_EQ(name253.size(), 253u);
    EXPECT_EQ(CheckTarget(name253), P::None);
    EXPECT_EQ(CheckTarget(name253 + L"b"), P::NameTooLong);
    EXPECT_EQ(CheckTarget(std::wstring(100000, L'a') + L".lan"), P::NameTooLong);
    EXPECT_EQ(CheckTarget(label63 + L".lan"), P::None);
    EXPECT_EQ(CheckTarget(label63 + L"a.lan"), P::LabelTooLong);

    for (const wchar_t* good : {L"my_host-1.lan", L"中文.例子", L"bücher.example", L"1.2.3.256"}) {
        EXPECT_EQ(CheckTarget(good), P::None) << good;
    }
    for (const wchar_t* bad :
         {L"a!b.lan", L"a\"b.lan", L"例子。中国", L"中文.例子😀", L"a@b.lan", L"a\u3000b.lan"}) {
        EXPECT_EQ(CheckTarget(bad), P::BadCharacter) << bad;
    }
}

TEST(HostNamesOf, OnlyTheNamesLowerCasedAndWithoutTheirDecoration) {
    EXPECT_EQ(HostNamesOf(L"10.0.0.1 HTTP://Router.LAN:80/x, *.example.org"),
              (Entries{L"router.lan", L"example.org"}));
}

}  // namespace
}  // namespace vorlane
