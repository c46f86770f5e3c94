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
    std::vector<Event> events;
    void noteEvent(Event event) override { events.push_back(event); }
    Log logged;  // "event details"
    void logEvent(const char* event, const LogDetails& details) override {
        logged.push_back(std::wstring(event, event + std::char_traits<char>::length(event)) + L" " +
                         details.text());
    }
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

TEST(CountdownSeconds, DoublesPerUnansweredActionUpToAnHour) {
    EXPECT_EQ(CountdownSeconds(60, 0), 60);
    EXPECT_EQ(CountdownSeconds(60, 1), 120);
    EXPECT_EQ(CountdownSeconds(60, 5), 1920);
    EXPECT_EQ(CountdownSeconds(60, 6), 3600);
    EXPECT_EQ(CountdownSeconds(60, 64), 3600);
    EXPECT_EQ(CountdownSeconds(0, 0), 0);
    EXPECT_EQ(CountdownSeconds(0, 3), 8);  // a zero countdown still backs off
    EXPECT_EQ(CountdownSeconds(5000, 2), 5000);
}

TEST_F(DropAlarmTest, CancelByMenuOrByAnAnswerAtTheFirstAndTheLastSecond) {
    auto settings = AlarmSettings(3, L"act");
    settings.cancelOnUp = true;
    for (int ticks : {0, 1, 3}) {
        for (bool byMenu : {true, false}) {
            log.clear();
            DropAlarm once(std::make_unique<FakeActions>(&log));
            once.setSettings(settings);
            once.onDropLimit();
            for (int i = 0; i < ticks; ++i) once.onCountdownTick();
            if (byMenu) {
                EXPECT_TRUE(once.cancelCountdown());
            } else {
                once.onProbeResult(true, 0);
            }
            EXPECT_EQ(log.back(), L"resume") << ticks << byMenu;
            EXPECT_EQ(log[log.size() - 2], L"green 准备中...");
            EXPECT_EQ(once.stage(), DropAlarm::Stage::Monitoring);
            // Nothing runs, and a stray tick changes nothing.
            once.onCountdownTick();
            for (const auto& line : log) EXPECT_NE(line.rfind(L"run ", 0), 0u) << line;
            EXPECT_FALSE(once.cancelCountdown());
        }
    }
    // Without "cancelonup" an answer during the countdown is ignored.
    alarm->setSettings(AlarmSettings(3, L"act"));
    alarm->onDropLimit();
    alarm->onProbeResult(true, 0);
    EXPECT_EQ(alarm->stage(), DropAlarm::Stage::CountingDown);
}

TEST_F(DropAlarmTest, RearmDoublesTheCountdownUntilAnAnswerAndRunsTheRecoveryCommandOnce) {
    auto settings = AlarmSettings(2, L"restart-nic");
    settings.rearm = true;
    settings.commandUp = L"up.cmd";
    alarm->setSettings(settings);
    // An outage below the limit runs no recovery command.
    alarm->onProbeResult(false, 1);
    alarm->onProbeResult(true, 0);
    auto countdownShown = [&] {
        log.clear();
        alarm->onDropLimit();
        std::wstring first;
        while (alarm->stage() == DropAlarm::Stage::CountingDown) {
            alarm->onCountdownTick();
            if (first.empty()) first = log.back();
        }
        return first;
    };
    EXPECT_EQ(countdownShown(), L"red 倒数关机：2");
    EXPECT_EQ(log.back(), L"resume");
    EXPECT_EQ(alarm->stage(), DropAlarm::Stage::Monitoring);
    alarm->onProbeResult(false, 1);
    EXPECT_EQ(countdownShown(), L"red 倒数关机：4");
    EXPECT_EQ(countdownShown(), L"red 倒数关机：8");
    // The first answer after the drop: the recovery command, once; the
    // countdown is back to its configured figure.
    log.clear();
    alarm->onProbeResult(true, 0);
    alarm->onProbeResult(true, 0);
    EXPECT_EQ(log,
              (Log{L"green 没掉线，OK！", L"start cmd.exe /c \"up.cmd\"", L"green 没掉线，OK！"}));
    EXPECT_EQ(countdownShown(), L"red 倒数关机：2");
    EXPECT_EQ(actions->ends, 0);
}

