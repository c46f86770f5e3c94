// Every message the program posts to its own windows, in one place so that no
// two share a number. All are WM_APP-based: WM_USER-based numbers are the
// dialog manager's (DM_SETDEFID, DM_REPOSITION) on windows that are dialogs.
// Each id says which layer posts it and what its parameters carry.
#pragma once

#include <windows.h>

namespace vorlane {

// app/: posted by the App to its own window at the end of its start, so
// that a benchmark runs on the shown bar. No parameters.
constexpr UINT WM_RUN_BENCHMARK = WM_APP + 1;

// alarm/: a command started without waiting for it (the recovery command)
// has ended. wParam its exit code, lParam how long it ran in milliseconds.
constexpr UINT WM_STARTED_COMMAND_ENDED = WM_APP + 2;

// monitor/: one cycle's result. lParam one of the kProbe values below;
// wParam the quickest answer's round trip in milliseconds, 0 when none
// answered.
constexpr UINT WM_PROBE_RESULT = WM_APP + 3;
// monitor/: the worker has ended. No parameters.
constexpr UINT WM_MONITOR_ENDED = WM_APP + 4;
// monitor/: the drop limit was reached. No parameters.
constexpr UINT WM_DROP_LIMIT = WM_APP + 5;
// monitor/: wParam the index of a target whose lookup gave a new working
// text; the text is in MonitorController::targets().
constexpr UINT WM_TARGET_RESOLVED = WM_APP + 6;
// monitor/: wParam the index (in the order typed) of a target of a kind this
// system cannot probe (an echo to an IPv6 address without ICMPv6 echo); it is
// left out of every cycle. Posted once until the targets change. No lParam.
constexpr UINT WM_PROBE_UNSUPPORTED = WM_APP + 7;

// monitor/: wParam the index of a name target whose lookup again failed; its
// last good address is kept. Posted once until a lookup of it succeeds.
constexpr UINT WM_LOOKUP_FAILED = WM_APP + 8;
// monitor/: the clocks jumped without a power message, and the worker took it
// as a wake. No parameters.
constexpr UINT WM_CLOCK_JUMPED = WM_APP + 9;

// app/: posted by the bar's drawing to the bar's window after a redraw that
// foresaw the next picture, which is drawn when the message comes. No
// parameters.
constexpr UINT WM_DRAW_AHEAD = WM_APP + 10;

// app/: the notification-area icon's callback (Shell_NotifyIcon's
// uCallbackMessage). wParam the icon's id, lParam the mouse message
// (WM_LBUTTONUP, WM_RBUTTONUP, ...) or NIN_ notice. Kept apart from the
// numbers above so that the other layers' ids can grow.
constexpr UINT WM_TRAY_CALLBACK = WM_APP + 32;

// service/: numbered apart from the others, from WM_APP + 40 on.
// The service manager asked the service to stop (posted from its control
// handler's thread). wParam a kServiceStop value.
constexpr UINT WM_SERVICE_STOP = WM_APP + 40;
constexpr WPARAM kServiceStopAsked = 0;
constexpr WPARAM kServiceStopShutdown = 1;
// service/: the view's pipe reader has a new state of the service
// (ServiceViewClient::latest()). No parameters.
constexpr UINT WM_VIEW_STATE = WM_APP + 41;
// service/: the view's pipe reader lost the service, or could not reach it.
// No parameters.
constexpr UINT WM_VIEW_LOST = WM_APP + 42;

// The timers of the App's and the service's own windows, in one place so that
// no two share an id on one window.
constexpr UINT_PTR kCountdownTimerId = 1;  // alarm/: the countdown's second
constexpr UINT_PTR kPauseTimerId = 2;      // app/: the end of a pause
constexpr UINT_PTR kReloadTimerId = 3;     // app/: the service reads its settings again

constexpr LPARAM kProbeAnswered = 0;
constexpr LPARAM kProbeMissed = -1;
constexpr LPARAM kProbeWaiting = -2;  // missed before the first answer: not counted
// Missed soon after a wake: not counted; the seconds of grace left are in
// MonitorController::graceSecondsLeft().
constexpr LPARAM kProbeGrace = -3;
// Answered, but after a drop too few answers in a row to end the outage.
constexpr LPARAM kProbeRecovering = -4;
// No target could be probed: every one is of a kind this system cannot probe.
// Not counted.
constexpr LPARAM kProbeUnsupported = -5;

}  // namespace vorlane
