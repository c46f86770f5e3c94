// The monitor's waiting: how soon a "STOP" ends a wait, how often a waiting
// worker wakes, and what one probe cycle costs on the CPU and in memory. Each
// is set beside the 500 ms slice polling that a sleep-based loop would do.
//
// VORLANE_BENCH_REALTIME=1 runs the wake-up count over a real minute instead
// of compressed time.
#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>
#include <thread>

#include "monitor/ProbeLoop.h"

namespace vorlane {
namespace {

using Clock = std::chrono::steady_clock;

class NoLookup : public Resolver {
  public:
    std::wstring lookupHost(const std::wstring&) override { return kLookupFailed; }
};

// The targets are addresses: nothing is looked up again.
class NoRelookup : public LookupStarter {
  public:
    bool start(const std::wstring&, std::shared_ptr<PendingLookup>) override { return false; }
};

// Anonymous resident memory of this process in kB (Linux), -1 elsewhere.
long RssAnonKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("RssAnon:", 0) == 0) return std::stol(line.substr(8));
    }
    return -1;
}

// Answers at once; writes "STOP" during probe number `stopAt`. Notes the
// memory after 1,000 probes and at the stop.
class InstantProber : public Prober {
  public:
    InstantProber(MonitorState& state, long stopAt) : state_(state), stopAt_(stopAt) {}
    ProbeAnswer probe(const ProbeTarget&, int) override {
        ++probes_;
        if (probes_ == 1000) rssAfter1000Kb = RssAnonKb();
        if (probes_ == stopAt_) {
            rssAtStopKb = RssAnonKb();
            state_.requestStop();
        }
        return ProbeAnswer::Answered(1);
    }
    long rssAfter1000Kb = -1;
    long rssAtStopKb = -1;

  private:
    MonitorState& state_;
    long stopAt_;
    long probes_ = 0;
};

class NullSink : public MonitorSink {
  public:
    void probeResult(ProbeOutcome outcome, int) override { benchmark::DoNotOptimize(outcome); }
    void targetResolved(std::size_t, const std::wstring&) override {}
    void dropLimit() override {}
    void ended() override {}
};

// Real condition-variable waits in time running `speedUp` times faster, with
// every return from a wait counted as a wake-up.
class CompressedClock : public WaitClock {
  public:
    explicit CompressedClock(int speedUp) : speedUp_(speedUp) {}
    std::int64_t nowMs() override { return inner_.nowMs() * speedUp_; }
    void waitUntil(std::unique_lock<std::mutex>& lock, std::condition_variable& wake,
                   std::int64_t deadlineMs) override {
        std::int64_t left = (deadlineMs - nowMs() + speedUp_ - 1) / speedUp_;
        if (left > 0) wake.wait_for(lock, std::chrono::milliseconds(left));
        ++wakeUps;
    }
    long wakeUps = 0;

  private:
    SteadyWaitClock inner_;
    int speedUp_;
};

// Time that jumps to each deadline: the loop's own cost, with no sleeping.
class JumpingClock : public WaitClock {
  public:
    std::int64_t nowMs() override { return now_; }
    void waitUntil(std::unique_lock<std::mutex>&, std::condition_variable&,
                   std::int64_t deadlineMs) override {
        now_ = deadlineMs;
    }

  private:
    std::int64_t now_ = 0;
};

WorkingSettingsValues LoopSettings(int tryInterval) {
    WorkingSettingsValues values;
    values.target = L"127.0.0.1";
    values.tryTimes = 0;
    values.tryInterval = tryInterval;
    return values;
}

// The sleep-based loop for comparison: a probe, then 2 x interval slices of
// 500 ms with the stop flag looked at before each.
long PollingLoop(std::atomic<bool>& stop, int tryInterval, int speedUp, long cycles) {
    long wakeUps = 0;
    for (long cycle = 0; cycle < cycles && !stop; ++cycle) {
        for (int slice = 0; slice < 2 * tryInterval; ++slice) {
            if (stop) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(500 / speedUp));
            ++wakeUps;
        }
    }
    return wakeUps;
}

