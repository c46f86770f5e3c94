// The start without the dialog: which stored files it may run on.
#include "settings/StoredSettings.h"

#include <map>

#include <gtest/gtest.h>

namespace vorlane {
namespace {

// The store as the dialog sees it: its texts, "1" for a ticked box.
DialogInput Stored(std::map<std::wstring, std::wstring> changes) {
    std::map<std::wstring, std::wstring> values = {{L"ping", L"127.0.0.1"},
                                                   {L"trytimes", L"3"},
                                                   {L"tryinterval", L"5"},
                                                   {L"djs", L"60"},
                                                   {L"cmduser", L"shutdown /s /t 0"},
                                                   {L"bwav", L"1"},
                                                   {L"timeout", L"1000"}};
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
    };
    for (const auto& changes : bad) {
        WorkingSettingsValues values;
        EXPECT_FALSE(StoredSettingsPass(Stored(changes), values))
            << changes.begin()->first.size() << " " << changes.begin()->second.size();
    }
}

}  // namespace
}  // namespace vorlane
