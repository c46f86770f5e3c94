#include "alarm/WindowAlarmActions_win.h"

#include <mmsystem.h>

#include "core/Core.h"
#include "core/EventLog_win.h"
#include "core/Trace.h"

namespace vorlane {

WindowAlarmActions::WindowAlarmActions(HWND window, UINT_PTR timerId, std::wstring appPath,
                                       ShowStatus show, MonitorHooks monitor)
    : window_(window),
      timerId_(timerId),
      appPath_(std::move(appPath)),
      show_(std::move(show)),
      monitor_(std::move(monitor)),
      started_(window, WM_STARTED_COMMAND_ENDED) {}

std::wstring WindowAlarmActions::soundPath() {
    return theCore->getPathShort(appPath_ + L"alert.wav");
}

bool WindowAlarmActions::fileExists(const std::wstring& path) {
    return theCore->isFileExist(path) != FALSE;
}

void WindowAlarmActions::sendSoundCommand(const std::wstring& command) {
    Trace(L"sound", command);
    // Results are of no interest: without a sound device the alarm goes on
    // all the same.
    if (command == L"close all") {
        ::mciSendStringW(command.c_str(), nullptr, 0, nullptr);
        return;
    }
    wchar_t reply[256] = {};
    ::mciSendStringW(command.c_str(), reply, 256, nullptr);
}

void WindowAlarmActions::startCountdownTimer() { ::SetTimer(window_, timerId_, 1000, nullptr); }

void WindowAlarmActions::stopCountdownTimer() { ::KillTimer(window_, timerId_); }

void WindowAlarmActions::runCommand(const std::wstring& command) {
    Trace(L"run", command);
    // On the disk before the command starts: a command that powers the
    // machine off still leaves its line.
    ProgramLog().write("run", LogDetails().add(L"command", command), true);
    const CommandOutcome outcome = theCore->cmdWait(command);
    LogDetails details;
    switch (outcome.kind) {
        case CommandOutcome::Kind::Ended:
            details.add(L"code", static_cast<long long>(outcome.exitCode));
            break;
        case CommandOutcome::Kind::NotStarted:
            details.add(L"error", SystemErrorText(outcome.error));
            break;
        case CommandOutcome::Kind::StillRunning:
            details.add(L"code", L"still running at exit");
            break;
    }
    details.addSeconds(L"duration", static_cast<long long>(outcome.durationMs));
    ProgramLog().write("ran", details);
}

void WindowAlarmActions::performShutdown() { ProgramLog().write("shutdown-step"); }

void WindowAlarmActions::logEvent(const char* event, const LogDetails& details) {
    ProgramLog().write(event, details);
}

void WindowAlarmActions::startCommand(const std::wstring& command) {
    Trace(L"run-up", command);
    // On the disk first, as for "run"; "ranup" follows when it ends.
    ProgramLog().write("runup", LogDetails().add(L"command", command), true);
    framework::UniqueHandle process = theCore->cmdStart(command);
    if (!process) {
        ProgramLog().write("ranup", LogDetails().add(L"error", SystemErrorText(::GetLastError())));
        return;
    }
    started_.watch(std::move(process));
}

void WindowAlarmActions::resumeMonitor() {
    Trace(L"monitor", L"resume");
    monitor_.resume();
}

void WindowAlarmActions::endMonitor() {
    Trace(L"monitor", L"end");
    monitor_.end();
}

namespace {

// The log's word for what cancelled a countdown; null for an event that is
// no cancel.
const wchar_t* CancelledBy(AlarmActions::Event event) {
    switch (event) {
        case AlarmActions::Event::CancelledByMenu:
            return L"menu";
        case AlarmActions::Event::CancelledByRecovery:
            return L"recovery";
        case AlarmActions::Event::CancelledBySuspend:
            return L"suspend";
        case AlarmActions::Event::CancelledBySessionEnd:
            return L"session-end";
        case AlarmActions::Event::CancelledByPause:
            return L"pause";
        case AlarmActions::Event::CancelledByServiceStop:
            return L"service-stop";
        default:
            return nullptr;
    }
}

}  // namespace

void WindowAlarmActions::noteEvent(Event event) {
    if (const wchar_t* by = CancelledBy(event)) {
        Trace(L"alarm", std::wstring(L"cancelled-by-") + by);
        ProgramLog().write("cancel", LogDetails().add(L"by", by));
        return;
    }
    if (event == Event::Rearmed) {
        Trace(L"alarm", L"rearmed");
        ProgramLog().write("rearm");
    } else if (event == Event::RecoveryCommand) {
        Trace(L"alarm", L"recovery-command");
    }
}

}  // namespace vorlane
