// The state that the UI thread and the monitor's worker share: the command
// word, the published settings and the failure count. One mutex guards the
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

#include "settings/WorkingSettings.h"

namespace vorlane {

enum class Command { None, Reset, Stop };
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
    int failureCount() const { return failureCount_.load(std::memory_order_acquire); }

    std::shared_ptr<const WorkingSettingsValues> settings() const;
    std::uint64_t generation() const;
    Command command() const;
    WorkerPhase phase() const;
    // The worker's reading of the target: a dotted text, "NIL" or empty.
    std::wstring workingTarget() const;

  private:
    friend class ProbeLoop;

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    Command command_ = Command::None;
    std::shared_ptr<const WorkingSettingsValues> settings_;
    std::uint64_t generation_ = 0;
    WorkerPhase phase_ = WorkerPhase::NotStarted;
    std::wstring workingTarget_;
    std::atomic<int> failureCount_{0};
};

}  // namespace vorlane
