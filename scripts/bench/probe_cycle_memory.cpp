// Memory of the probe loop over many cycles, natively against a prober that
// answers at once and a clock that jumps to each deadline: the process's
// anonymous resident memory (RssAnon) before the loop, after 1,000 and after
// 10,000 cycles.
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>

#include "monitor/ProbeLoop.h"

namespace {

long RssAnonKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("RssAnon:", 0) == 0) return std::stol(line.substr(8));
    }
    return -1;
}

class NoLookup : public vorlane::Resolver {
public:
    std::wstring lookupHost(const std::wstring&) override { return vorlane::kLookupFailed; }
};

class CountingProber : public vorlane::Prober {
public:
    explicit CountingProber(vorlane::MonitorState& state) : state_(state) {}
    bool probe(const vorlane::Ipv4Address&) override {
        ++probes;
        if (probes == 1000) after1000 = RssAnonKb();
        if (probes == 10000) {
            after10000 = RssAnonKb();
            state_.requestStop();
        }
        return true;
    }
    long probes = 0, after1000 = 0, after10000 = 0;

private:
    vorlane::MonitorState& state_;
};

class NullSink : public vorlane::MonitorSink {
public:
    void probeResult(bool) override {}
    void dropLimit() override {}
    void ended() override {}
};

class JumpingClock : public vorlane::WaitClock {
public:
    std::int64_t nowMs() override { return now_; }
    void waitUntil(std::unique_lock<std::mutex>&, std::condition_variable&,
                   std::int64_t deadlineMs) override {
        now_ = deadlineMs;
    }

private:
    std::int64_t now_ = 0;
};

}  // namespace

int main() {
    auto state = std::make_shared<vorlane::MonitorState>();
    vorlane::WorkingSettingsValues values;
    values.target = L"127.0.0.1";
    values.tryTimes = 0;
    values.tryInterval = 1;
    state->storeSettings(values);
    state->prepareStart();
    NoLookup resolver;
    CountingProber prober(*state);
    NullSink sink;
    JumpingClock clock;
    const long before = RssAnonKb();
    vorlane::ProbeLoop(state, resolver, prober, sink, clock).run();
    std::printf("%ld %ld %ld\n", before, prober.after1000, prober.after10000);
    return 0;
}
