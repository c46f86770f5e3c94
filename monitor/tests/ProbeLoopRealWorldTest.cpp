// The probe loop where the world moves: names that change their address, a
// name service that fails or hangs, sleep and wake, a pause, clocks that
// jump, the confirm interval and recovery only when it holds.
#include <gtest/gtest.h>

#include <set>

#include "monitor/ProbeLoop.h"
#include "monitor/tests/MonitorFakes.h"

namespace vorlane {
namespace {

using testing::FakeClock;
using testing::FakeResolver;
using testing::ManualLookups;
using testing::RecordingSink;
using testing::ScriptedProber;
using testing::Settings;
using Events = std::vector<std::string>;

// Answers for the addresses in `answering`; stops the loop after `cycles`
// probes.
class AddressProber : public Prober {
  public:
    std::shared_ptr<MonitorState> state;
    std::set<std::wstring> answering;
    std::vector<std::wstring> probed;
    std::size_t cycles = 10;

    ProbeAnswer probe(const ProbeTarget& target, int) override {
        probed.push_back(target.address.toText());
        if (probed.size() >= cycles) state->requestStop();
        if (answering.count(target.address.toText()) == 0) return ProbeAnswer::Unanswered();
        return ProbeAnswer::Answered(3);
    }
};

// A wall clock that can be moved apart from the steady one.
class JumpingClock : public FakeClock {
  public:
    std::int64_t wallOffset = 0;
    std::int64_t wallMs() override { return now + wallOffset; }
};

class ProbeLoopRealWorldTest : public ::testing::Test {
  protected:
    ProbeLoopRealWorldTest() {
        resolver.answers = {{L"moving.lan", L"127.0.0.2"}};
        state = std::make_shared<MonitorState>();
        prober.state = state;
        scripted.state = state;
        sink.state = state;
    }

    void run(const WorkingSettingsValues& values, Prober& probes, WaitClock& waits) {
        state->storeSettings(values);
        state->prepareStart();
        ProbeLoop(state, resolver, lookups, probes, sink, waits).run();
    }

