// Run under ThreadSanitizer as well: the UI side stores settings, writes
// "RESET" and "STOP" as fast as it can while the worker runs on real threads
// and a real clock against a fake prober.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <random>
#include <thread>

#include "monitor/ProbeLoop.h"
#include "monitor/tests/MonitorFakes.h"

namespace vorlane {
namespace {

class CountingProber : public Prober {
  public:
    std::atomic<int> probes{0};
    ProbeAnswer probe(const ProbeTarget&, int) override {
        if (++probes % 3 == 0) return ProbeAnswer::Unanswered();
        return ProbeAnswer::Answered(1);
    }
};

class CountingSink : public MonitorSink {
  public:
    std::atomic<int> results{0};
    std::atomic<int> limits{0};
    std::atomic<int> ends{0};
    void probeResult(ProbeOutcome, int) override { ++results; }
    void targetResolved(std::size_t, const std::wstring&) override {}
    void dropLimit() override { ++limits; }
    void ended() override { ++ends; }
};

struct Worker {
    std::shared_ptr<MonitorState> state = std::make_shared<MonitorState>();
    testing::FakeResolver resolver;
    testing::ManualLookups lookups;
    CountingProber prober;
    CountingSink sink;
    SteadyWaitClock clock;
};

TEST(MonitorStress, NoStopIsLostWhileTheUiStoresSettingsAndResets) {
    const wchar_t* targets[] = {L"host.lan", L"127.0.0.1", L"", L"nowhere.lan",
                                L"http://host.lan/"};
    for (int round = 0; round < 300; ++round) {
        auto worker = std::make_shared<Worker>();
        worker->resolver.answers = {{L"host.lan", L"127.0.0.1"}};
        std::mt19937 random(static_cast<unsigned>(round));
        auto settings = [&] {
            // Mostly no limit, so that only the "STOP" can end the loop.
            int tryTimes = random() % 8 == 0 ? 2 : 0;
            return testing::Settings(targets[random() % 5], tryTimes,
                                     static_cast<int>(random() % 2));
        };
        worker->state->storeSettings(settings());
        worker->state->prepareStart();

        auto done = std::make_shared<std::promise<void>>();
        std::future<void> ended = done->get_future();
        std::thread thread([worker, done] {
            ProbeLoop(worker->state, worker->resolver, worker->lookups, worker->prober,
                      worker->sink, worker->clock)
                .run();
            done->set_value();
        });

        const int steps = static_cast<int>(random() % 300);
        for (int i = 0; i < steps; ++i) {
            worker->state->storeSettings(settings());
            (void)worker->state->failureCount();
            (void)worker->state->workingTarget();
        }
        worker->state->requestStop();
        // Confirmations after the "STOP" must not revive the worker.
        for (int i = 0; i < 20; ++i) worker->state->storeSettings(settings());

        // A generous bound, only so that a lost "STOP" fails instead of
        // hanging the run.
        if (ended.wait_for(std::chrono::seconds(30)) != std::future_status::ready) {
            thread.detach();
            FAIL() << "the worker missed the STOP in round " << round;
        }
        thread.join();
        EXPECT_EQ(worker->sink.ends.load(), 1);
        EXPECT_LE(worker->sink.limits.load(), 1);
        EXPECT_EQ(worker->state->phase(), WorkerPhase::Ended);
        EXPECT_EQ(worker->state->command(), Command::Stop);
    }
}

}  // namespace
}  // namespace vorlane
