#include "alarm/DropAlarm.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace vorlane {
namespace {

using Log = std::vector<std::wstring>;

class FakeActions : public AlarmActions {
  public:
    Log* log;
    std::wstring path = L"C:\\VORLANE\\ALERT.WAV";
    bool soundFileThere = true;
    std::function<void()> duringCommand;

    explicit FakeActions(Log* into) : log(into) {}

    void showStatus(const std::wstring& text, bool red) override {
        log->push_back((red ? L"red " : L"green ") + text);
    }
    std::wstring soundPath() override { return path; }
    bool fileExists(const std::wstring& candidate) override {
        log->push_back(L"exists? " + candidate);
        return soundFileThere;
    }
    void sendSoundCommand(const std::wstring& command) override {
        log->push_back(L"mci " + command);
    }
    void startCountdownTimer() override { log->push_back(L"timer on"); }
    void stopCountdownTimer() override { log->push_back(L"timer off"); }
    void runCommand(const std::wstring& command) override {
        log->push_back(L"run " + command);
        if (duringCommand) duringCommand();
    }
    void startCommand(const std::wstring& command) override { log->push_back(L"start " + command); }
    void performShutdown() override { log->push_back(L"shutdown"); }
    void resumeMonitor() override { log->push_back(L"resume"); }
    int ends = 0;
    void endMonitor() override { ++ends; }
    void noteEvent(Event) override {}
};

WorkingSettingsValues AlarmSettings(int countdown, const std::wstring& commandLine = L"",
                                    bool shutDown = false, bool playSound = false) {
    WorkingSettingsValues values;
    values.countdown = countdown;
    values.commandLine = commandLine;
    values.shutDown = shutDown;
    values.playSound = playSound;
    return values;
}

class DropAlarmTest : public ::testing::Test {
  protected:
    DropAlarmTest() {
        auto owned = std::make_unique<FakeActions>(&log);
        actions = owned.get();
        alarm = std::make_unique<DropAlarm>(std::move(owned));
    }

