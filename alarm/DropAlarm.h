// The drop alarm: shows every probe result and, once the worker reports the
// failure limit, runs the sequence sound, countdown, command line, end step.
// It runs on the UI thread only and reaches the platform through
// AlarmActions. Portable: no Windows types.
#pragma once

#include <memory>
#include <string>

#include "core/EventLog.h"
#include "settings/WorkingSettings.h"

namespace vorlane {

extern const wchar_t kDroppedText[];    // "连续掉线：" + the count
extern const wchar_t kOkText[];         // "没掉线，OK！"
extern const wchar_t kCountdownText[];  // "倒数关机：" + the seconds left
extern const wchar_t kRunningText[];    // "执行命令行..."
extern const wchar_t kStoppedText[];    // "停止！"

class AlarmActions {
  public:
    virtual ~AlarmActions() = default;
    // Sets the bar's text and redraws it with a red or green frame.
    virtual void showStatus(const std::wstring& text, bool red) = 0;
    // The short form of the alert sound's full path.
    virtual std::wstring soundPath() = 0;
    virtual bool fileExists(const std::wstring& path) = 0;
    // One media command string; its result is of no interest.
    virtual void sendSoundCommand(const std::wstring& command) = 0;
    virtual void startCountdownTimer() = 0;  // one tick a second
    virtual void stopCountdownTimer() = 0;
    // Runs the command and returns when it has ended; the UI stays live.
    virtual void runCommand(const std::wstring& command) = 0;
    virtual void performShutdown() = 0;
    // One line of the event log.
    virtual void logEvent(const char* /*event*/, const LogDetails& /*details*/) {}
};

// "cmd.exe /c " and the command line in double quotes, unchanged.
std::wstring BuildShellCommand(const std::wstring& commandLine);

class DropAlarm {
  public:
    enum class Stage { Monitoring, CountingDown, Acting, Ended };

    explicit DropAlarm(std::unique_ptr<AlarmActions> actions);

    // Every step reads the settings when it runs, so values confirmed during
    // the sequence take effect at their next use.
    void setSettings(const WorkingSettingsValues& values) { settings_ = values; }
    void onProbeResult(bool answered, int failureCount);
    // The sequence runs once; a second report changes nothing.
    void onDropLimit();
    void onCountdownTick();

    Stage stage() const { return stage_; }

  private:
    void playSound();
    void runAction();

    std::unique_ptr<AlarmActions> actions_;
    WorkingSettingsValues settings_;
    Stage stage_ = Stage::Monitoring;
    int countdownTicks_ = 0;
};

}  // namespace vorlane
