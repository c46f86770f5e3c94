// The monitor as the status bar sees it: one worker thread that probes the
// target and posts its results to the bar, steered through the shared state.
#pragma once

#include <windows.h>

#include <memory>
#include <thread>
#include <vector>

#include "monitor/MonitorState.h"
#include "core/WorkingSettings.h"

namespace vorlane {

class MonitorController {
  public:
    explicit MonitorController(HWND owner);
    // Stops the worker if that has not been done yet.
    ~MonitorController();
    MonitorController(const MonitorController&) = delete;
    MonitorController& operator=(const MonitorController&) = delete;

    // Confirmed settings; the worker takes them up at its next top of cycle.
    void storeSettings(const WorkingSettingsValues& values);
    // Starts the worker, once per run. Tells the user and returns false when
    // the thread cannot be started.
    bool start();
    // Writes "STOP" and wakes the worker. Joins it only when it is waiting or
    // done; a probe or a lookup under way is left to finish on its own, or to
    // the end of the process, since the shared state outlives the window.
    void stop();
    // Once the alarm is done with a drop: monitor again from zero.
    void resume();
    // After the last action: the worker ends at its next look at the word.
    void end();
    // A sleep and a pause each hold the worker (MonitorState).
    void suspend() { state_->suspend(); }
    void resumeFromSleep() { state_->resumeFromSleep(); }
    void pause() { state_->pause(); }
    void continueWatching() { state_->continueWatching(); }
    // Seconds of grace left after a wake, as of the last cycle.
    int graceSecondsLeft() const { return state_->graceSecondsLeft(); }
    // Unanswered probes in a row, as the worker last counted them.
    int failureCount() const { return state_->failureCount(); }
    // Probes sent while waiting for the first answer ("armfirst").
    int waitingProbes() const { return state_->waitingProbes(); }
    // Each target's working address and last round trip, in the order typed.
    std::vector<MonitorState::TargetStatus> targets() const { return state_->targets(); }

  private:
    HWND owner_;
    std::shared_ptr<MonitorState> state_;
    std::thread worker_;
    bool started_ = false;
};

}  // namespace vorlane