    Log log;
    FakeActions* actions;
    std::unique_ptr<DropAlarm> alarm;
};

TEST_F(DropAlarmTest, ShowsEachProbeResult) {
    alarm->onProbeResult(false, 3);
    alarm->onProbeResult(true, 0);
    EXPECT_EQ(log, (Log{L"red 连续掉线：3", L"green 没掉线，OK！"}));
}

TEST_F(DropAlarmTest, CountdownBelowOneActsAtOnceWithoutATimer) {
    for (int countdown : {0, -4}) {
        log.clear();
        DropAlarm once(std::make_unique<FakeActions>(&log));
        once.setSettings(AlarmSettings(countdown));
        once.onDropLimit();
        EXPECT_EQ(log, (Log{L"red 停止！"}));
        EXPECT_EQ(once.stage(), DropAlarm::Stage::Ended);
    }
}

TEST_F(DropAlarmTest, CountsDownSecondBySecondThenActs) {
    alarm->setSettings(AlarmSettings(3, L"echo hi"));
    alarm->onDropLimit();
    EXPECT_EQ(log, (Log{L"timer on"}));
    for (int tick = 0; tick < 4; ++tick) alarm->onCountdownTick();
    EXPECT_EQ(log, (Log{L"timer on", L"red 倒数关机：3", L"red 倒数关机：2", L"red 倒数关机：1",
                        L"timer off", L"red 执行命令行...", L"run cmd.exe /c \"echo hi\"",
                        L"red 停止！"}));
    // The sequence runs once: later reports and stray ticks change nothing.
    log.clear();
    alarm->onDropLimit();
    alarm->onCountdownTick();
    alarm->onProbeResult(true, 0);
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(actions->ends, 1);
}

TEST_F(DropAlarmTest, CountdownIsReadAfreshAtEachTick) {
    alarm->setSettings(AlarmSettings(5));
    alarm->onDropLimit();
    alarm->onCountdownTick();
    alarm->onCountdownTick();
    // Settings confirmed during the countdown: no more than already shown.
    alarm->setSettings(AlarmSettings(2));
    alarm->onCountdownTick();
    EXPECT_EQ(log, (Log{L"timer on", L"red 倒数关机：5", L"red 倒数关机：4", L"timer off",
                        L"red 停止！"}));
}

TEST_F(DropAlarmTest, SettingsConfirmedDuringTheCountdownApplyAtTheirNextUse) {
    alarm->setSettings(AlarmSettings(3));
    alarm->onDropLimit();
    alarm->onCountdownTick();
    alarm->setSettings(AlarmSettings(4, L"notify.cmd", true));
    alarm->onCountdownTick();
    alarm->onCountdownTick();
    alarm->onCountdownTick();
    alarm->onCountdownTick();
    EXPECT_EQ(log, (Log{L"timer on", L"red 倒数关机：3", L"red 倒数关机：3", L"red 倒数关机：2",
                        L"red 倒数关机：1", L"timer off", L"red 执行命令行...",
                        L"run cmd.exe /c \"notify.cmd\"", L"shutdown"}));
}

TEST_F(DropAlarmTest, EndStepForEveryCommandLineAndShutdownCombination) {
    struct Case {
        const wchar_t* commandLine;
        bool shutDown;
        Log expected;
    };
    const Case cases[] = {
        {L"", false, {L"red 停止！"}},
        {L"", true, {L"shutdown"}},
        {L" ", false, {L"red 执行命令行...", L"run cmd.exe /c \" \"", L"red 停止！"}},
        {L"a \"b\" & c",
         true,
         {L"red 执行命令行...", L"run cmd.exe /c \"a \"b\" & c\"", L"shutdown"}},
    };
    for (const Case& c : cases) {
        log.clear();
        DropAlarm once(std::make_unique<FakeActions>(&log));
        once.setSettings(AlarmSettings(0, c.commandLine, c.shutDown));
        once.onDropLimit();
        EXPECT_EQ(log, c.expected) << "command line \"" << std::wstring(c.commandLine).size()
                                   << " chars\", shutdown " << c.shutDown;
    }
}

TEST_F(DropAlarmTest, ShutdownIsReadAfterTheCommandHasRun) {
    alarm->setSettings(AlarmSettings(0, L"x"));
    actions->duringCommand = [&] { alarm->setSettings(AlarmSettings(0, L"x", true)); };
    alarm->onDropLimit();
    EXPECT_EQ(log.back(), L"shutdown");
}

TEST_F(DropAlarmTest, PlaysTheSoundOnlyWhenAskedAndThereAndGoesOnWithout) {
    alarm->setSettings(AlarmSettings(0, L"", false, true));
    alarm->onDropLimit();
    EXPECT_EQ(log, (Log{L"exists? C:\\VORLANE\\ALERT.WAV", L"mci close all",
                        L"mci open C:\\VORLANE\\ALERT.WAV", L"mci play C:\\VORLANE\\ALERT.WAV",
                        L"red 停止！"}));

    log.clear();
    auto missing = std::make_unique<FakeActions>(&log);
    missing->soundFileThere = false;
    DropAlarm silent(std::move(missing));
    silent.setSettings(AlarmSettings(1, L"", false, true));
    silent.onDropLimit();
    silent.onCountdownTick();
    silent.onCountdownTick();
    EXPECT_EQ(log, (Log{L"exists? C:\\VORLANE\\ALERT.WAV", L"timer on", L"red 倒数关机：1",
                        L"timer off", L"red 停止！"}));

    log.clear();
    DropAlarm off(std::make_unique<FakeActions>(&log));
    off.setSettings(AlarmSettings(0));
    off.onDropLimit();
    EXPECT_EQ(log, (Log{L"red 停止！"}));
}

TEST_F(DropAlarmTest, ALongPathWithBlanksIsQuotedForTheMediaCommands) {
    actions->path = L"C:\\Program Files\\Vorlane\\alert.wav";
    alarm->setSettings(AlarmSettings(0, L"", true, true));
    alarm->onDropLimit();
    EXPECT_EQ(log[2], L"mci open \"C:\\Program Files\\Vorlane\\alert.wav\"");
    EXPECT_EQ(log[3], L"mci play \"C:\\Program Files\\Vorlane\\alert.wav\"");
}

}  // namespace
}  // namespace vorlane
