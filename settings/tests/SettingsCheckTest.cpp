#include "settings/SettingsCheck.h"

#include <climits>
#include <map>

#include <gtest/gtest.h>

#include "core/ConfigStore.h"
#include "core/Utf.h"

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

// The dialog as it opens on a new settings file, then filled in.
DialogInput Valid() {
    DialogInput in;
    for (const auto& [key, value] : StoreDefaults()) {
        const Setting* setting = FindSetting(Utf8ToWide(key));
        if (setting && setting->inDialog()) in[*setting] = Utf8ToWide(value);
    }
    in[L"ping"] = L"192.168.1.1";
    in[L"trytimes"] = L"3";
    in[L"tryinterval"] = L"5";
    in[L"djs"] = L"60";
    in[L"cmduser"] = L"shutdown /s /t 0";
    in[L"bwav"] = kFlagOn;
    in[L"timeout"] = L"1000";
    return in;
}

// The key refused, or "" when OK accepts.
std::wstring Refused(const CheckResult& result) {
    return result.refused ? result.refused->key : L"";
}

TEST(CheckSettings, AnIpv6AddressNeedsNoFullStop) {
    DialogInput in = Valid();
    for (const wchar_t* target : {L"::1", L"tcp://[::1]:80", L"[2001:db8::1]:8080"}) {
        in[L"ping"] = target;
        EXPECT_EQ(Refused(CheckSettings(in)), L"") << target;
    }
    for (const wchar_t* target : {L"localhost:80", L"tcp://localhost:80", L"1::2::3"}) {
        in[L"ping"] = target;
        const CheckResult r = CheckSettings(in);
        EXPECT_EQ(Refused(r), L"ping") << target;
        EXPECT_EQ(r.warning, L"IP或网址不能为空！") << target;
    }
    in[L"ping"] = L"tcp://127.0.0.1";
    const CheckResult r = CheckSettings(in);
    EXPECT_EQ(Refused(r), L"ping");
    EXPECT_EQ(r.warning, L"tcp:// 目标要写明1到65535之间的端口：tcp://127.0.0.1");
}

TEST(CheckSettings, TargetNeedsAFullStop) {
    for (const wchar_t* target : {L"", L"localhost", L"http//x"}) {
        DialogInput in = Valid();
        in[L"ping"] = target;
        in[L"tryinterval"] = L"0";  // only the first refusal is reported
        const CheckResult r = CheckSettings(in);
        EXPECT_EQ(Refused(r), L"ping") << target;
        EXPECT_EQ(r.warning, L"IP或网址不能为空！") << target;
    }
    for (const wchar_t* target : {L".", L"Example.COM", L"http://Host.example/x", L"10.0.0.1:80"}) {
        DialogInput in = Valid();
        in[L"ping"] = target;
        CheckResult r = CheckSettings(in);
        EXPECT_EQ(Refused(r), L"") << target;
        EXPECT_EQ(r.values.target, target);  // kept exactly as typed
    }
}

TEST(CheckSettings, IntervalBelowOneIsRefused) {
    for (const wchar_t* interval : {L"0", L"", L"-1", L"abc"}) {
        DialogInput in = Valid();
        in[L"tryinterval"] = interval;
        const CheckResult r = CheckSettings(in);
        EXPECT_EQ(Refused(r), L"tryinterval") << interval;
        EXPECT_EQ(r.warning, L"检测间隔时间不能小于1秒！") << interval;
    }
}

TEST(CheckSettings, TimeoutOutsideItsRangeIsRefused) {
    for (const wchar_t* timeout : {L"99", L"10001", L"", L"0", L"-1000", L"99999999999"}) {
        DialogInput in = Valid();
        in[L"timeout"] = timeout;
        const CheckResult r = CheckSettings(in);
        EXPECT_EQ(Refused(r), L"timeout") << timeout;
        EXPECT_EQ(r.warning, L"超时必须在100到10000毫秒之间！") << timeout;
    }
    for (const wchar_t* timeout : {L"100", L"10000"}) {
        DialogInput in = Valid();
        in[L"timeout"] = timeout;
        CheckResult r = CheckSettings(in);
        EXPECT_EQ(Refused(r), L"") << timeout;
        EXPECT_EQ(r.values.timeoutMs, ReadItemInt(timeout));
    }
}

TEST(CheckSettings, CountAndCountdownAreRaised) {
    DialogInput in = Valid();
    in[L"trytimes"] = L"0";
    in[L"djs"] = L"-5";
    CheckResult r = CheckSettings(in);
    ASSERT_EQ(Refused(r), L"");
    EXPECT_EQ(r.values.tryTimes, 1);
    EXPECT_EQ(r.values.countdown, 0);

    in[L"trytimes"] = L"";
    in[L"djs"] = L"";
    r = CheckSettings(in);
    EXPECT_EQ(r.values.tryTimes, 1);
    EXPECT_EQ(r.values.countdown, 0);
}

