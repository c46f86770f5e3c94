// What holds the watch: the machine's sleep, a pause from the bar's menu and
// the end of the session. Turns the power and session messages and the
// pause's commands into calls on the monitor, the alarm and the record; the
// decisions are portable (monitor/ResumeGrace.h, alarm/PauseClock.h).
#pragma once

#include <windows.h>

#include <functional>

#include "alarm/PauseClock.h"
#include "monitor/ResumeGrace.h"

namespace vorlane {

class DropAlarm;
class MonitorController;
class RunRecord;

class WatchHolds {
  public:
    // `endSession` ends the run for a session that is ending: the monitor
    // stopped, the bar's place saved, the log's last line written.
    WatchHolds(HWND window, MonitorController& monitor, DropAlarm& alarm, RunRecord& record,
               std::function<void()> endSession);
    // Stops the pause's timer.
    ~WatchHolds();
    WatchHolds(const WatchHolds&) = delete;
    WatchHolds& operator=(const WatchHolds&) = delete;

    // WM_POWERBROADCAST, WM_QUERYENDSESSION, WM_ENDSESSION and the pause's
    // WM_TIMER; false for any other.
    bool handle(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // The pause's menu commands (ID_PAUSE_..., ID_CONTINUE); false for any
    // other.
    bool command(int id);
    bool paused() const { return pause_.paused(); }

  private:
    void suspend();
    void resume();
    void pauseFor(int minutes);
    void continueWatching(const wchar_t* by);
    void armPauseTimer();

    HWND window_;
    MonitorController& monitor_;
    DropAlarm& alarm_;
    RunRecord& record_;
    std::function<void()> endSession_;
    SleepTracker sleep_;
    PauseClock pause_;
};

}  // namespace vorlane
