// The Run value in the registry (see RunAtLogon.h).
#pragma once

#include <windows.h>

namespace vorlane {

// True when HKCU\...\Run holds the value Vorlane and it starts this exe.
bool RunAtLogonIsSet();

// On: writes the value for this exe. Off: removes it when it starts this
// exe; a value that starts another copy is left alone. Returns 0 or the
// system's error code.
DWORD SetRunAtLogon(bool on);

}  // namespace vorlane
