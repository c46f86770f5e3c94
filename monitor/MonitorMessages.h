// The messages the monitor's worker posts to the window that owns it: the
// monitor's side of the contract, so that the monitor needs nothing from the
// window's code.
#pragma once

#include <windows.h>

namespace vorlane {

constexpr UINT WM_PROBE_RESULT = WM_USER + 1;   // lParam 0 answered, -1 not
constexpr UINT WM_MONITOR_ENDED = WM_USER + 2;  // same number as DM_REPOSITION
constexpr UINT WM_DROP_LIMIT = WM_USER + 3;

}  // namespace vorlane
