// The names the service goes by: the one place each is spelt.
#pragma once

namespace vorlane {

// The service, and the Event Log source of the same name.
constexpr wchar_t kServiceName[] = L"Vorlane";
constexpr wchar_t kServiceDisplayName[] = L"Vorlane 网络监测";
constexpr wchar_t kEventSourceKey[] =
    L"SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\Vorlane";
// The pipe on which the service tells the views its state (PipeMessage.h).
constexpr wchar_t kViewPipeName[] = L"\\\\.\\pipe\\Vorlane-service-view";

// After a failure the service manager starts the service again after
// kRestartDelayMs, up to kRestarts times in a row; a day without one counts
// them from zero again.
constexpr unsigned kRestartDelayMs = 10000;
constexpr unsigned kRestarts = 3;
constexpr unsigned kRestartCountResetSeconds = 24 * 60 * 60;

}  // namespace vorlane
