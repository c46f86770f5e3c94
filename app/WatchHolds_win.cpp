#include "app/WatchHolds_win.h"

#include <algorithm>

#include "alarm/DropAlarm.h"
#include "app/RunRecord_win.h"
#include "framework/AppMessages.h"
#include "core/Trace.h"
#include "monitor/MonitorController.h"
#include "res/resource.h"

namespace vorlane {
namespace {

// The pause's timer looks again at least this often, so that a clock moved
// or a sleep through the pause's end is caught soon after.
constexpr std::int64_t kLongestPauseTimerMs = 60 * 1000;

// Milliseconds since 1601 by the system's clock, as FILETIME counts them.
std::int64_t WallMs() {
    FILETIME now;
    ::GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER value;
    value.LowPart = now.dwLowDateTime;
    value.HighPart = now.dwHighDateTime;
    return static_cast<std::int64_t>(value.QuadPart / 10000);
}

SYSTEMTIME LocalTimeOf(std::int64_t wallMs) {
    ULARGE_INTEGER value;
    value.QuadPart = static_cast<ULONGLONG>(wallMs) * 10000;
    FILETIME utc{value.LowPart, value.HighPart};
    FILETIME local;
    SYSTEMTIME time = {};
    if (::FileTimeToLocalFileTime(&utc, &local)) ::FileTimeToSystemTime(&local, &time);
    return time;
}

}  // namespace

WatchHolds::WatchHolds(HWND window, MonitorController& monitor, DropAlarm& alarm, RunRecord& record,
                       std::function<void()> endSession)
    : window_(window),
      monitor_(monitor),
      alarm_(alarm),
      record_(record),
      endSession_(std::move(endSession)) {}

WatchHolds::~WatchHolds() { ::KillTimer(window_, kPauseTimerId); }

bool WatchHolds::handle(UINT msg, WPARAM wParam, LPARAM /*lParam*/, LRESULT& result) {
    switch (msg) {
        case WM_POWERBROADCAST:
            if (wParam == PBT_APMSUSPEND) suspend();
            if (wParam == PBT_APMRESUMEAUTOMATIC || wParam == PBT_APMRESUMESUSPEND) resume();
            result = TRUE;
            return true;
        case WM_QUERYENDSESSION:
            // Never holds a log-off or a shutdown up.
            result = TRUE;
            return true;
        case WM_ENDSESSION:
            if (wParam) {
                Trace(L"power", L"session-end");
                alarm_.cancelCountdown(AlarmActions::Event::CancelledBySessionEnd);
                endSession_();
            }
            result = 0;
            return true;
        case WM_TIMER:
            if (wParam != kPauseTimerId) return false;
            if (pause_.expired(WallMs())) {
                continueWatching(L"time");
            } else {
                armPauseTimer();
            }
            result = 0;
            return true;
        default:
            return false;
    }
}

bool WatchHolds::command(int id) {
    switch (id) {
        case ID_PAUSE_15_MINUTES:
            pauseFor(kPauseChoiceMinutes[0]);
            return true;
        case ID_PAUSE_1_HOUR:
            pauseFor(kPauseChoiceMinutes[1]);
            return true;
        case ID_PAUSE_4_HOURS:
            pauseFor(kPauseChoiceMinutes[2]);
            return true;
        case ID_PAUSE_UNTIL_CONTINUED:
            pauseFor(kPauseChoiceMinutes[3]);
            return true;
        case ID_CONTINUE:
            continueWatching(L"menu");
            return true;
        default:
            return false;
    }
}

void WatchHolds::suspend() {
    if (!sleep_.suspend()) return;
    Trace(L"power", L"suspend");
    record_.hold("suspend");
    monitor_.suspend();
    alarm_.cancelCountdown(AlarmActions::Event::CancelledBySuspend);
}

void WatchHolds::resume() {
    if (!sleep_.resume(static_cast<std::int64_t>(::GetTickCount64()))) return;
    Trace(L"power", L"resume");
    record_.hold("resume", L"by", L"power");
    monitor_.resumeFromSleep();
    if (pause_.expired(WallMs())) continueWatching(L"time");
}

void WatchHolds::pauseFor(int minutes) {
    if (pause_.paused()) return;
    pause_.pauseFor(WallMs(), minutes);
    const SYSTEMTIME until = LocalTimeOf(pause_.untilMs());
    if (!alarm_.pause(PausedText(pause_.timed(), until.wHour, until.wMinute))) {
        pause_.end();
        return;
    }
    monitor_.pause();
    std::wstring when = L"continued";
    if (pause_.timed()) {
        when = PauseEndText(until.wYear, until.wMonth, until.wDay, until.wHour, until.wMinute);
    }
    Trace(L"power", L"pause\t" + when);
    record_.hold("pause", L"until", when);
    armPauseTimer();
}

void WatchHolds::continueWatching(const wchar_t* by) {
    if (!pause_.paused()) return;
    pause_.end();
    ::KillTimer(window_, kPauseTimerId);
    Trace(L"power", std::wstring(L"continue\t") + by);
    record_.hold("continue", L"by", by);
    monitor_.continueWatching();
    alarm_.continueAfterPause();
}

void WatchHolds::armPauseTimer() {
    if (!pause_.timed()) return;
    const std::int64_t wait = std::min(pause_.msLeft(WallMs()), kLongestPauseTimerMs);
    ::SetTimer(window_, kPauseTimerId, static_cast<UINT>(wait), nullptr);
}

}  // namespace vorlane
