// The drop alarm's side of the run: the alarm (alarm/DropAlarm.h) acting
// through a window (alarm/WindowAlarmActions_win.h) that takes its countdown
// timer and the end of a recovery command as messages. What the alarm shows
// goes to `show`; it steers the monitor through `monitor`.
#pragma once

#include <windows.h>

#include <string>

#include "alarm/DropAlarm.h"
#include "alarm/WindowAlarmActions_win.h"

namespace vorlane {

class MonitorController;

class AlarmGlue {
  public:
    AlarmGlue(HWND window, const std::wstring& appPath, MonitorController& monitor,
              WindowAlarmActions::ShowStatus show);
    // Stops the countdown's timer.
    ~AlarmGlue();
    AlarmGlue(const AlarmGlue&) = delete;
    AlarmGlue& operator=(const AlarmGlue&) = delete;

    DropAlarm& alarm() { return alarm_; }
    bool countingDown() const { return alarm_.stage() == DropAlarm::Stage::CountingDown; }
    // The countdown's tick (WM_TIMER) and a recovery command's end
    // (WM_STARTED_COMMAND_ENDED); false for any other message.
    bool handle(UINT msg, WPARAM wParam, LPARAM lParam);

  private:
    HWND window_;
    DropAlarm alarm_;
};

}  // namespace vorlane
