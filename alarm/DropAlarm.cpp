#include "alarm/DropAlarm.h"

namespace vorlane {

const wchar_t kDroppedText[] = L"连续掉线：";
const wchar_t kOkText[] = L"没掉线，OK！";
const wchar_t kCountdownText[] = L"倒数关机：";
const wchar_t kRunningText[] = L"执行命令行...";
const wchar_t kStoppedText[] = L"停止！";

namespace {

// The short form of a path has no blanks; where the volume keeps no short
// names the long form comes back, and a media command needs it quoted.
std::wstring MediaName(const std::wstring& path) {
    if (path.find(L' ') == std::wstring::npos) return path;
    return L"\"" + path + L"\"";
}

}  // namespace

std::wstring BuildShellCommand(const std::wstring& commandLine) {
    return L"cmd.exe /c \"" + commandLine + L"\"";
}

DropAlarm::DropAlarm(std::unique_ptr<AlarmActions> actions) : actions_(std::move(actions)) {}

void DropAlarm::onProbeResult(bool answered, int failureCount) {
    // Nothing is probed after the limit; a late report must not paint over
    // the sequence.
    if (stage_ != Stage::Monitoring) return;
    if (answered) {
        actions_->showStatus(kOkText, false);
    } else {
        actions_->showStatus(kDroppedText + std::to_wstring(failureCount), true);
    }
}

void DropAlarm::onDropLimit() {
    if (stage_ != Stage::Monitoring) return;
    stage_ = Stage::CountingDown;
    actions_->logEvent("drop", LogDetails().add(L"limit", settings_.tryTimes));
    if (settings_.playSound) playSound();
    if (settings_.countdown < 1) {
        runAction();
        return;
    }
    actions_->logEvent("countdown", LogDetails().add(L"seconds", settings_.countdown));
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
    const int countdown = settings_.countdown;
    if (countdownTicks_ < countdown) {
        actions_->showStatus(kCountdownText + std::to_wstring(countdown - countdownTicks_), true);
        ++countdownTicks_;
        return;
    }
    actions_->stopCountdownTimer();
    runAction();
}

void DropAlarm::runAction() {
    stage_ = Stage::Acting;
    if (!settings_.commandLine.empty()) {
        actions_->showStatus(kRunningText, true);
        actions_->runCommand(BuildShellCommand(settings_.commandLine));
    }
    stage_ = Stage::Ended;
    // Read after the command: the settings may have been confirmed while it
    // ran.
    if (settings_.shutDown) {
        actions_->performShutdown();
        return;
    }
    actions_->showStatus(kStoppedText, true);
}

}  // namespace vorlane