TEST_F(DropAlarmTest, RecoveryCommandAfterACancelByRecoveryAndNotAfterTheLastAction) {
    auto settings = AlarmSettings(5);
    settings.cancelOnUp = true;
    settings.commandUp = L"up.cmd";
    alarm->setSettings(settings);
    alarm->onDropLimit();
    alarm->onCountdownTick();
    alarm->onProbeResult(true, 0);
    EXPECT_EQ(log.back(), L"start cmd.exe /c \"up.cmd\"");

    // Without "rearm" the monitor ends after the action; no answer follows.
    log.clear();
    settings.cancelOnUp = false;
    alarm->setSettings(settings);
    alarm->onDropLimit();
    for (int i = 0; i < 6; ++i) alarm->onCountdownTick();
    alarm->onProbeResult(true, 0);
    EXPECT_EQ(log.back(), L"red 停止！");
    EXPECT_EQ(actions->ends, 1);
}

TEST_F(DropAlarmTest, WaitingForTheFirstAnswerAndTheGraceAfterAWakeAreShownRed) {
    alarm->onWaitingForAnswer(4);
    alarm->onGrace(37);
    EXPECT_EQ(log, (Log{L"red 等待应答：4", L"red 等待网络：37"}));
}

TEST_F(DropAlarmTest, ProbesThisSystemCannotSendAreShownRedAndWarnedInTheLog) {
    alarm->onProbeUnsupported(L"[::1]:80");
    alarm->onProbesUnsupported();
    EXPECT_EQ(log, (Log{L"red 不支持IPv6探测"}));
    ASSERT_EQ(actions->logged.size(), 1u);
    EXPECT_EQ(actions->logged[0], L"warning text=不支持IPv6探测：[::1]:80");
    // Never over the countdown.
    alarm->setSettings(AlarmSettings(5, L"act"));
    alarm->onDropLimit();
    log.clear();
    alarm->onProbesUnsupported();
    EXPECT_TRUE(log.empty());
}

TEST_F(DropAlarmTest, APauseCancelsTheCountdownAndHoldsItsTextUntilContinued) {
    alarm->setSettings(AlarmSettings(5, L"act"));
    alarm->onDropLimit();
    alarm->onCountdownTick();
    EXPECT_TRUE(alarm->pause(L"已暂停"));
    EXPECT_EQ(actions->events,
              (std::vector<AlarmActions::Event>{AlarmActions::Event::CancelledByPause}));
    // Reports that were on their way paint nothing over the pause, and no
    // drop starts.
    log.clear();
    alarm->onProbeResult(false, 3);
    alarm->onGrace(10);
    alarm->onDropLimit();
    for (int i = 0; i < 10; ++i) alarm->onCountdownTick();
    EXPECT_TRUE(log.empty());
    alarm->continueAfterPause();
    EXPECT_EQ(log, (Log{L"green 准备中..."}));
    alarm->onProbeResult(false, 1);
    EXPECT_EQ(log.back(), L"red 连续掉线：1");

    // A sleep cancels a countdown too; once the monitor has ended there is
    // nothing to pause.
    alarm->onDropLimit();
    EXPECT_TRUE(alarm->cancelCountdown(AlarmActions::Event::CancelledBySuspend));
    EXPECT_EQ(actions->events.back(), AlarmActions::Event::CancelledBySuspend);
    alarm->onDropLimit();
    for (int i = 0; i < 6; ++i) alarm->onCountdownTick();
    ASSERT_EQ(alarm->stage(), DropAlarm::Stage::Ended);
    EXPECT_FALSE(alarm->pause(L"已暂停"));
    EXPECT_FALSE(alarm->paused());
}

}  // namespace
}  // namespace vorlane
