// The start without the dialog: which stored files it may run on.
#include "settings/StoredSettings.h"

#include <map>

#include <gtest/gtest.h>

#include "core/ConfigStore.h"
#include "core/Utf.h"

namespace vorlane {
namespace {

// The store as the dialog sees it: its texts (the store's defaults for the
// keys a file leaves out), "1" for a ticked box.
DialogInput Stored(std::map<std::wstring, std::wstring> changes) {
    std::map<std::wstring, std::wstring> values;
    for (const auto& [key, value] : StoreDefaults()) values[Utf8ToWide(key)] = Utf8ToWide(value);
    for (const auto& [key, value] :
         std::map<std::wstring, std::wstring>{{L"ping", L"127.0.0.1"},
                                              {L"trytimes", L"3"},
                                              {L"tryinterval", L"5"},
                                              {L"djs", L"60"},
                                              {L"cmduser", L"shutdown /s /t 0"},
                                              {L"bwav", L"1"},
                                              {L"timeout", L"1000"}}) {
        values[key] = value;
    }
    for (auto& [key, value] : changes) values[key] = value;
    return ReadStoredInput([&](const wchar_t* key) { return values[key]; },
                           [&](const wchar_t* key) { return values[key] == L"1"; });
}

TEST(StoredSettingsPass, GoodStoredSettingsStartAsTheDialogWouldHandThemOn) {
    WorkingSettingsValues values;
    ASSERT_TRUE(StoredSettingsPass(Stored({{L"armfirst", L"1"}, {L"djs", L" 0"}}), values));
    EXPECT_EQ(values.target, L"127.0.0.1");
    EXPECT_EQ(values.tryTimes, 3);
    EXPECT_EQ(values.tryInterval, 5);
    EXPECT_EQ(values.countdown, 0);
    EXPECT_EQ(values.timeoutMs, 1000);
    EXPECT_EQ(values.commandLine, L"shutdown /s /t 0");
    EXPECT_TRUE(values.playSound);
    EXPECT_TRUE(values.armFirst);
    EXPECT_FALSE(values.shutDown);
    // A file from before the detection keys reads them at their defaults.
    EXPECT_EQ(values.tryWindow, 0);
    EXPECT_EQ(values.upAfter, 1);
    EXPECT_EQ(values.retryInterval, 0);
    EXPECT_EQ(values.resumeGrace, 60);
}

TEST(StoredSettingsPass, BadStoredValuesBringTheDialog) {
    const std::map<std::wstring, std::wstring> bad[] = {
        {{L"ping", L""}},
        {{L"trytimes", L"0"}},
        {{L"trytimes", L"-2"}},
        {{L"tryinterval", L"-5"}},
        {{L"tryinterval", L"0"}},
        {{L"trytimes", L"abc"}},
        {{L"tryinterval", L"5x"}},
        {{L"djs", L""}},
        {{L"djs", L"-1"}},
        {{L"timeout", L"50"}},
        {{L"trytimes", L"99999999999"}},
        {{L"trywindow", L"2"}},
        {{L"trywindow", L"10x"}},
        {{L"upafter", L"0"}},
        {{L"retryinterval", L"6"}},
        {{L"resumegrace", L"3601"}},
        {{L"resumegrace", L""}},
    };
    for (const auto& changes : bad) {
        WorkingSettingsValues values;
        EXPECT_FALSE(StoredSettingsPass(Stored(changes), values))
            << changes.begin()->first.size() << " " << changes.begin()->second.size();
    }
}

}  // namespace
}  // namespace vorlane
