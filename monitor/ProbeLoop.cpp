#include "monitor/ProbeLoop.h"

#include <algorithm>
#include <chrono>
#include <climits>

#include "monitor/TargetList.h"

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
            if (afterLimit_ && !probingAfterLimit()) {
                waitForCommand();
                continue;
            }
            probeAndReport();
            if (!afterLimit_ || probingAfterLimit()) wait();
        }
    }
    {
        std::lock_guard<std::mutex> lock(state_->mutex_);
        state_->phase_ = WorkerPhase::Ended;
    }
    sink_.ended();
}

bool ProbeLoop::probingAfterLimit() const { return state_->settings()->cancelOnUp; }

bool ProbeLoop::topOfCycle() {
    // The first cycle resolves the targets the loop starts with.
    bool resolveAll = !resolvedOnce_;
    resolvedOnce_ = true;
    {
        std::lock_guard<std::mutex> lock(state_->mutex_);
        const Command command = state_->command_;
        if (command == Command::Stop) return false;
        if (command == Command::Reset || command == Command::Resume) {
            // Taken up under the lock, so a "STOP" written after this point
            // is never replaced by the empty word.
            state_->command_ = Command::None;
            state_->failureCount_.store(0, std::memory_order_release);
            resolveAll = true;
            if (command == Command::Resume) {
                afterLimit_ = false;
            } else {
                // New settings: "armfirst" waits for an answer again. A
                // drop being acted on stays so until the alarm resumes.
                answeredOnce_ = false;
                state_->waitingProbes_.store(0, std::memory_order_release);
            }
        }
    }
    bool retry = false;
    for (const ResolvedTarget& target : targets_) retry = retry || target.retryLookup();
    if (resolveAll || retry) resolve(resolveAll);
    return true;
}

void ProbeLoop::resolve(bool all) {
    std::shared_ptr<const WorkingSettingsValues> settings;
    std::uint64_t generation;
    {
        std::lock_guard<std::mutex> lock(state_->mutex_);
        settings = state_->settings_;
        generation = state_->generation_;
    }
    // The lookups run without the lock: they can take as long as the name
    // service likes, and the UI thread must never wait for them.
    const std::vector<std::wstring> entries = SplitTargets(settings->target);
    if (all) targets_.assign(entries.size(), ResolvedTarget());
    // Each name on its own, all at once: a name server that is slow for one
    // name holds up neither the others nor the cycle by more than itself.
    std::vector<std::size_t> due;
    for (std::size_t i = 0; i < entries.size() && i < targets_.size(); ++i) {
        if (all || targets_[i].retryLookup()) due.push_back(i);
    }
    ForEachAtOnce(due.size(), [&](std::size_t k) {
        targets_[due[k]] = ResolveTarget(entries[due[k]], resolver_);
    });
    std::vector<std::size_t> changed;
    {
        std::lock_guard<std::mutex> lock(state_->mutex_);
        // Targets stored meanwhile are newer than these answers; the "RESET"
        // that came with them resolves them at the next top of cycle.
        if (state_->generation_ != generation) return;
        state_->targets_.resize(targets_.size());
        for (std::size_t i = 0; i < targets_.size(); ++i) {
            MonitorState::TargetStatus& status = state_->targets_[i];
            if (status.address == targets_[i].text) continue;
            status.address = targets_[i].text;
            status.roundTripMs = -1;
            changed.push_back(i);
        }
    }
    for (std::size_t i : changed) sink_.targetResolved(i, targets_[i].text);
}

void ProbeLoop::probeAndReport() {
    std::vector<Ipv4Address> addresses;
    std::vector<std::size_t> probed;
    for (std::size_t i = 0; i < targets_.size(); ++i) {
        if (!targets_[i].usable()) continue;
        addresses.push_back(targets_[i].address);
        probed.push_back(i);
    }
    const int timeoutMs = state_->settings()->timeoutMs;
    const std::vector<std::optional<int>> answers = ProbeAll(prober_, addresses, timeoutMs);
    int quickest = -1;
    {
        std::lock_guard<std::mutex> lock(state_->mutex_);
        for (std::size_t k = 0; k < answers.size(); ++k) {
            const int rtt = answers[k] ? std::max(*answers[k], 0) : -1;
            if (probed[k] < state_->targets_.size()) state_->targets_[probed[k]].roundTripMs = rtt;
            if (rtt >= 0 && (quickest < 0 || rtt < quickest)) quickest = rtt;
        }
    }
    bool answered = false;
    for (const auto& answer : answers) answered = answered || answer.has_value();
    if (answered) {
        answeredOnce_ = true;
        state_->waitingProbes_.store(0, std::memory_order_release);
        state_->failureCount_.store(0, std::memory_order_release);
        sink_.probeResult(ProbeOutcome::Answered, quickest);
        return;
    }
    if (afterLimit_) {
        // Only an answer matters while the alarm counts down.
        sink_.probeResult(ProbeOutcome::Missed, -1);
        return;
    }
    if (state_->settings()->armFirst && !answeredOnce_) {
        int waiting = state_->waitingProbes_.load(std::memory_order_relaxed);
        if (waiting < INT_MAX) ++waiting;
        state_->waitingProbes_.store(waiting, std::memory_order_release);
        sink_.probeResult(ProbeOutcome::Waiting, -1);
        return;
    }
    int count = state_->failureCount_.load(std::memory_order_relaxed);
    if (count < INT_MAX) ++count;
    // Counted before the report, so the figure the bar shows includes it.
    state_->failureCount_.store(count, std::memory_order_release);
    sink_.probeResult(ProbeOutcome::Missed, -1);
    if (count == state_->settings()->tryTimes) {
        afterLimit_ = true;
        sink_.dropLimit();
    }
}

void ProbeLoop::wait() {
    std::unique_lock<std::mutex> lock(state_->mutex_);
    state_->phase_ = WorkerPhase::Waiting;
    const std::int64_t start = clock_.nowMs();
    // The deadline is worked out again on every wake-up, so that an interval
    // stored during the wait moves the end of this same wait. 64-bit
    // milliseconds hold any int of seconds.
    while (state_->command_ != Command::Stop && state_->command_ != Command::Resume) {
        const int interval = state_->settings_->tryInterval;
        if (interval <= 0) break;
        const std::int64_t deadline = start + static_cast<std::int64_t>(interval) * 1000;
        if (clock_.nowMs() >= deadline) break;
        clock_.waitUntil(lock, state_->wake_, deadline);
    }
    state_->phase_ = WorkerPhase::Busy;
}

void ProbeLoop::waitForCommand() {
    std::unique_lock<std::mutex> lock(state_->mutex_);
    state_->phase_ = WorkerPhase::Waiting;
    while (state_->command_ == Command::None) {
        clock_.waitUntil(lock, state_->wake_, clock_.nowMs() + kLongestSingleWaitMs);
    }
    state_->phase_ = WorkerPhase::Busy;
}

}  // namespace vorlane
