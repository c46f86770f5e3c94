// The monitor's worker loop: resolve the targets, probe them all at once,
// count, report, wait, and take up the command word at the top of every
// cycle. After the drop limit it waits for the alarm's "RESUME" (probing on
// meanwhile when an answer may cancel the countdown). Names are looked up
// again in the background (Relookup.h); a sleep or a pause holds the loop,
// and after a wake misses wait for an answer or the grace (ResumeGrace.h).
// It runs against small interfaces so that every sequence can be driven
// without a network, a window or real time. Portable: no Windows types.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "monitor/DropRule.h"
#include "monitor/MonitorState.h"
#include "monitor/ParallelProbe.h"
#include "monitor/Relookup.h"
#include "monitor/ResumeGrace.h"
#include "monitor/Target.h"

namespace vorlane {

enum class ProbeOutcome {
    Answered,    // some target answered
    Missed,      // none did; counted towards the drop
    Waiting,     // none did, and none has yet ("armfirst"): not counted
    Grace,       // none did, soon after a wake: not counted
    Recovering,  // some target answered, but too few in a row to end the outage
    // None did, and every target is of a kind this system cannot probe (an
    // echo to an IPv6 address without ICMPv6 echo): not counted.
    Unsupported,
};

// Where the worker's reports go: posted messages to the window.
class MonitorSink {
  public:
    virtual ~MonitorSink() = default;
    // `roundTripMs` is the quickest answer's, -1 when none answered.
    virtual void probeResult(ProbeOutcome outcome, int roundTripMs) = 0;
    // The lookup of target `index` gave a new working text (an address or
    // "NIL"), now in MonitorState::targets().
    virtual void targetResolved(std::size_t index, const std::wstring& address) = 0;
    // A lookup again of target `index` failed; its last good address is
    // kept. Reported once until a lookup of it succeeds again.
    virtual void lookupFailed(std::size_t /*index*/) {}
    // The clocks jumped without a power message: taken as a wake.
    virtual void clockJumped() {}
    // Target `index` is of a kind this system cannot probe; it is left out
    // of every cycle. Reported once until the targets change.
    virtual void probeUnsupported(std::size_t /*index*/) {}
    virtual void dropLimit() = 0;
    virtual void ended() = 0;
};

class WaitClock {
  public:
    virtual ~WaitClock() = default;
    virtual std::int64_t nowMs() = 0;
    // The wall clock, to tell a moved clock from a steady one.
    virtual std::int64_t wallMs() { return nowMs(); }
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
    std::int64_t wallMs() override;
    void waitUntil(std::unique_lock<std::mutex>& lock, std::condition_variable& wake,
                   std::int64_t deadlineMs) override;
};

class ProbeLoop {
  public:
    ProbeLoop(std::shared_ptr<MonitorState> state, Resolver& resolver, LookupStarter& lookups,
              Prober& prober, MonitorSink& sink, WaitClock& clock);
    // Runs until "STOP"; the last report is always ended().
    void run();

  private:
    // What the loop knows of a name target's lookups.
    struct NameWatch {
        std::wstring host;  // empty for a target given as an address
        std::int64_t lastLookupMs = 0;
        std::shared_ptr<PendingLookup> pending;
        bool missedLastCycle = false;
        bool failing = false;  // a lookup again failed; reported once
    };

    bool topOfCycle();
    // Waits while a sleep or a pause holds the loop; false on "STOP".
    bool waitWhileHeld();
    // A wake, told or seen: misses wait for the grace, names are looked up
    // again.
    void wokeUp();
    void checkClocks();
    // Every target, or only those whose lookup never succeeded.
    void resolve(bool all);
    void collectLookups();
    void startDueLookups(bool force);
    void setTarget(std::size_t index, const ResolvedTarget& target);
    void probeAndReport();
    void countMiss();
    void wait();
    // Until the command word changes: the alarm is busy with a drop.
    void waitForCommand();
    bool probingAfterLimit() const;
    void configureRule();

    std::shared_ptr<MonitorState> state_;
    Resolver& resolver_;
    LookupStarter& lookups_;
    Prober& prober_;
    MonitorSink& sink_;
    WaitClock& clock_;
    std::vector<ResolvedTarget> targets_;
    std::vector<std::wstring> entries_;  // as typed, one a target
    std::vector<NameWatch> names_;
    // Targets reported as unsupported, for the targets typed in entries_.
    std::vector<bool> unsupportedTold_;
    DropRule rule_;
    ResumeGrace grace_;
    bool resolvedOnce_ = false;
    bool afterLimit_ = false;
    // An answer has come since the start or the last "RESET".
    bool answeredOnce_ = false;
    bool lastCycleAnswered_ = true;
    // Both clocks at the start of the last wait between cycles, and how long
    // that wait was to last; 0 when the next look is not to be measured.
    std::int64_t lastLookMs_ = 0;
    std::int64_t lastLookWallMs_ = 0;
    std::int64_t expectedGapMs_ = 0;
};

}  // namespace vorlane
