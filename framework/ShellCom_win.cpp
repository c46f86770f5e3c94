#include "framework/ShellCom.h"

#include <windows.h>
#include <objbase.h>

namespace framework {
namespace {

// Only the UI thread comes here, so a plain flag will do.
bool begun = false;

}  // namespace

void BeginShellCom() {
    if (begun) return;
    begun = SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
}

void EndShellCom() {
    if (!begun) return;
    ::CoUninitialize();
    begun = false;
}

}  // namespace framework
