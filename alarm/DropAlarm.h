// The drop alarm: shows every probe result and, once the worker reports the
// failure limit, runs the sequence sound, countdown, command line, end step.
// The countdown can be cancelled (by the menu, or by an answer with
// "cancelonup"); with "rearm" the monitor watches again after the action,
// and the recovery command runs once when answers come back after a drop.
// It runs on the UI thread only and reaches the platform through
// AlarmActions. Portable: no Windows types.
#pragma once

#include <memory>
#include <string>

#include "core/EventLog.h"
#include "core/WorkingSettings.h"

namespace vorlane {

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
    // Starts the command and returns at once.
    virtual void startCommand(const std::wstring& command) = 0;
    virtual void performShutdown() = 0;
    // One line of the event log.
    virtual void logEvent(const char* /*event*/, const LogDetails& /*details*/) {}
    // The monitor counts again from zero, as after a fresh start.
    virtual void resumeMonitor() = 0;
    // No more probes: the last action has run.
    virtual void endMonitor() = 0;

    enum class Event {
        CancelledByMenu,
        CancelledByRecovery,
        CancelledBySuspend,
        CancelledBySessionEnd,
        CancelledByPause,
        CancelledByServiceStop,
        Rearmed,
        RecoveryCommand,
    };
    // For the trace and the event log; changes nothing.
    virtual void noteEvent(Event event) = 0;
};

// Seconds counted down before the action: the configured figure, doubled for
// every action that no answer has followed (from at least 1 s), never above
// 3600 s unless the configured figure itself is.
int CountdownSeconds(int configured, int unansweredActions);

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
    // "armfirst": no target has answered yet, and misses do not count.
    void onWaitingForAnswer(int probesSent);
    // Soon after a wake no target has answered yet, and misses do not count
    // for `secondsLeft` more seconds.
    void onGrace(int secondsLeft);
    // No target could be probed: each is an echo to an IPv6 address and this
    // system cannot send one. Red, and nothing counts.
    void onProbesUnsupported();
    // Target `typed` (as typed) is left out of every cycle for that reason:
    // a "warning" in the event log, whatever the bar shows.
    void onProbeUnsupported(const std::wstring& typed);
    // The sequence runs once per drop; a second report changes nothing.
    void onDropLimit();
    void onCountdownTick();
    // Stops a countdown without acting: by default the menu's "取消倒计时";
    // also a sleep, the end of the session or a pause. False when no
    // countdown was running.
    bool cancelCountdown(AlarmActions::Event by = AlarmActions::Event::CancelledByMenu);
    // The pause: a running countdown is cancelled and `text` shown until
    // continued; reports that come meanwhile change nothing. False (and
    // nothing done) once the monitor has ended or while a command runs.
    bool pause(const std::wstring& text);
    void continueAfterPause();
    bool paused() const { return paused_; }

    Stage stage() const { return stage_; }

  private:
    void playSound();
    void runAction();
    void restartMonitoring();
    // Any answer: the outage is over.
    void noteAnswer();

    std::unique_ptr<AlarmActions> actions_;
    WorkingSettingsValues settings_;
    Stage stage_ = Stage::Monitoring;
    int countdownTicks_ = 0;
    // Actions since the last answer, and their number when this countdown
    // began.
    int unansweredActions_ = 0;
    int doublings_ = 0;
    // The drop limit was reached and no answer has come since.
    bool dropReached_ = false;
    bool paused_ = false;
};

}  // namespace vorlane