    std::shared_ptr<MonitorState> state;
    FakeResolver resolver;
    ManualLookups lookups;
    AddressProber prober;
    ScriptedProber scripted;
    RecordingSink sink;
    FakeClock clock;
};

TEST_F(ProbeLoopRealWorldTest, ANameFollowsItsAddressAfterAMissAndWhenItsLookupIsOld) {
    prober.answering = {L"127.0.0.3"};
    prober.cycles = 6;
    clock.duringWait = [&](std::size_t index) {
        // The miss started a lookup at once; it answers during the wait.
        if (index == 0) {
            EXPECT_EQ(lookups.started.size(), 1u);
            lookups.finishAll(L"127.0.0.3");
        }
        return false;
    };
    run(Settings(L"moving.lan", 3, 20), prober, clock);
    EXPECT_EQ(prober.probed[0], L"127.0.0.2");
    EXPECT_EQ(prober.probed[1], L"127.0.0.3");
    EXPECT_EQ(sink.events, (Events{"fail 1", "ok", "ok", "ok", "ok", "ok", "ended"}));
    EXPECT_EQ(sink.resolved, (std::vector<std::wstring>{L"0 127.0.0.2", L"0 127.0.0.3"}));
    // Answered from then on: looked up again only once a minute had passed
    // since the last lookup (cycles 20 s apart).
    ASSERT_EQ(lookups.started.size(), 2u);
    EXPECT_EQ(lookups.started[1].host, L"moving.lan");
    EXPECT_EQ(clock.waits.size(), 5u);
}

TEST_F(ProbeLoopRealWorldTest, AFailedOrHungLookupKeepsTheAddressAndCountsNoMiss) {
    prober.answering = {L"127.0.0.2"};
    prober.cycles = 12;
    clock.duringWait = [&](std::size_t) {
        lookups.finishAll(kLookupFailed);
        return false;
    };
    run(Settings(L"moving.lan", 1, 30), prober, clock);
    // Every probe to the last good address, every one answered, and the
    // failing name service said once, not at each lookup.
    EXPECT_EQ(std::set<std::wstring>(prober.probed.begin(), prober.probed.end()),
              std::set<std::wstring>{L"127.0.0.2"});
    EXPECT_EQ(std::count(sink.events.begin(), sink.events.end(), "lookup-failed 0"), 1);
    EXPECT_EQ(std::count(sink.events.begin(), sink.events.end(), "ok"), 12);
    EXPECT_GE(lookups.started.size(), 5u);

    // A lookup that never ends: no second one is started beside it, and the
    // address is probed on.
    lookups.started.clear();
    prober.probed.clear();
    clock.duringWait = nullptr;
    state = std::make_shared<MonitorState>();
    prober.state = state;
    sink.state = state;
    sink.events.clear();
    run(Settings(L"moving.lan", 1, 30), prober, clock);
    EXPECT_EQ(lookups.started.size(), 1u);
    EXPECT_EQ(prober.probed.size(), 12u);
}

TEST_F(ProbeLoopRealWorldTest, ASleepHoldsTheLoopAndTheWakeGivesAGraceThatAnAnswerEnds) {
    auto values = Settings(L"127.0.0.1", 2, 1);
    values.resumeGrace = 3;
    std::size_t probesWhileAsleep = 0;
    clock.duringWait = [&](std::size_t index) {
        if (index == 0) state->suspend();
        if (index == 1) {
            probesWhileAsleep = scripted.probed.size();
            state->resumeFromSleep();
        }
        return index <= 1;
    };
    scripted.answers = {false, false, false, false, false, false, false};
    sink.stopAtLimit = true;
    run(values, scripted, clock);
    EXPECT_EQ(probesWhileAsleep, 1u);
    // Counted from zero after the wake, and only once the grace ran out.
    EXPECT_EQ(sink.events, (Events{"fail 1", "grace 3", "grace 2", "grace 1", "fail 1", "fail 2",
                                   "limit", "ended"}));

    // An answer ends the grace at once; 0 means no grace at all.
    for (int grace : {30, 0}) {
        state = std::make_shared<MonitorState>();
        scripted.state = state;
        sink.state = state;
        sink.events.clear();
        values.resumeGrace = grace;
        clock.waits.clear();
        clock.duringWait = [&](std::size_t index) {
            if (index == 0) state->suspend();
            if (index == 1) state->resumeFromSleep();
            return index <= 1;
        };
        scripted.answers = {true, false, true, false, false, true};
        run(values, scripted, clock);
        if (grace > 0) {
            EXPECT_EQ(sink.events,
                      (Events{"ok", "grace 30", "ok", "fail 1", "fail 2", "limit", "ended"}));
        } else {
            EXPECT_EQ(sink.events,
                      (Events{"ok", "fail 1", "ok", "fail 1", "fail 2", "limit", "ended"}));
        }
    }
}

TEST_F(ProbeLoopRealWorldTest, APauseSendsNothingAndContinueCountsFromZero) {
    std::size_t probesAtPause = 0;
    clock.duringWait = [&](std::size_t index) {
        if (index == 1) {
            state->pause();
            probesAtPause = scripted.probed.size();
        }
        // Held: this wait is the pause itself, ended by "继续监测".
        if (index == 2) {
            EXPECT_EQ(scripted.probed.size(), probesAtPause);
            state->continueWatching();
        }
        return index == 1 || index == 2;
    };
    scripted.answers = {false, false, false, false, false, false};
    run(Settings(L"127.0.0.1", 3, 1), scripted, clock);
    EXPECT_EQ(sink.events,
              (Events{"fail 1", "fail 2", "fail 1", "fail 2", "fail 3", "limit", "ended"}));
}

TEST_F(ProbeLoopRealWorldTest, AClockThatJumpsIsTakenAsAWake) {
    JumpingClock jumping;
    jumping.duringWait = [&](std::size_t index) {
        // The wall clock runs an hour while the steady one does not (a
        // sleep it did not count); no power message comes.
        if (index == 1) jumping.wallOffset = 3600 * 1000;
        return false;
    };
    auto values = Settings(L"127.0.0.1", 3, 5);
    values.resumeGrace = 10;
    scripted.answers = {false, false, false, false, false, false};
    run(values, scripted, jumping);
    EXPECT_EQ(sink.events, (Events{"fail 1", "fail 2", "jump", "grace 10", "grace 5", "fail 1",
                                   "fail 2", "ended"}));
}

TEST_F(ProbeLoopRealWorldTest, TheConfirmIntervalLastsUntilAnAnswer) {
    auto values = Settings(L"127.0.0.1", 0, 60);
    values.retryInterval = 5;
    scripted.answers = {true, false, false, true, true};
    run(values, scripted, clock);
    std::vector<std::int64_t> gaps;
    for (const auto& wait : clock.waits) gaps.push_back(wait.deadline - wait.at);
    EXPECT_EQ(gaps, (std::vector<std::int64_t>{60000, 5000, 5000, 60000}));
}

TEST_F(ProbeLoopRealWorldTest, AfterADropRecoveryWaitsForEnoughAnswersInARow) {
    auto values = Settings(L"127.0.0.1", 1, 1);
    values.cancelOnUp = true;
    values.upAfter = 2;
    sink.stopAtLimit = false;
    scripted.answers = {false, true, false, true, true};
    run(values, scripted, clock);
    // During the countdown misses are not counted, but they break a run.
    EXPECT_EQ(sink.events,
              (Events{"fail 1", "limit", "recovering", "fail 0", "recovering", "ok", "ended"}));
}

}  // namespace
}  // namespace vorlane
