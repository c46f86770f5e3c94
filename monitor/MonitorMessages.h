// The messages the monitor's worker posts to the window that owns it: the
// monitor's side of the contract, so that the monitor needs nothing from the
// window's code.
#pragma once

#include <windows.h>

namespace vorlane {

// lParam one of the kProbe values below; wParam the quickest answer's round
// trip in milliseconds, 0 when none answered.
constexpr UINT WM_PROBE_RESULT = WM_USER + 1;
constexpr UINT WM_MONITOR_ENDED = WM_USER + 2;  // same number as DM_REPOSITION
constexpr UINT WM_DROP_LIMIT = WM_USER + 3;
// wParam the index of a target whose lookup gave a new working text; the
// text is in MonitorController::targets().
constexpr UINT WM_TARGET_RESOLVED = WM_USER + 4;

constexpr LPARAM kProbeAnswered = 0;
constexpr LPARAM kProbeMissed = -1;
constexpr LPARAM kProbeWaiting = -2;  // missed before the first answer: not counted

}  // namespace vorlane
