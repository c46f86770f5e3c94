// The monitor's worker loop: resolve the targets, probe them all at once,
// count, report, wait, and take up the command word at the top of every
// cycle. After the drop limit it waits for the alarm's "RESUME" (probing on
// meanwhile when an answer may cancel the countdown). It runs against
// small interfaces so that every sequence can be driven without a network,
// a window or real time. Portable: no Windows types.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "monitor/MonitorState.h"
#include "monitor/ParallelProbe.h"
#include "monitor/Target.h"

namespace vorlane {

enum class ProbeOutcome {
    Answered,  // some target answered
    Missed,    // none did; counted towards the drop
    Waiting,   // none did, and none has yet ("armfirst"): not counted
};

// Where the worker's reports go: posted messages to the status bar.
class MonitorSink {
  public:
    virtual ~MonitorSink() = default;
    // `roundTripMs` is the quickest answer's, -1 when none answered.
    virtual void probeResult(ProbeOutcome outcome, int roundTripMs) = 0;
    // The lookup of target `index` gave a new working text (dotted or
    // "NIL"), now in MonitorState::targets().
    virtual void targetResolved(std::size_t index, const std::wstring& address) = 0;
    virtual void dropLimit() = 0;
    virtual void ended() = 0;
};

class WaitClock {
  public:
    virtual ~WaitClock() = default;
    virtual std::int64_t nowMs() = 0;
    // Blocks until `wake` is notified or the deadline has passed; may return
    // early. Called with `lock` held, which it releases while blocked, as
    // std::condition_variable::wait does.
    virtual void waitUntil(std::unique_lock<std::mutex>& lock, std::condition_variable& wake,
                           std::int64_t deadlineMs) = 0;
};

// std::chrono::steady_clock. One wait blocks for an hour at most, so that no
// platform's timed wait is handed a time-out it cannot represent; the loop
// simply waits again.
class SteadyWaitClock : public WaitClock {
  public:
    std::int64_t nowMs() override;
    void waitUntil(std::unique_lock<std::mutex>& lock, std::condition_variable& wake,
                   std::int64_t deadlineMs) override;
};

class ProbeLoop {
  public:
    ProbeLoop(std::shared_ptr<MonitorState> state, Resolver& resolver, Prober& prober,
              MonitorSink& sink, WaitClock& clock);
    // Runs until "STOP"; the last report is always ended().
    void run();

  private:
    bool topOfCycle();
    // Every target, or only those whose lookup failed.
    void resolve(bool all);
    void probeAndReport();
    void wait();
    // Until the command word changes: the alarm is busy with a drop.
    void waitForCommand();
    bool probingAfterLimit() const;

    std::shared_ptr<MonitorState> state_;
    Resolver& resolver_;
    Prober& prober_;
    MonitorSink& sink_;
    WaitClock& clock_;
    std::vector<ResolvedTarget> targets_;
    bool resolvedOnce_ = false;
    bool afterLimit_ = false;
    // An answer has come since the start or the last "RESET".
    bool answeredOnce_ = false;
};

}  // namespace vorlane
