// "Vorlane.exe /service": the entry the service manager starts. Connects to
// the manager, answers its controls (stop and system shutdown end the run at
// once; anything else is answered and changes nothing) and runs the
// service (ServiceRun_win.h) on the thread the manager gives it.
#pragma once

#include <windows.h>

namespace vorlane {

// The process's exit code. Started by anything but the service manager, it
// says so and ends.
int RunService(HINSTANCE instance);

}  // namespace vorlane
