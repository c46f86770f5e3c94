// Running a command line while the UI thread stays responsive.
#include <vector>

#include "core/Core.h"
#include "framework/Application.h"
#include "framework/Handles.h"

namespace vorlane {

namespace {

// False with the system's error code in GetLastError when the command
// cannot be started.
bool StartHidden(const std::wstring& commandLine, PROCESS_INFORMATION& started) {
    // CreateProcessW may write into its command line, so it gets a copy.
    std::vector<wchar_t> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back(L'\0');
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    started = {};
    return ::CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                            nullptr, nullptr, &startup, &started) != FALSE;
}

}  // namespace

framework::UniqueHandle CCore::cmdStart(const std::wstring& commandLine) {
    PROCESS_INFORMATION started;
    if (!StartHidden(commandLine, started)) return framework::UniqueHandle();
    ::CloseHandle(started.hThread);
    return framework::UniqueHandle(started.hProcess);
}

CommandOutcome CCore::cmdWait(const std::wstring& commandLine) {
    CommandOutcome outcome;
    PROCESS_INFORMATION started;
    const ULONGLONG startMs = ::GetTickCount64();
    if (!StartHidden(commandLine, started)) {
        outcome.error = ::GetLastError();
        return outcome;
    }
    framework::UniqueHandle process(started.hProcess);
    framework::UniqueHandle thread(started.hThread);

    for (;;) {
        HANDLE waitFor = process.get();
        const DWORD woke = ::MsgWaitForMultipleObjects(1, &waitFor, FALSE, INFINITE, QS_ALLINPUT);
        if (woke != WAIT_OBJECT_0 + 1) {  // the command ended, or the wait failed
            outcome.durationMs = ::GetTickCount64() - startMs;
            outcome.kind =
                woke == WAIT_OBJECT_0 && ::GetExitCodeProcess(process.get(), &outcome.exitCode)
                    ? CommandOutcome::Kind::Ended
                    : CommandOutcome::Kind::StillRunning;
            return outcome;
        }
        // The wait reports only input that arrived since the last look, so
        // the queue is emptied each time.
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                // Exit: leave the command running and let the main loop end.
                ::PostQuitMessage(static_cast<int>(msg.wParam));
                outcome.kind = CommandOutcome::Kind::StillRunning;
                outcome.durationMs = ::GetTickCount64() - startMs;
                return outcome;
            }
            if (filter_ && filter_->PreTranslateMessage(msg)) continue;
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
}

}  // namespace vorlane
