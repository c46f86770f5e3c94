#include "alarm/DropAlarm.h"

#include "core/Digits.h"
#include "core/Texts.h"
#include "res/resource.h"

namespace vorlane {

namespace {

// The short form of a path has no blanks; where the volume keeps no short
// names the long form comes back, and a media command needs it quoted.
std::wstring MediaName(const std::wstring& path) {
    if (path.find(L' ') == std::wstring::npos) return path;
    return L"\"" + path + L"\"";
}

constexpr int kLongestDoubledCountdown = 3600;

}  // namespace

int CountdownSeconds(int configured, int unansweredActions) {
    if (unansweredActions <= 0) return configured;
    long long seconds = configured < 1 ? 1 : configured;
    for (int i = 0; i < unansweredActions && seconds < kLongestDoubledCountdown; ++i) seconds *= 2;
    if (seconds > kLongestDoubledCountdown) seconds = kLongestDoubledCountdown;
    return configured > seconds ? configured : static_cast<int>(seconds);
}

std::wstring BuildShellCommand(const std::wstring& commandLine) {
    return L"cmd.exe /c \"" + commandLine + L"\"";
}

DropAlarm::DropAlarm(std::unique_ptr<AlarmActions> actions) : actions_(std::move(actions)) {}

void DropAlarm::onProbeResult(bool answered, int failureCount) {
    if (paused_) return;
    if (stage_ == Stage::CountingDown && answered && settings_.cancelOnUp) {
        actions_->stopCountdownTimer();
        actions_->noteEvent(AlarmActions::Event::CancelledByRecovery);
        restartMonitoring();
        noteAnswer();
        return;
    }
    // A late report, or one probed during the countdown, must not paint
    // over the sequence.
    if (stage_ != Stage::Monitoring) return;
    if (answered) {
        actions_->showStatus(Text(IDS_ONLINE), false);
        noteAnswer();
    } else {
        actions_->showStatus(Text(IDS_DROPPED, {Decimal(failureCount)}), true);
    }
}

void DropAlarm::noteAnswer() {
    unansweredActions_ = 0;
    if (!dropReached_) return;
    dropReached_ = false;
    if (settings_.commandUp.empty()) return;
    actions_->noteEvent(AlarmActions::Event::RecoveryCommand);
    actions_->startCommand(BuildShellCommand(settings_.commandUp));
}

bool DropAlarm::cancelCountdown(AlarmActions::Event by) {
    if (stage_ != Stage::CountingDown) return false;
    actions_->stopCountdownTimer();
    actions_->noteEvent(by);
    restartMonitoring();
    return true;
}

bool DropAlarm::pause(const std::wstring& text) {
    if (stage_ == Stage::Acting || stage_ == Stage::Ended) return false;
    cancelCountdown(AlarmActions::Event::CancelledByPause);
    paused_ = true;
    actions_->showStatus(text, true);
    return true;
}

void DropAlarm::continueAfterPause() {
    if (!paused_) return;
    paused_ = false;
    actions_->showStatus(Text(IDS_PREPARING), false);
}

void DropAlarm::restartMonitoring() {
    stage_ = Stage::Monitoring;
    actions_->showStatus(Text(IDS_PREPARING), false);
    actions_->resumeMonitor();
}

void DropAlarm::onWaitingForAnswer(int probesSent) {
    if (stage_ != Stage::Monitoring || paused_) return;
    // Red: the machine is not being watched yet.
    actions_->showStatus(Text(IDS_WAITING, {Decimal(probesSent)}), true);
}

void DropAlarm::onGrace(int secondsLeft) {
    if (stage_ != Stage::Monitoring || paused_) return;
    // Red, as while waiting for the first answer: misses do not count yet.
    actions_->showStatus(Text(IDS_GRACE, {Decimal(secondsLeft)}), true);
}

void DropAlarm::onProbesUnsupported() {
    if (stage_ != Stage::Monitoring || paused_) return;
    // Red: nothing is being watched.
    actions_->showStatus(Text(IDS_UNSUPPORTED), true);
}

void DropAlarm::onProbeUnsupported(const std::wstring& typed) {
    actions_->logEvent("warning", LogDetails().add(L"text", Text(IDS_UNSUPPORTED_TARGET, {typed})));
}

void DropAlarm::onDropLimit() {
    if (stage_ != Stage::Monitoring || paused_) return;
    stage_ = Stage::CountingDown;
    actions_->logEvent("drop", LogDetails().add(L"limit", settings_.tryTimes));
    dropReached_ = true;
    doublings_ = unansweredActions_;
    if (settings_.playSound) playSound();
    const int seconds = CountdownSeconds(settings_.countdown, doublings_);
    if (seconds < 1) {
        runAction();
        return;
    }
    actions_->logEvent("countdown", LogDetails().add(L"seconds", seconds));
    countdownTicks_ = 0;
    actions_->startCountdownTimer();
}

void DropAlarm::playSound() {
    const std::wstring path = actions_->soundPath();
    // Without the file the alarm goes on silently: the countdown and the
    // command line matter more than the sound.
    if (!actions_->fileExists(path)) return;
    const std::wstring name = MediaName(path);
    actions_->sendSoundCommand(L"close all");
    actions_->sendSoundCommand(L"open " + name);
    actions_->sendSoundCommand(L"play " + name);
}

void DropAlarm::onCountdownTick() {
    if (stage_ != Stage::CountingDown) return;
    const int countdown = CountdownSeconds(settings_.countdown, doublings_);
    if (countdownTicks_ < countdown) {
        actions_->showStatus(Text(IDS_COUNTDOWN, {Decimal(countdown - countdownTicks_)}), true);
        ++countdownTicks_;
        return;
    }
    actions_->stopCountdownTimer();
    runAction();
}

void DropAlarm::runAction() {
    stage_ = Stage::Acting;
    if (!settings_.commandLine.empty()) {
        actions_->showStatus(Text(IDS_RUNNING), true);
        actions_->runCommand(BuildShellCommand(settings_.commandLine));
    }
    // Read after the command: the settings may have been confirmed while it
    // ran.
    if (settings_.rearm) {
        if (unansweredActions_ < 64) ++unansweredActions_;
        if (settings_.shutDown) actions_->performShutdown();
        actions_->noteEvent(AlarmActions::Event::Rearmed);
        restartMonitoring();
        return;
    }
    stage_ = Stage::Ended;
    actions_->endMonitor();
    if (settings_.shutDown) {
        actions_->performShutdown();
        return;
    }
    actions_->showStatus(Text(IDS_STOPPED), true);
}

}  // namespace vorlane
