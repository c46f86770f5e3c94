// The service as the service manager knows it: installed or not, running or
// not (and in which process), and stopping or starting it with a wait.
#pragma once

#include <windows.h>

#include "framework/Handles.h"

namespace vorlane {

// Registered with the service manager (whatever its state).
bool ServiceInstalled();
// Running, and the process that runs it (0 when not running).
DWORD RunningServiceProcess();

// Stops the service and waits until it has stopped; 0 or the system's error
// code (ERROR_TIMEOUT after `timeoutMs`). A service that is not running is
// no error.
DWORD StopAndWait(SC_HANDLE service, DWORD timeoutMs);
// Starts the service and waits until it runs; 0 or the system's error code,
// or the service's own exit code when it stopped at once.
DWORD StartAndWait(SC_HANDLE service, DWORD timeoutMs);

}  // namespace vorlane
