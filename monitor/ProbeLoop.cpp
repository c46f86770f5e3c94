#include "monitor/ProbeLoop.h"

#include <algorithm>
#include <chrono>
#include <climits>

namespace vorlane {

namespace {
constexpr std::int64_t kLongestSingleWaitMs = 3600 * 1000;
}

std::int64_t SteadyWaitClock::nowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void SteadyWaitClock::waitUntil(std::unique_lock<std::mutex>& lock, std::condition_variable& wake,
                                std::int64_t deadlineMs) {
    std::int64_t left = std::min(deadlineMs - nowMs(), kLongestSingleWaitMs);
    if (left <= 0) return;
    wake.wait_for(lock, std::chrono::milliseconds(left));
}

ProbeLoop::ProbeLoop(std::shared_ptr<MonitorState> state, Resolver& resolver, Prober& prober,
                     MonitorSink& sink, WaitClock& clock)
    : state_(std::move(state)), resolver_(resolver), prober_(prober), sink_(sink), clock_(clock) {}

void ProbeLoop::run() {
    bool stopped;
    {
        std::lock_guard<std::mutex> lock(state_->mutex_);
        state_->phase_ = WorkerPhase::Busy;
        stopped = state_->command_ == Command::Stop;
    }
    if (!stopped) {
        while (topOfCycle()) {
            if (!probeAndReport()) break;
            wait();
        }
    }
    {
        std::lock_guard<std::mutex> lock(state_->mutex_);
        state_->phase_ = WorkerPhase::Ended;
    }
    sink_.ended();
}

bool ProbeLoop::topOfCycle() {
    // The first cycle resolves the target the loop starts with.
    bool resolveNow = !resolvedOnce_;
    resolvedOnce_ = true;
    {
        std::lock_guard<std::mutex> lock(state_->mutex_);
        if (state_->command_ == Command::Stop) return false;
        if (state_->command_ == Command::Reset) {
            // Taken up under the lock, so a "STOP" written after this point
            // is never replaced by the empty word.
            state_->command_ = Command::None;
            state_->failureCount_.store(0, std::memory_order_release);
            resolveNow = true;
        }
    }
    if (resolveNow || target_.retryLookup()) resolve();
    return true;
}

void ProbeLoop::resolve() {
    std::shared_ptr<const WorkingSettingsValues> settings;
    std::uint64_t generation;
    {
        std::lock_guard<std::mutex> lock(state_->mutex_);
        settings = state_->settings_;
        generation = state_->generation_;
    }
    // The lookup runs without the lock: it can take as long as the name
    // service likes, and the UI thread must never wait for it.
    target_ = ResolveTarget(settings->target, resolver_);
    std::lock_guard<std::mutex> lock(state_->mutex_);
    // A target stored meanwhile is newer than this answer; the "RESET" that
    // came with it resolves it at the next top of cycle.
    if (state_->generation_ == generation) state_->workingTarget_ = target_.text;
}

bool ProbeLoop::probeAndReport() {
    bool answered = target_.usable() && prober_.probe(target_.address);
    if (answered) {
        state_->failureCount_.store(0, std::memory_order_release);
        sink_.probeResult(true);
        return true;
    }
    int count = state_->failureCount_.load(std::memory_order_relaxed);
    if (count < INT_MAX) ++count;
    // Counted before the report, so the figure the bar shows includes it.
    state_->failureCount_.store(count, std::memory_order_release);
    sink_.probeResult(false);
    if (count == state_->settings()->tryTimes) {
        sink_.dropLimit();
        return false;
    }
    return true;
}

void ProbeLoop::wait() {
    std::unique_lock<std::mutex> lock(state_->mutex_);
    state_->phase_ = WorkerPhase::Waiting;
    const std::int64_t start = clock_.nowMs();
    // The deadline is worked out again on every wake-up, so that an interval
    // stored during the wait moves the end of this same wait. 64-bit
    // milliseconds hold any int of seconds.
    while (state_->command_ != Command::Stop) {
        const int interval = state_->settings_->tryInterval;
        if (interval <= 0) break;
        const std::int64_t deadline = start + static_cast<std::int64_t>(interval) * 1000;
        if (clock_.nowMs() >= deadline) break;
        clock_.waitUntil(lock, state_->wake_, deadline);
    }
    state_->phase_ = WorkerPhase::Busy;
}

}  // namespace vorlane
