#include "monitor/ProbeLoop.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <set>

#include "monitor/tests/MonitorFakes.h"

namespace vorlane {
namespace {

using testing::FakeClock;
using testing::FakeResolver;
using testing::RecordingSink;
using testing::ScriptedProber;
using testing::Settings;
using Events = std::vector<std::string>;

class ProbeLoopTest : public ::testing::Test {
  protected:
    ProbeLoopTest() {
        resolver.answers = {{L"host.lan", L"127.0.0.1"}, {L"other.lan", L"127.0.0.2"}};
        fresh();
    }

    // A new run of the program: new shared state, nothing recorded.
    void fresh() {
        state = std::make_shared<MonitorState>();
        prober.state = state;
        sink.state = state;
        sink.events.clear();
        clock.waits.clear();
    }

    void start(const WorkingSettingsValues& values, std::deque<bool> answers) {
        fresh();
        state->storeSettings(values);
        state->prepareStart();
        prober.answers = std::move(answers);
        ProbeLoop(state, resolver, relookups, prober, sink, clock).run();
    }

    std::shared_ptr<MonitorState> state;
    FakeResolver resolver;
    testing::ManualLookups relookups;
    ScriptedProber prober;
    RecordingSink sink;
    FakeClock clock;
};

TEST_F(ProbeLoopTest, CountsFailuresInARowAndRaisesTheLimitOnce) {
    start(Settings(L"127.0.0.1", 3, 2), {false, false, true, false, false, false, true});
    EXPECT_EQ(sink.events,
              (Events{"fail 1", "fail 2", "ok", "fail 1", "fail 2", "fail 3", "limit", "ended"}));
    // No wait after the probe that reached the limit, and the count stays.
    EXPECT_EQ(clock.waits.size(), 5u);
    EXPECT_EQ(state->failureCount(), 3);
    EXPECT_EQ(state->phase(), WorkerPhase::Ended);
}

TEST_F(ProbeLoopTest, OneTryMeansTheFirstFailureIsTheLimit) {
    start(Settings(L"127.0.0.1", 1, 5), {false, true});
    EXPECT_EQ(sink.events, (Events{"fail 1", "limit", "ended"}));
    EXPECT_TRUE(clock.waits.empty());
}

TEST_F(ProbeLoopTest, TryTimesBelowOneNeverRaisesTheLimit) {
    for (int tryTimes : {0, -1}) {
        start(Settings(L"127.0.0.1", tryTimes, 1), std::deque<bool>(40, false));
        ASSERT_EQ(sink.events.size(), 41u);
        EXPECT_EQ(sink.events[39], "fail 40");
        EXPECT_EQ(sink.events.back(), "ended");
    }
}

TEST_F(ProbeLoopTest, WaitsTheIntervalAfterEachProbeAndNotAtAllBelowOne) {
    start(Settings(L"127.0.0.1", 0, 5), {true, false, true});
    ASSERT_EQ(clock.waits.size(), 2u);
    for (const auto& wait : clock.waits) EXPECT_EQ(wait.deadline - wait.at, 5000);

    for (int interval : {0, -7}) {
        start(Settings(L"127.0.0.1", 0, interval), {true, false, true});
        EXPECT_TRUE(clock.waits.empty());
    }
}

TEST_F(ProbeLoopTest, AHugeIntervalIsALongWaitNotAnOverflow) {
    clock.duringWait = [&](std::size_t) {
        state->requestStop();
        return true;
    };
    start(Settings(L"127.0.0.1", 0, 2000000000), {true, true});
    ASSERT_EQ(clock.waits.size(), 1u);
    EXPECT_EQ(clock.waits[0].deadline - clock.waits[0].at, 2000000000LL * 1000);
}

TEST_F(ProbeLoopTest, StopDuringAWaitEndsItAtOnce) {
    clock.duringWait = [&](std::size_t) {
        state->requestStop();
        return true;
    };
    start(Settings(L"127.0.0.1", 3, 60), {false, false, false});
    EXPECT_EQ(sink.events, (Events{"fail 1", "ended"}));
    EXPECT_EQ(clock.waits.size(), 1u);
    EXPECT_EQ(clock.now, clock.waits[0].at);
}

TEST_F(ProbeLoopTest, StopDuringAProbeStillReportsItWithoutWaiting) {
    prober.duringProbe = [&] { state->requestStop(); };
    start(Settings(L"127.0.0.1", 3, 5), {false, false});
    EXPECT_EQ(sink.events, (Events{"fail 1", "ended"}));
    EXPECT_TRUE(clock.waits.empty());

    // ... and that probe can still raise the limit.
    start(Settings(L"127.0.0.1", 1, 5), {false, false});
    EXPECT_EQ(sink.events, (Events{"fail 1", "limit", "ended"}));
}

TEST_F(ProbeLoopTest, ResetDuringAWaitTakesEffectAtTheNextCycle) {
    clock.duringWait = [&](std::size_t index) {
        if (index == 0) state->storeSettings(Settings(L"other.lan", 3, 5));
        return false;
    };
    start(Settings(L"host.lan", 3, 5), {false, false, false});
    // The wait ran to its end; then the count was cleared and the new target
    // resolved before the next probe.
    ASSERT_EQ(clock.waits.size(), 2u);
    EXPECT_EQ(clock.waits[1].at - clock.waits[0].at, 5000);
    EXPECT_EQ(resolver.asked, (std::vector<std::wstring>{L"host.lan", L"other.lan"}));
    EXPECT_EQ(prober.probed, (std::vector<std::wstring>{L"127.0.0.1", L"127.0.0.2", L"127.0.0.2"}));
    EXPECT_EQ(sink.events, (Events{"fail 1", "fail 1", "fail 2", "ended"}));
    EXPECT_EQ(state->workingTarget(), L"127.0.0.2");
    EXPECT_EQ(state->command(), Command::Stop);
}

TEST_F(ProbeLoopTest, NewIntervalDuringAWaitMovesTheEndOfThatWait) {
    const std::int64_t begin = clock.now;
    clock.duringWait = [&](std::size_t index) {
        if (index != 0) return false;
        clock.now += 2000;
        state->storeSettings(Settings(L"127.0.0.1", 0, 3));
        return true;
    };
    start(Settings(L"127.0.0.1", 0, 10), {true, true});
    ASSERT_EQ(clock.waits.size(), 2u);
    EXPECT_EQ(clock.waits[0].deadline, begin + 10000);
    EXPECT_EQ(clock.waits[1].deadline, begin + 3000);

    // Lowered below the time already waited: the wait ends at once.
    clock.duringWait = [&](std::size_t index) {
        if (index != 0) return false;
        clock.now += 4000;
        state->storeSettings(Settings(L"127.0.0.1", 0, 2));
        return true;
    };
    start(Settings(L"127.0.0.1", 0, 10), {true, true});
    EXPECT_EQ(clock.waits.size(), 1u);
}

TEST_F(ProbeLoopTest, AFailedLookupIsRetriedAtEachCycleAndSendsNothing) {
    int lookups = 0;
    resolver.duringLookup = [&] {
        if (++lookups == 3) resolver.answers[L"late.lan"] = L"127.0.0.3";
    };
    start(Settings(L"late.lan", 0, 1), {true, true});
    EXPECT_EQ(resolver.asked.size(), 3u);
    EXPECT_EQ(prober.probed, (std::vector<std::wstring>{L"127.0.0.3", L"127.0.0.3"}));
    EXPECT_EQ(sink.events, (Events{"fail 1", "fail 2", "ok", "ok", "ended"}));
}

TEST_F(ProbeLoopTest, NothingToProbeCountsAsUnansweredWithoutSending) {
    for (const wchar_t* target : {L"", L"255.255.255.255"}) {
        clock.duringWait = [&](std::size_t index) {
            if (index == 3) state->requestStop();
            return false;
        };
        start(Settings(target, 0, 1), {});
        EXPECT_TRUE(prober.probed.empty());
        EXPECT_EQ(sink.events, (Events{"fail 1", "fail 2", "fail 3", "fail 4", "ended"}));
    }
}

TEST_F(ProbeLoopTest, ALookupUnderWayNeverOverwritesANewerTarget) {
    resolver.duringLookup = [&] {
        if (resolver.asked.size() == 1) state->storeSettings(Settings(L"other.lan", 0, 1));
    };
    clock.duringWait = [&](std::size_t) {
        // Between the two cycles: the old answer was used for one probe but
        // never published as the working copy.
        EXPECT_EQ(state->workingTarget(), L"");
        return false;
    };
    start(Settings(L"host.lan", 0, 1), {true, true});
    EXPECT_EQ(prober.probed, (std::vector<std::wstring>{L"127.0.0.1", L"127.0.0.2"}));
    EXPECT_EQ(state->workingTarget(), L"127.0.0.2");
}

TEST_F(ProbeLoopTest, StopDuringTheResetLookupIsNotWipedByTheReset) {
    resolver.duringLookup = [&] {
        if (resolver.asked.size() == 2) state->requestStop();
    };
    clock.duringWait = [&](std::size_t index) {
        if (index == 0) state->storeSettings(Settings(L"other.lan", 0, 1));
        return false;
    };
    prober.answers = std::deque<bool>(50, true);
    fresh();
    state->storeSettings(Settings(L"host.lan", 0, 1));
    state->prepareStart();
    ProbeLoop(state, resolver, relookups, prober, sink, clock).run();
    EXPECT_EQ(prober.probed.size(), 2u);
    EXPECT_EQ(sink.events.back(), "ended");
}

TEST_F(ProbeLoopTest, StartClearsTheStartUpResetAndKeepsAStop) {
    start(Settings(L"host.lan", 0, 1), {true, true});
    // The start-up confirmation's "RESET" causes no second lookup.
    EXPECT_EQ(resolver.asked.size(), 1u);

    fresh();
    state->requestStop();
    state->storeSettings(Settings(L"host.lan", 0, 1));
    state->prepareStart();
    EXPECT_EQ(state->command(), Command::Stop);
    ProbeLoop(state, resolver, relookups, prober, sink, clock).run();
    EXPECT_EQ(sink.events, (Events{"ended"}));
}

// Answers for the addresses in `answering`, after a round trip of the last
// octet in ms. Each probe holds until `together` probes are under way at once
// (or 5 s have passed), as silent targets hold for their time-out: a cycle
// that probed one target after another would never see them together.
class ConcurrentProber : public Prober {
  public:
    std::set<std::wstring> answering;
    std::size_t together = 1;
    std::size_t mostAtOnce = 0;
    std::vector<int> timeouts;

