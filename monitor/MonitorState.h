// The state that the UI thread and the monitor's worker share: the command
// word, the published settings, the failure count and what the worker last
// learnt of each target. One mutex guards the
// word and the settings; the condition variable wakes a waiting worker. The
// owner keeps it in a std::shared_ptr that the worker holds too, so that it
// outlives whichever of the two ends last. Portable: no Windows types.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "core/WorkingSettings.h"

namespace vorlane {

// "RESUME" (monitor again from zero once the alarm is done with a drop) does
// all that "RESET" does, so it replaces a waiting "RESET"; "STOP" replaces
// either.
enum class Command { None, Reset, Resume, Stop };
enum class WorkerPhase { NotStarted, Busy, Waiting, Ended };

class MonitorState {
  public:
    MonitorState();

    // UI side.
    // Publishes a new snapshot and writes "RESET" (never over a "STOP").
    void storeSettings(const WorkingSettingsValues& values);
    // Before the worker starts: the empty word and a zero count. A "STOP"
    // stays.
    void prepareStart();
    // Writes "STOP", wakes a waiting worker and returns the phase the worker
    // was in at that moment.
    WorkerPhase requestStop();
    // Writes "RESUME" (never over a "STOP") and wakes a waiting worker.
    void requestResume();
    // A sleep and a pause each hold the worker: no probe, nothing counted.
    // It probes again once neither does, counting from zero.
    void suspend();
    // After a sleep: misses wait for an answer or the grace ("resumegrace"),
    // and names are looked up again.
    void resumeFromSleep();
    void pause();
    void continueWatching();
    bool held() const;
    int failureCount() const { return failureCount_.load(std::memory_order_acquire); }
    // Seconds left of the grace after a wake, as of the last cycle.
    int graceSecondsLeft() const { return graceSecondsLeft_.load(std::memory_order_acquire); }
    // Probes sent so far while waiting for the first answer ("armfirst").
    int waitingProbes() const { return waitingProbes_.load(std::memory_order_acquire); }

    std::shared_ptr<const WorkingSettingsValues> settings() const;
    std::uint64_t generation() const;
    Command command() const;
    WorkerPhase phase() const;
    // The worker's reading of the targets, one a blank apart: each an
    // address as text (IPv4 dotted or IPv6) or "NIL"; empty for no target.
    std::wstring workingTarget() const;

    struct TargetStatus {
        std::wstring address;  // the address as text, "NIL" or empty
        int roundTripMs = -1;  // of the last probe; -1 when it was not answered
    };
    // In the order typed.
    std::vector<TargetStatus> targets() const;

  private:
    friend class ProbeLoop;

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    Command command_ = Command::None;
    std::shared_ptr<const WorkingSettingsValues> settings_;
    std::uint64_t generation_ = 0;
    WorkerPhase phase_ = WorkerPhase::NotStarted;
    std::vector<TargetStatus> targets_;
    bool asleep_ = false;
    bool paused_ = false;
    // Taken up by the worker when it goes on: count from zero, and after a
    // sleep start the grace.
    bool restart_ = false;
    bool woke_ = false;
    std::atomic<int> failureCount_{0};
    std::atomic<int> waitingProbes_{0};
    std::atomic<int> graceSecondsLeft_{0};
};

}  // namespace vorlane