// The window, the answers to recover, the confirm interval and the grace
// after a resume: their edges, the bounds that follow other boxes, and
// their texts.
TEST(CheckSettings, DetectionKeysAreRefusedOutsideTheirRangesWithTheirTexts) {
    struct Case {
        const wchar_t* key;
        const wchar_t* value;
        bool accepted;
    };
    // Valid() has trytimes 3 and tryinterval 5.
    const Case cases[] = {
        {L"trywindow", L"0", true},      {L"trywindow", L"3", true},
        {L"trywindow", L"1000", true},   {L"trywindow", L"2", false},
        {L"trywindow", L"1001", false},  {L"trywindow", L"-1", false},
        {L"upafter", L"1", true},        {L"upafter", L"100", true},
        {L"upafter", L"0", false},       {L"upafter", L"101", false},
        {L"upafter", L"", false},        {L"retryinterval", L"0", true},
        {L"retryinterval", L"1", true},  {L"retryinterval", L"5", true},
        {L"retryinterval", L"6", false}, {L"retryinterval", L"-1", false},
        {L"resumegrace", L"0", true},    {L"resumegrace", L"3600", true},
        {L"resumegrace", L"-1", false},  {L"resumegrace", L"3601", false},
    };
    const std::map<std::wstring, std::wstring> texts = {
        {L"trywindow", L"统计次数必须为0，或在连续次数到1000之间！"},
        {L"upafter", L"恢复所需应答次数必须在1到100之间！"},
        {L"retryinterval", L"确认间隔必须为0，或在1秒到检测间隔之间！"},
        {L"resumegrace", L"唤醒后等待必须在0到3600秒之间！"},
    };
    for (const Case& c : cases) {
        DialogInput in = Valid();
        in[c.key] = c.value;
        const CheckResult r = CheckSettings(in);
        EXPECT_EQ(Refused(r), c.accepted ? L"" : c.key) << c.key << "=" << c.value;
        EXPECT_EQ(r.warning, c.accepted ? L"" : texts.at(c.key)) << c.key << "=" << c.value;
    }
    // The window's bound is the count as confirmed (0 raised to 1), the
    // confirm interval's the interval.
    DialogInput in = Valid();
    in[L"trytimes"] = L"0";
    in[L"trywindow"] = L"1";
    in[L"tryinterval"] = L"60";
    in[L"retryinterval"] = L"60";
    const CheckResult r = CheckSettings(in);
    ASSERT_EQ(Refused(r), L"");
    EXPECT_EQ(r.values.tryWindow, 1);
    EXPECT_EQ(r.values.retryInterval, 60);
}

TEST(CheckSettings, AcceptedValuesAreHandedOnWhole) {
    DialogInput in = Valid();
    in[L"cmduser"] = L"  echo \"a&b\" %x% 中文 ";
    in[L"bshutdown"] = kFlagOn;
    CheckResult r = CheckSettings(in);
    ASSERT_EQ(Refused(r), L"");
    EXPECT_EQ(r.values.tryTimes, 3);
    EXPECT_EQ(r.values.tryInterval, 5);
    EXPECT_EQ(r.values.countdown, 60);
    EXPECT_EQ(r.values.commandLine, in[L"cmduser"]);
    EXPECT_TRUE(r.values.playSound);
    EXPECT_TRUE(r.values.shutDown);
}

TEST(CheckSettings, ATargetThatCanNeverAnswerIsRefusedWithItsNameAndReason) {
    DialogInput in = Valid();
    in[L"ping"] = L"127.0.0.1, 255.255.255.255";
    CheckResult r = CheckSettings(in);
    EXPECT_EQ(Refused(r), L"ping");
    EXPECT_EQ(r.warning, L"不是单个主机的地址，永远不会应答：255.255.255.255");
    // A huge entry is cut in the warning, not in the check.
    in[L"ping"] = std::wstring(100000, L'x') + L".lan";
    r = CheckSettings(in);
    EXPECT_EQ(Refused(r), L"ping");
    EXPECT_NE(r.warning, L"IP或网址不能为空！");
    EXPECT_LT(r.warning.size(), 100u);
    in[L"ping"] = L"127.0.0.1 127.0.0.2";
    EXPECT_EQ(Refused(CheckSettings(in)), L"");
}

TEST(CheckSettings, TheBarGoesOnlyWithTheIconAndAnUnknownLanguageIsAuto) {
    DialogInput in = Valid();
    in[L"bar"] = kFlagOff;
    in[L"tray"] = kFlagOff;
    CheckResult r = CheckSettings(in);
    EXPECT_EQ(Refused(r), L"bar");
    EXPECT_EQ(r.warning, L"不显示状态条时，必须在通知区域显示图标，否则程序在屏幕上无处可见。");
    in[L"tray"] = kFlagOn;
    r = CheckSettings(in);
    ASSERT_EQ(Refused(r), L"");
    EXPECT_TRUE(r.values.tray);
    EXPECT_FALSE(r.values.bar);
    for (const wchar_t* word : {L"zh", L"en", L"auto"}) {
        in[L"lang"] = word;
        EXPECT_EQ(CheckSettings(in).values.language, word);
    }
    for (const wchar_t* word : {L"", L"fr", L"EN", L"en "}) {
        in[L"lang"] = word;
        EXPECT_EQ(CheckSettings(in).values.language, L"auto") << word;
    }
}

}  // namespace
}  // namespace vorlane
