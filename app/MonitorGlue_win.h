// The monitor's side of the run: starts and stops the worker
// (monitor/MonitorController.h), and turns what it posts to the App's
// window into calls on the drop alarm and the run's record.
#pragma once

#include <windows.h>

namespace vorlane {

class DropAlarm;
class MonitorController;
class RunRecord;

class MonitorGlue {
  public:
    MonitorGlue(MonitorController& monitor, DropAlarm& alarm, RunRecord& record)
        : monitor_(monitor), alarm_(alarm), record_(record) {}

    // Starts the worker; a worker that cannot start is told to the user by
    // the controller and kept in the log.
    void start();
    void stop();
    // The worker's messages (WM_PROBE_RESULT, WM_TARGET_RESOLVED,
    // WM_PROBE_UNSUPPORTED, WM_LOOKUP_FAILED, WM_CLOCK_JUMPED, WM_DROP_LIMIT,
    // WM_MONITOR_ENDED);
    // false for any other.
    bool handle(UINT msg, WPARAM wParam, LPARAM lParam);

  private:
    void onProbeResult(WPARAM roundTripMs, LPARAM outcome);
    void onTargetResolved(WPARAM index);

    MonitorController& monitor_;
    DropAlarm& alarm_;
    RunRecord& record_;
};

}  // namespace vorlane
