#include "service/ServiceControl_win.h"

#include <string>

#include "framework/Handles.h"
#include "service/ServiceNames.h"

namespace vorlane {
namespace {

// The service manager keeps a key for each service it holds. Reading it is
// far cheaper than asking the manager (under Wine a call to another
// process), and every start of the desktop program asks: only a key found
// is worth the question.
bool Registered() {
    HKEY key = nullptr;
    const std::wstring path = std::wstring(L"SYSTEM\\CurrentControlSet\\Services\\") + kServiceName;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_QUERY_VALUE, &key) !=
        ERROR_SUCCESS) {
        return false;
    }
    const framework::UniqueHkey owned(key);
    return true;
}

framework::UniqueScHandle OpenOurs(DWORD access) {
    if (!Registered()) return framework::UniqueScHandle();
    framework::UniqueScHandle manager(::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
    if (!manager) return framework::UniqueScHandle();
    return framework::UniqueScHandle(::OpenServiceW(manager.get(), kServiceName, access));
}

bool QueryStatus(SC_HANDLE service, SERVICE_STATUS_PROCESS& status) {
    DWORD needed = 0;
    return ::QueryServiceStatusEx(service, SC_STATUS_PROCESS_INFO, reinterpret_cast<BYTE*>(&status),
                                  sizeof(status), &needed) != FALSE;
}

// Polls until the state is `wanted` or no longer `pending`; 0, the service's
// exit code when it stopped instead, or ERROR_TIMEOUT.
DWORD WaitFor(SC_HANDLE service, DWORD wanted, DWORD pending, DWORD timeoutMs) {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    for (;;) {
        SERVICE_STATUS_PROCESS status = {};
        if (!QueryStatus(service, status)) return ::GetLastError();
        if (status.dwCurrentState == wanted) return 0;
        if (status.dwCurrentState != pending) {
            if (status.dwWin32ExitCode == ERROR_SERVICE_SPECIFIC_ERROR) {
                return status.dwServiceSpecificExitCode ? status.dwServiceSpecificExitCode
                                                        : ERROR_SERVICE_SPECIFIC_ERROR;
            }
            return status.dwWin32ExitCode ? status.dwWin32ExitCode : ERROR_SERVICE_REQUEST_TIMEOUT;
        }
        if (::GetTickCount64() >= deadline) return ERROR_TIMEOUT;
        ::Sleep(100);
    }
}

}  // namespace

bool ServiceInstalled() { return static_cast<bool>(OpenOurs(SERVICE_QUERY_STATUS)); }

DWORD RunningServiceProcess() {
    framework::UniqueScHandle service = OpenOurs(SERVICE_QUERY_STATUS);
    SERVICE_STATUS_PROCESS status = {};
    if (!service || !QueryStatus(service.get(), status)) return 0;
    return status.dwCurrentState == SERVICE_RUNNING ? status.dwProcessId : 0;
}

DWORD StopAndWait(SC_HANDLE service, DWORD timeoutMs) {
    SERVICE_STATUS_PROCESS status = {};
    if (!QueryStatus(service, status)) return ::GetLastError();
    if (status.dwCurrentState == SERVICE_STOPPED) return 0;
    if (status.dwCurrentState != SERVICE_STOP_PENDING) {
        SERVICE_STATUS ignored = {};
        if (!::ControlService(service, SERVICE_CONTROL_STOP, &ignored)) {
            const DWORD error = ::GetLastError();
            if (error != ERROR_SERVICE_NOT_ACTIVE) return error;
        }
    }
    const DWORD waited = WaitFor(service, SERVICE_STOPPED, SERVICE_STOP_PENDING, timeoutMs);
    return waited == ERROR_TIMEOUT ? waited : 0;
}

DWORD StartAndWait(SC_HANDLE service, DWORD timeoutMs) {
    if (!::StartServiceW(service, 0, nullptr)) {
        const DWORD error = ::GetLastError();
        if (error != ERROR_SERVICE_ALREADY_RUNNING) return error;
    }
    return WaitFor(service, SERVICE_RUNNING, SERVICE_START_PENDING, timeoutMs);
}

}  // namespace vorlane
