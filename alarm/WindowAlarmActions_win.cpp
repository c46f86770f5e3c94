#include "alarm/WindowAlarmActions_win.h"

#include <mmsystem.h>

#include "core/Core.h"
#include "core/EventLog_win.h"
#include "core/Trace.h"

namespace vorlane {

WindowAlarmActions::WindowAlarmActions(HWND window, UINT_PTR timerId, std::wstring appPath,
                                       ShowStatus show)
    : window_(window), timerId_(timerId), appPath_(std::move(appPath)), show_(std::move(show)) {}

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

}  // namespace vorlane
