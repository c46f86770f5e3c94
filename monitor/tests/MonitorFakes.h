// Stand-ins for the network, the window and the clock, to drive the probe
// loop through exact sequences.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "monitor/ProbeLoop.h"

namespace vorlane::testing {

class FakeResolver : public Resolver {
  public:
    std::map<std::wstring, std::wstring> answers;
    std::vector<std::wstring> asked;
    std::function<void()> duringLookup;

    // Several lookups of one cycle run at once.
    std::wstring lookupHost(const std::wstring& name) override {
        std::lock_guard<std::mutex> lock(mutex_);
        asked.push_back(name);
        if (duringLookup) duringLookup();
        auto it = answers.find(name);
        return it == answers.end() ? kLookupFailed : it->second;
    }

  private:
    std::mutex mutex_;
};

// Lookups again that end only when a test ends them: each started one waits
// in `started` (forever, as under a name service that hangs).
class ManualLookups : public LookupStarter {
  public:
    struct Started {
        std::wstring host;
        std::shared_ptr<PendingLookup> pending;
    };
    std::vector<Started> started;

    bool start(const std::wstring& host, std::shared_ptr<PendingLookup> pending) override {
        started.push_back({host, std::move(pending)});
        return true;
    }
    // Ends every lookup under way with `answer`.
    void finishAll(const std::wstring& answer) {
        for (Started& lookup : started) {
            if (lookup.pending) lookup.pending->finish(answer);
            lookup.pending.reset();
        }
    }
};

// Answers from a script; once the script is used up, writes "STOP" during the
// last probe so that the loop ends by itself.
class ScriptedProber : public Prober {
  public:
    std::shared_ptr<MonitorState> state;
    std::deque<bool> answers;
    std::vector<std::wstring> probed;
    std::function<void()> duringProbe;

    int lastTimeoutMs = 0;

    ProbeAnswer probe(const ProbeTarget& target, int timeoutMs) override {
        probed.push_back(target.address.toText());
        lastTimeoutMs = timeoutMs;
        if (duringProbe) duringProbe();
        bool answer = !answers.empty() && answers.front();
        if (!answers.empty()) answers.pop_front();
        if (answers.empty()) state->requestStop();
        if (!answer) return ProbeAnswer::Unanswered();
        return ProbeAnswer::Answered(7);
    }
};

// Records every report, with the count the UI would read on handling it.
class RecordingSink : public MonitorSink {
  public:
    std::shared_ptr<MonitorState> state;
    std::vector<std::string> events;     // "ok", "fail N", "wait N", "grace N", "limit", ...
    std::vector<std::wstring> resolved;  // "<index> <address>"

    void probeResult(ProbeOutcome outcome, int) override {
        switch (outcome) {
            case ProbeOutcome::Answered:
                events.push_back("ok");
                break;
            case ProbeOutcome::Missed:
                events.push_back("fail " + std::to_string(state->failureCount()));
                break;
            case ProbeOutcome::Waiting:
                events.push_back("wait " + std::to_string(state->waitingProbes()));
                break;
            case ProbeOutcome::Grace:
                events.push_back("grace " + std::to_string(state->graceSecondsLeft()));
                break;
            case ProbeOutcome::Recovering:
                events.push_back("recovering");
                break;
            case ProbeOutcome::Unsupported:
                events.push_back("unsupported");
                break;
        }
    }
    void targetResolved(std::size_t index, const std::wstring& address) override {
        resolved.push_back(std::to_wstring(index) + L" " + address);
    }
    // As the alarm does after its last action, unless a test drives the
    // alarm's side itself.
    bool stopAtLimit = true;

    void dropLimit() override {
        events.push_back("limit");
        if (stopAtLimit) state->requestStop();
    }
    void ended() override { events.push_back("ended"); }
    void lookupFailed(std::size_t index) override {
        events.push_back("lookup-failed " + std::to_string(index));
    }
    void clockJumped() override { events.push_back("jump"); }
    void probeUnsupported(std::size_t index) override {
        events.push_back("unsupported-target " + std::to_string(index));
    }
};

// Fake time. Each wait either runs to its deadline at once, or, when the
// hook says it woke the worker, returns without time passing. The hook runs
// with the lock released, like another thread acting during a real wait.
class FakeClock : public WaitClock {
  public:
    struct Wait {
        std::int64_t at;
        std::int64_t deadline;
    };
    std::int64_t now = 1000;
    std::vector<Wait> waits;
    // Called with the index of the wait; returns true when it woke the worker.
    std::function<bool(std::size_t)> duringWait;

    std::int64_t nowMs() override { return now; }
    void waitUntil(std::unique_lock<std::mutex>& lock, std::condition_variable&,
                   std::int64_t deadlineMs) override {
        waits.push_back({now, deadlineMs});
        lock.unlock();
        bool woke = duringWait && duringWait(waits.size() - 1);
        if (!woke) now = deadlineMs;
        lock.lock();
    }
};

inline WorkingSettingsValues Settings(const std::wstring& target, int tryTimes, int tryInterval) {
    WorkingSettingsValues values;
    values.target = target;
    values.tryTimes = tryTimes;
    values.tryInterval = tryInterval;
    return values;
}

}  // namespace vorlane::testing
