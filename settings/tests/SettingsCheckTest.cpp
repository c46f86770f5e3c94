#include "settings/SettingsCheck.h"

#include <climits>

#include <gtest/gtest.h>

namespace vorlane {
namespace {

TEST(ReadItemInt, ReadsLikeAtoi) {
    EXPECT_EQ(ReadItemInt(L"42"), 42);
    EXPECT_EQ(ReadItemInt(L"  7x"), 7);
    EXPECT_EQ(ReadItemInt(L"+3"), 3);
    EXPECT_EQ(ReadItemInt(L"-5"), -5);
    EXPECT_EQ(ReadItemInt(L"\t\n 12 34"), 12);
    EXPECT_EQ(ReadItemInt(L""), 0);
    EXPECT_EQ(ReadItemInt(L"abc"), 0);
    EXPECT_EQ(ReadItemInt(L"- 5"), 0);
    EXPECT_EQ(ReadItemInt(L"０"), 0);  // full-width digits are not digits
}

TEST(ReadItemInt, SaturatesInsteadOfOverflowing) {
    EXPECT_EQ(ReadItemInt(L"2147483647"), INT_MAX);
    EXPECT_EQ(ReadItemInt(L"2147483648"), INT_MAX);
    EXPECT_EQ(ReadItemInt(L"99999999999"), INT_MAX);
    EXPECT_EQ(ReadItemInt(L"-2147483648"), INT_MIN);
    EXPECT_EQ(ReadItemInt(L"-99999999999999999999999"), INT_MIN);
    EXPECT_EQ(ReadItemInt(std::wstring(10000, L'9')), INT_MAX);
}

DialogInput Valid() {
    DialogInput in;
    in.target = L"192.168.1.1";
    in.tryTimes = L"3";
    in.tryInterval = L"5";
    in.countdown = L"60";
    in.commandLine = L"shutdown /s /t 0";
    in.playSound = true;
    in.timeout = L"1000";
    return in;
}

TEST(CheckSettings, TargetNeedsAFullStop) {
    for (const wchar_t* target : {L"", L"localhost", L"http//x"}) {
        DialogInput in = Valid();
        in.target = target;
        in.tryInterval = L"0";  // only the first refusal is reported
        EXPECT_EQ(CheckSettings(in).refusal, Refusal::Target) << target;
    }
    for (const wchar_t* target : {L".", L"Example.COM", L"http://Host.example/x", L"10.0.0.1:80"}) {
        DialogInput in = Valid();
        in.target = target;
        CheckResult r = CheckSettings(in);
        EXPECT_EQ(r.refusal, Refusal::None) << target;
        EXPECT_EQ(r.values.target, target);  // kept exactly as typed
    }
}

TEST(CheckSettings, IntervalBelowOneIsRefused) {
    for (const wchar_t* interval : {L"0", L"", L"-1", L"abc"}) {
        DialogInput in = Valid();
        in.tryInterval = interval;
        EXPECT_EQ(CheckSettings(in).refusal, Refusal::Interval) << interval;
    }
}

TEST(CheckSettings, TimeoutOutsideItsRangeIsRefused) {
    for (const wchar_t* timeout : {L"99", L"10001", L"", L"0", L"-1000", L"99999999999"}) {
        DialogInput in = Valid();
        in.timeout = timeout;
        EXPECT_EQ(CheckSettings(in).refusal, Refusal::Timeout) << timeout;
    }
    for (const wchar_t* timeout : {L"100", L"10000"}) {
        DialogInput in = Valid();
        in.timeout = timeout;
        CheckResult r = CheckSettings(in);
        EXPECT_EQ(r.refusal, Refusal::None) << timeout;
        EXPECT_EQ(r.values.timeoutMs, ReadItemInt(timeout));
    }
}

TEST(CheckSettings, CountAndCountdownAreRaised) {
    DialogInput in = Valid();
    in.tryTimes = L"0";
    in.countdown = L"-5";
    CheckResult r = CheckSettings(in);
    ASSERT_EQ(r.refusal, Refusal::None);
    EXPECT_EQ(r.values.tryTimes, 1);
    EXPECT_EQ(r.values.countdown, 0);

    in.tryTimes = L"";
    in.countdown = L"";
    r = CheckSettings(in);
    EXPECT_EQ(r.values.tryTimes, 1);
    EXPECT_EQ(r.values.countdown, 0);
}

TEST(CheckSettings, AcceptedValuesAreHandedOnWhole) {
    DialogInput in = Valid();
    in.commandLine = L"  echo \"a&b\" %x% 中文 ";
    in.shutDown = true;
    CheckResult r = CheckSettings(in);
    ASSERT_EQ(r.refusal, Refusal::None);
    EXPECT_EQ(r.values.tryTimes, 3);
    EXPECT_EQ(r.values.tryInterval, 5);
    EXPECT_EQ(r.values.countdown, 60);
    EXPECT_EQ(r.values.commandLine, in.commandLine);
    EXPECT_TRUE(r.values.playSound);
    EXPECT_TRUE(r.values.shutDown);
}

TEST(CheckSettings, ATargetThatCanNeverAnswerIsRefusedWithItsNameAndReason) {
    DialogInput in = Valid();
    in.target = L"127.0.0.1, 255.255.255.255";
    CheckResult r = CheckSettings(in);
    EXPECT_EQ(r.refusal, Refusal::TargetEntry);
    EXPECT_EQ(r.warning, L"不是单个主机的地址，永远不会应答：255.255.255.255");
    // A huge entry is cut in the warning, not in the check.
    in.target = std::wstring(100000, L'x') + L".lan";
    r = CheckSettings(in);
    EXPECT_EQ(r.refusal, Refusal::TargetEntry);
    EXPECT_LT(r.warning.size(), 100u);
    in.target = L"127.0.0.1 127.0.0.2";
    EXPECT_EQ(CheckSettings(in).refusal, Refusal::None);
}

}  // namespace
}  // namespace vorlane
