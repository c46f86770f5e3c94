#include "app/ServiceMain_win.h"

#include <atomic>

#include "core/Digits.h"
#include "core/Trace.h"
#include "framework/AppMessages.h"
#include "service/ServiceNames.h"
#include "app/ServiceRun_win.h"
#include "app/UiLanguage_win.h"
#include "core/Texts.h"
#include "res/resource.h"

namespace vorlane {
namespace {

// The manager's limits: a stop has to be under way within this, and is
// reported done well before the system's shutdown time-out.
constexpr DWORD kStopWaitHintMs = 5000;
constexpr DWORD kStartWaitHintMs = 10000;

HINSTANCE theInstance = nullptr;

// What the control handler and the service's thread share. The handler runs
// on the process's main thread, the run on the manager's thread for it.
struct ServiceState {
    SERVICE_STATUS_HANDLE handle = nullptr;
    SERVICE_STATUS status = {};
    // The run's window, while it takes messages: a stop is posted to it.
    std::atomic<HWND> window{nullptr};
    SRWLOCK lock = SRWLOCK_INIT;

    void report(DWORD state, DWORD exitCode, DWORD waitHintMs) {
        AcquireSRWLockExclusive(&lock);
        status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
        status.dwCurrentState = state;
        status.dwControlsAccepted =
            state == SERVICE_RUNNING
                ? SERVICE_ACCEPT_STOP | SERVICE_ACCEPT_SHUTDOWN | SERVICE_ACCEPT_POWEREVENT
                : 0;
        status.dwWin32ExitCode = exitCode == 0 ? NO_ERROR : ERROR_SERVICE_SPECIFIC_ERROR;
        status.dwServiceSpecificExitCode = exitCode;
        status.dwWaitHint = waitHintMs;
        status.dwCheckPoint =
            state == SERVICE_RUNNING || state == SERVICE_STOPPED ? 0 : status.dwCheckPoint + 1;
        ::SetServiceStatus(handle, &status);
        ReleaseSRWLockExclusive(&lock);
    }
};

ServiceState theService;

DWORD WINAPI OnControl(DWORD control, DWORD eventType, void*, void*) {
    switch (control) {
        case SERVICE_CONTROL_STOP:
        case SERVICE_CONTROL_SHUTDOWN:
            if (!theService.window) return NO_ERROR;
            theService.report(SERVICE_STOP_PENDING, 0, kStopWaitHintMs);
            ::PostMessageW(
                theService.window, WM_SERVICE_STOP,
                control == SERVICE_CONTROL_SHUTDOWN ? kServiceStopShutdown : kServiceStopAsked, 0);
            return NO_ERROR;
        case SERVICE_CONTROL_POWEREVENT:
            // Sleep and wake reach a service here, not as a broadcast: the
            // run takes them as the desktop program's window does.
            if (theService.window) {
                ::PostMessageW(theService.window, WM_POWERBROADCAST, eventType, 0);
            }
            return NO_ERROR;
        case SERVICE_CONTROL_INTERROGATE:
            return NO_ERROR;
        default:
            return ERROR_CALL_NOT_IMPLEMENTED;
    }
}

void WINAPI ServiceMain(DWORD, wchar_t**) {
    ServiceRun run(theInstance, [] { theService.report(SERVICE_RUNNING, 0, 0); });
    // The window first: the handler posts the stop to it.
    const bool made = run.create();
    theService.window = run.window();
    theService.handle = ::RegisterServiceCtrlHandlerExW(kServiceName, OnControl, nullptr);
    if (!theService.handle) return;
    if (!made) {
        theService.report(SERVICE_STOPPED, kServiceCannotStart, 0);
        return;
    }
    theService.report(SERVICE_START_PENDING, 0, kStartWaitHintMs);
    const DWORD exitCode = run.run();
    Trace(L"service", L"stopped\t" + Decimal(exitCode));
    theService.window = nullptr;
    theService.report(SERVICE_STOPPED, exitCode, 0);
}

}  // namespace

int RunService(HINSTANCE instance) {
    theInstance = instance;
    SERVICE_TABLE_ENTRYW table[] = {{const_cast<wchar_t*>(kServiceName), ServiceMain},
                                    {nullptr, nullptr}};
    if (::StartServiceCtrlDispatcherW(table)) return 0;
    const DWORD error = ::GetLastError();
    Trace(L"service", L"no-service-manager\t" + Decimal(error));
    // Said in the user's language: no settings file is read for it.
    UseLanguage(std::wstring());
    ::MessageBoxW(nullptr, Text(IDS_SERVICE_ONLY_FOR_MANAGER).c_str(), L"Vorlane",
                  MB_OK | MB_ICONWARNING);
    return static_cast<int>(error);
}

}  // namespace vorlane