    ProbeAnswer probe(const ProbeTarget& target, int timeoutMs) override {
        std::unique_lock<std::mutex> lock(mutex_);
        timeouts.push_back(timeoutMs);
        ++underWay_;
        if (underWay_ > mostAtOnce) mostAtOnce = underWay_;
        all_.notify_all();
        all_.wait_for(lock, std::chrono::seconds(5), [&] { return mostAtOnce >= together; });
        --underWay_;
        if (!answering.count(target.address.toText())) return ProbeAnswer::Unanswered();
        return ProbeAnswer::Answered(target.address.v4.octets[3]);
    }

  private:
    std::mutex mutex_;
    std::condition_variable all_;
    std::size_t underWay_ = 0;
};

TEST_F(ProbeLoopTest, AllTargetsAreProbedAtOnceAndAnyAnswerCounts) {
    ConcurrentProber parallel;
    parallel.together = 8;
    parallel.answering = {L"127.0.0.5", L"127.0.0.7"};
    std::wstring targets = L"host.lan nowhere.lan";
    for (int i = 2; i <= 8; ++i) targets += L",127.0.0." + std::to_wstring(i);
    auto values = Settings(targets, 3, 1);
    values.timeoutMs = 2500;
    clock.duringWait = [&](std::size_t index) {
        if (index == 0) parallel.answering.clear();
        if (index == 2) state->requestStop();
        return false;
    };
    state->storeSettings(values);
    state->prepareStart();
    ProbeLoop(state, resolver, relookups, parallel, sink, clock).run();

    // Eight usable targets probed together (the name that failed sends
    // nothing), each with the time-out stored.
    EXPECT_EQ(parallel.mostAtOnce, 8u);
    EXPECT_EQ(parallel.timeouts, std::vector<int>(24, 2500));
    EXPECT_EQ(sink.events, (Events{"ok", "fail 1", "fail 2", "ended"}));
    // Only the failed lookup is retried, and a lookup is reported when its
    // result changes.
    // (The first two at once, in either order.)
    std::multiset<std::wstring> asked(resolver.asked.begin(), resolver.asked.end());
    EXPECT_EQ(asked, (std::multiset<std::wstring>{L"host.lan", L"nowhere.lan", L"nowhere.lan",
                                                  L"nowhere.lan"}));
    ASSERT_EQ(sink.resolved.size(), 9u);
    EXPECT_EQ(sink.resolved[0], L"0 127.0.0.1");
    EXPECT_EQ(sink.resolved[1], L"1 NIL");
    EXPECT_EQ(state->workingTarget().substr(0, 14), L"127.0.0.1 NIL ");
}

TEST_F(ProbeLoopTest, RoundTripsAreThoseOfTheRepliesAndTheQuickestIsReported) {
    ConcurrentProber parallel;
    parallel.answering = {L"127.0.0.9", L"127.0.0.4"};
    struct RoundTrips : RecordingSink {
        std::vector<int> quickest;
        void probeResult(ProbeOutcome outcome, int ms) override {
            RecordingSink::probeResult(outcome, ms);
            quickest.push_back(ms);
        }
    } trips;
    trips.state = state;
    clock.duringWait = [&](std::size_t) {
        state->requestStop();
        return false;
    };
    state->storeSettings(Settings(L"127.0.0.9 127.0.0.4 127.0.0.3", 3, 1));
    state->prepareStart();
    ProbeLoop(state, resolver, relookups, parallel, trips, clock).run();
    EXPECT_EQ(trips.quickest, (std::vector<int>{4}));
    const auto targets = state->targets();
    ASSERT_EQ(targets.size(), 3u);
    EXPECT_EQ(targets[0].roundTripMs, 9);
    EXPECT_EQ(targets[1].roundTripMs, 4);
    EXPECT_EQ(targets[2].roundTripMs, -1);
}

TEST_F(ProbeLoopTest, ArmFirstCountsNothingUntilTheFirstAnswerAndAnOkWaitsAgain) {
    auto values = Settings(L"127.0.0.1", 2, 1);
    values.armFirst = true;
    // Silent from the start: no drop however long.
    start(values, std::deque<bool>(30, false));
    ASSERT_EQ(sink.events.size(), 31u);
    EXPECT_EQ(sink.events[0], "wait 1");
    EXPECT_EQ(sink.events[29], "wait 30");

    // One answer, then silence: the drop after exactly tryTimes misses.
    start(values, {false, true, false, false, false});
    EXPECT_EQ(sink.events, (Events{"wait 1", "ok", "fail 1", "fail 2", "limit", "ended"}));

    // An OK of the dialog re-arms the wait.
    clock.duringWait = [&](std::size_t index) {
        if (index == 1) state->storeSettings(values);
        return false;
    };
    start(values, {true, false, false, false, true});
    EXPECT_EQ(sink.events, (Events{"ok", "fail 1", "wait 1", "wait 2", "ok", "ended"}));
    EXPECT_EQ(state->waitingProbes(), 0);
}

TEST_F(ProbeLoopTest, AfterTheLimitItWaitsForResumeAndProbesOnlyForCancelOnUp) {
    sink.stopAtLimit = false;
    // Without "cancelonup": no probe until the alarm resumes the monitor,
    // which then counts from zero and looks the target up again in the
    // background, probing its last address meanwhile.
    std::size_t waitsForCommand = 0;
    clock.duringWait = [&](std::size_t) {
        if (state->failureCount() == 1) {
            ++waitsForCommand;
            state->requestResume();
            return true;
        }
        return false;
    };
    start(Settings(L"host.lan", 1, 1), {false, false, true});
    EXPECT_EQ(waitsForCommand, 2u);
    EXPECT_EQ(resolver.asked.size(), 1u);
    // The first lookup again never ended: the second resume starts none.
    ASSERT_EQ(relookups.started.size(), 1u);
    EXPECT_EQ(relookups.started[0].host, L"host.lan");
    EXPECT_EQ(prober.probed, (std::vector<std::wstring>(3, L"127.0.0.1")));
    EXPECT_EQ(sink.events, (Events{"fail 1", "limit", "fail 1", "limit", "ok", "ended"}));

    // With it: the probes go on during the countdown, uncounted, and an
    // answer is reported; a "RESET" meanwhile leaves the drop in place.
    auto values = Settings(L"127.0.0.1", 1, 1);
    values.cancelOnUp = true;
    clock.duringWait = [&](std::size_t index) {
        if (index == 0) state->storeSettings(values);
        return false;
    };
    start(values, {false, false, false, true});
    EXPECT_EQ(sink.events, (Events{"fail 1", "limit", "fail 0", "fail 0", "ok", "ended"}));
}

}  // namespace
}  // namespace vorlane