void BM_StopWhileWaiting_ConditionVariable(benchmark::State& bench) {
    NoLookup resolver;
    NoRelookup lookups;
    NullSink sink;
    SteadyWaitClock clock;
    for (auto _ : bench) {
        auto state = std::make_shared<MonitorState>();
        state->storeSettings(LoopSettings(3600));
        state->prepareStart();
        InstantProber prober(*state, -1);
        std::thread worker([&] { ProbeLoop(state, resolver, lookups, prober, sink, clock).run(); });
        while (state->phase() != WorkerPhase::Waiting) std::this_thread::yield();
        auto start = Clock::now();
        state->requestStop();
        worker.join();
        bench.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
    }
}
BENCHMARK(BM_StopWhileWaiting_ConditionVariable)->UseManualTime()->Unit(benchmark::kMicrosecond);

void BM_StopWhileWaiting_Polling500ms(benchmark::State& bench) {
    std::mt19937 random(7);
    for (auto _ : bench) {
        std::atomic<bool> stop{false};
        std::thread worker([&] { PollingLoop(stop, 3600, 1, 1); });
        // The "STOP" lands anywhere within a slice.
        std::this_thread::sleep_for(std::chrono::milliseconds(random() % 500));
        auto start = Clock::now();
        stop = true;
        worker.join();
        bench.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
    }
}
BENCHMARK(BM_StopWhileWaiting_Polling500ms)->UseManualTime()->Unit(benchmark::kMillisecond);

int SpeedUp() {
    const char* realTime = std::getenv("VORLANE_BENCH_REALTIME");
    return realTime && *realTime == '1' ? 1 : 200;
}

// Wake-ups over one minute of probing at tryInterval 5 (12 cycles).
void BM_WakeUpsPerMinute_ConditionVariable(benchmark::State& bench) {
    const int speedUp = SpeedUp();
    NoLookup resolver;
    NoRelookup lookups;
    NullSink sink;
    long wakeUps = 0;
    for (auto _ : bench) {
        auto state = std::make_shared<MonitorState>();
        state->storeSettings(LoopSettings(5));
        state->prepareStart();
        InstantProber prober(*state, 13);
        CompressedClock clock(speedUp);
        ProbeLoop(state, resolver, lookups, prober, sink, clock).run();
        wakeUps = clock.wakeUps;
    }
    bench.counters["wakeups_per_min"] = static_cast<double>(wakeUps);
}
BENCHMARK(BM_WakeUpsPerMinute_ConditionVariable)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_WakeUpsPerMinute_Polling500ms(benchmark::State& bench) {
    const int speedUp = SpeedUp();
    long wakeUps = 0;
    for (auto _ : bench) {
        std::atomic<bool> stop{false};
        wakeUps = PollingLoop(stop, 5, speedUp, 12);
    }
    bench.counters["wakeups_per_min"] = static_cast<double>(wakeUps);
}
BENCHMARK(BM_WakeUpsPerMinute_Polling500ms)->Unit(benchmark::kMillisecond)->Iterations(1);

// 10,000 cycles of probe, count, report and wait against a fake prober.
void BM_LoopCpu_10000Cycles(benchmark::State& bench) {
    NoLookup resolver;
    NoRelookup lookups;
    NullSink sink;
    for (auto _ : bench) {
        auto state = std::make_shared<MonitorState>();
        state->storeSettings(LoopSettings(1));
        state->prepareStart();
        InstantProber prober(*state, 10000);
        JumpingClock clock;
        ProbeLoop(state, resolver, lookups, prober, sink, clock).run();
    }
    bench.SetItemsProcessed(bench.iterations() * 10000);
}
BENCHMARK(BM_LoopCpu_10000Cycles)->Unit(benchmark::kMicrosecond);

// The loop's memory must not grow with the cycles: anonymous resident memory
// before the loop, after 1,000 and after 10,000 cycles, in kB.
void BM_LoopMemory_10000Cycles(benchmark::State& bench) {
    NoLookup resolver;
    NoRelookup lookups;
    NullSink sink;
    for (auto _ : bench) {
        auto state = std::make_shared<MonitorState>();
        state->storeSettings(LoopSettings(1));
        state->prepareStart();
        InstantProber prober(*state, 10000);
        JumpingClock clock;
        const long before = RssAnonKb();
        ProbeLoop(state, resolver, lookups, prober, sink, clock).run();
        bench.counters["rss_before_kb"] = static_cast<double>(before);
        bench.counters["rss_after_1000_kb"] = static_cast<double>(prober.rssAfter1000Kb);
        bench.counters["rss_after_10000_kb"] = static_cast<double>(prober.rssAtStopKb);
    }
}
BENCHMARK(BM_LoopMemory_10000Cycles)->Iterations(1)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace vorlane
