// The monitor's worker loop: resolve the target, probe, count, report, wait,
// and take up the command word at the top of every cycle. It runs against
// small interfaces so that every sequence can be driven without a network,
// a window or real time. Portable: no Windows types.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>

#include "monitor/MonitorState.h"
#include "monitor/Target.h"

namespace vorlane {

class Prober {
  public:
    virtual ~Prober() = default;
    // One echo request; true when it was answered within the time-out.
    virtual bool probe(const Ipv4Address& address) = 0;
};

// Where the worker's reports go: posted messages to the status bar.
class MonitorSink {
  public:
    virtual ~MonitorSink() = default;
    virtual void probeResult(bool answered) = 0;
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
    // Runs until "STOP" or the drop limit; the last report is always ended().
    void run();

  private:
    bool topOfCycle();
    void resolve();
    // False when the drop limit ends the loop.
    bool probeAndReport();
    void wait();

    std::shared_ptr<MonitorState> state_;
    Resolver& resolver_;
    Prober& prober_;
    MonitorSink& sink_;
    WaitClock& clock_;
    ResolvedTarget target_;
    bool resolvedOnce_ = false;
};

}  // namespace vorlane
