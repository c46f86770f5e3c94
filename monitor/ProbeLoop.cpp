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

std::int64_t SteadyWaitClock::wallMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

void SteadyWaitClock::waitUntil(std::unique_lock<std::mutex>& lock, std::condition_variable& wake,
                                std::int64_t deadlineMs) {
    std::int64_t left = std::min(deadlineMs - nowMs(), kLongestSingleWaitMs);
    if (left <= 0) return;
    wake.wait_for(lock, std::chrono::milliseconds(left));
}

ProbeLoop::ProbeLoop(std::shared_ptr<MonitorState> state, Resolver& resolver,
                     LookupStarter& lookups, Prober& prober, MonitorSink& sink, WaitClock& clock)
    : state_(std::move(state)),
      resolver_(resolver),
      lookups_(lookups),
      prober_(prober),
      sink_(sink),
      clock_(clock) {}

void ProbeLoop::run() {
    bool stopped;
    {
        std::lock_guard<std::mutex> lock(state_->mutex_);
        state_->phase_ = WorkerPhase::Busy;
        stopped = state_->command_ == Command::Stop;
    }
    configureRule();
    if (!stopped) {
        while (topOfCycle()) {
            if (afterLimit_ && !probingAfterLimit()) {
                waitForCommand();
                continue;
            }
            probeAndReport();
            startDueLookups(false);
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

void ProbeLoop::configureRule() {
    const auto settings = state_->settings();
    rule_.configure(settings->tryTimes, settings->tryWindow, settings->upAfter);
}

bool ProbeLoop::waitWhileHeld() {
    std::unique_lock<std::mutex> lock(state_->mutex_);
    if (!state_->asleep_ && !state_->paused_) return state_->command_ != Command::Stop;
    state_->phase_ = WorkerPhase::Waiting;
    while ((state_->asleep_ || state_->paused_) && state_->command_ != Command::Stop) {
        clock_.waitUntil(lock, state_->wake_, clock_.nowMs() + kLongestSingleWaitMs);
    }
    state_->phase_ = WorkerPhase::Busy;
    // Time held is no jump of the clocks.
    expectedGapMs_ = 0;
    return state_->command_ != Command::Stop;
}

bool ProbeLoop::topOfCycle() {
    if (!waitWhileHeld()) return false;
    // The first cycle resolves the targets the loop starts with.
    bool resolveAll = !resolvedOnce_;
    resolvedOnce_ = true;
    bool newSettings = false;
    bool lookAgain = false;
    bool woke = false;
    {
        std::lock_guard<std::mutex> lock(state_->mutex_);
        const Command command = state_->command_;
        if (command == Command::Stop) return false;
        if (command == Command::Reset || command == Command::Resume) {
            // Taken up under the lock, so a "STOP" written after this point
            // is never replaced by the empty word.
            state_->command_ = Command::None;
            state_->failureCount_.store(0, std::memory_order_release);
            if (command == Command::Resume) {
                // The same targets: their names are looked up again in the
                // background, and the last good addresses probed meanwhile.
                afterLimit_ = false;
                lookAgain = true;
            } else {
                resolveAll = true;
                // New settings: "armfirst" waits for an answer again. A
                // drop being acted on stays so until the alarm resumes.
                answeredOnce_ = false;
                state_->waitingProbes_.store(0, std::memory_order_release);
                newSettings = true;
            }
        }
        if (state_->restart_) {
            state_->restart_ = false;
            state_->failureCount_.store(0, std::memory_order_release);
            rule_.restart();
            lastCycleAnswered_ = true;
        }
        woke = state_->woke_;
        state_->woke_ = false;
    }
    if (newSettings) {
        configureRule();
    } else if (resolveAll || lookAgain) {
        rule_.restart();
    }
    if (resolveAll || lookAgain) lastCycleAnswered_ = true;
    if (!woke) checkClocks();
    bool retry = false;
    for (const ResolvedTarget& target : targets_) retry = retry || target.retryLookup();
    if (resolveAll || retry) resolve(resolveAll);
    if (woke) wokeUp();
    if (lookAgain) startDueLookups(true);
    collectLookups();
    return true;
}

void ProbeLoop::checkClocks() {
    const std::int64_t now = clock_.nowMs();
    const std::int64_t wall = clock_.wallMs();
    const bool jumped = expectedGapMs_ > 0 &&
                        LooksLikeAResume(now - lastLookMs_, wall - lastLookWallMs_, expectedGapMs_);
    expectedGapMs_ = 0;
    if (!jumped) return;
    sink_.clockJumped();
    wokeUp();
}

void ProbeLoop::wokeUp() {
    grace_.start(clock_.nowMs(), state_->settings()->resumeGrace);
    rule_.restart();
    state_->failureCount_.store(0, std::memory_order_release);
    lastCycleAnswered_ = true;
    // The network may have moved while the machine slept.
    startDueLookups(true);
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
    const std::vector<std::wstring> oldEntries = entries_;
    const std::vector<ResolvedTarget> oldTargets = targets_;
    if (all) {
        targets_.assign(entries.size(), ResolvedTarget());
        names_.assign(entries.size(), NameWatch());
        if (entries != entries_) unsupportedTold_.assign(entries.size(), false);
        entries_ = entries;
    }
    // Each name on its own, all at once: a name server that is slow for one
    // name holds up neither the others nor the cycle by more than itself.
    std::vector<std::size_t> due;
    for (std::size_t i = 0; i < entries.size() && i < targets_.size(); ++i) {
        if (all || targets_[i].retryLookup()) due.push_back(i);
    }
    ForEachAtOnce(due.size(), [&](std::size_t k) {
        targets_[due[k]] = ResolveTarget(entries[due[k]], resolver_);
    });
    const std::int64_t now = clock_.nowMs();
    for (std::size_t i : due) {
        NameWatch& name = names_[i];
        const TargetSpec spec = ParseTarget(entries[i]);
        name.host = spec.kind == TargetSpec::Kind::HostName ? spec.host : std::wstring();
        name.lastLookupMs = now;
        // A name server that is down keeps the address the same entry had.
        if (all && targets_[i].state == ResolvedTarget::State::LookupFailed &&
            i < oldEntries.size() && oldEntries[i] == entries[i] && oldTargets[i].usable()) {
            targets_[i] = oldTargets[i];
            name.failing = true;
            sink_.lookupFailed(i);
        }
    }
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

void ProbeLoop::setTarget(std::size_t index, const ResolvedTarget& target) {
    targets_[index] = target;
    {
        std::lock_guard<std::mutex> lock(state_->mutex_);
        if (index >= state_->targets_.size()) return;
        state_->targets_[index].address = target.text;
        state_->targets_[index].roundTripMs = -1;
    }
    sink_.targetResolved(index, target.text);
}

void ProbeLoop::collectLookups() {
    for (std::size_t i = 0; i < names_.size() && i < targets_.size() && i < entries_.size(); ++i) {
        NameWatch& name = names_[i];
        std::wstring answer;
        if (!name.pending || !name.pending->take(answer)) continue;
        name.pending.reset();
        const ResolvedTarget found = FromLookupAnswer(ParseTarget(entries_[i]), answer);
        if (found.usable()) {
            name.failing = false;
            if (found.text != targets_[i].text) setTarget(i, found);
        } else if (!name.failing) {
            // The last good address is probed on; said once per outage of
            // the name service.
            name.failing = true;
            sink_.lookupFailed(i);
        }
    }
}

void ProbeLoop::startDueLookups(bool force) {
    const std::int64_t now = clock_.nowMs();
    for (std::size_t i = 0; i < names_.size() && i < targets_.size(); ++i) {
        NameWatch& name = names_[i];
        // A name that never resolved is looked up at the top of each cycle.
        if (name.host.empty() || !targets_[i].usable()) continue;
        const bool underWay = name.pending != nullptr;
        if (force ? underWay
                  : !RelookupDue(now, name.lastLookupMs, name.missedLastCycle, underWay)) {
            continue;
        }
        auto pending = std::make_shared<PendingLookup>();
        if (!lookups_.start(name.host, pending)) continue;
        name.pending = std::move(pending);
        name.lastLookupMs = now;
    }
}

void ProbeLoop::probeAndReport() {
    std::vector<ProbeTarget> probes;
    std::vector<std::size_t> probed;
    for (std::size_t i = 0; i < targets_.size(); ++i) {
        if (!targets_[i].usable()) continue;
        probes.push_back(targets_[i].probeTarget());
        probed.push_back(i);
    }
    const auto settings = state_->settings();
    const std::vector<ProbeAnswer> answers = ProbeAll(prober_, probes, settings->timeoutMs);
    int quickest = -1;
    {
        std::lock_guard<std::mutex> lock(state_->mutex_);
        // A sleep or a pause that began during the probes: the machine may
        // have been going away, so the cycle says nothing.
        if (state_->asleep_ || state_->paused_) return;
        for (std::size_t k = 0; k < answers.size(); ++k) {
            const int rtt = answers[k].answered() ? std::max(answers[k].roundTripMs, 0) : -1;
            if (probed[k] < state_->targets_.size()) state_->targets_[probed[k]].roundTripMs = rtt;
            if (rtt >= 0 && (quickest < 0 || rtt < quickest)) quickest = rtt;
        }
    }
    bool answered = false;
    std::size_t unsupported = 0;
    for (std::size_t k = 0; k < answers.size(); ++k) {
        const ProbeAnswer::Status status = answers[k].status;
        answered = answered || status == ProbeAnswer::Status::Answered;
        if (probed[k] < names_.size()) {
            names_[probed[k]].missedLastCycle = status == ProbeAnswer::Status::Unanswered;
        }
        if (status != ProbeAnswer::Status::Unsupported) continue;
        ++unsupported;
        if (probed[k] < unsupportedTold_.size() && !unsupportedTold_[probed[k]]) {
            unsupportedTold_[probed[k]] = true;
            sink_.probeUnsupported(probed[k]);
        }
    }
    lastCycleAnswered_ = answered;
    if (answered) {
        answeredOnce_ = true;
        grace_.end();
        state_->waitingProbes_.store(0, std::memory_order_release);
        const bool over = rule_.answer();
        state_->failureCount_.store(rule_.count(), std::memory_order_release);
        sink_.probeResult(over ? ProbeOutcome::Answered : ProbeOutcome::Recovering, quickest);
        return;
    }
    // A target that cannot be probed here is left out; when that leaves no
    // target at all, nothing was sent and nothing can be counted.
    if (unsupported > 0 && unsupported == targets_.size()) {
        lastCycleAnswered_ = true;
        sink_.probeResult(ProbeOutcome::Unsupported, -1);
        return;
    }
    if (afterLimit_) {
        // Only an answer matters while the alarm counts down; a miss breaks
        // a run of answers all the same.
        rule_.miss();
        sink_.probeResult(ProbeOutcome::Missed, -1);
        return;
    }
    const std::int64_t now = clock_.nowMs();
    if (grace_.active(now)) {
        state_->graceSecondsLeft_.store(grace_.secondsLeft(now), std::memory_order_release);
        sink_.probeResult(ProbeOutcome::Grace, -1);
        return;
    }
    if (settings->armFirst && !answeredOnce_) {
        int waiting = state_->waitingProbes_.load(std::memory_order_relaxed);
        if (waiting < INT_MAX) ++waiting;
        state_->waitingProbes_.store(waiting, std::memory_order_release);
        sink_.probeResult(ProbeOutcome::Waiting, -1);
        return;
    }
    countMiss();
}

void ProbeLoop::countMiss() {
    const bool drop = rule_.miss();
    // Counted before the report, so the figure the bar shows includes it.
    state_->failureCount_.store(rule_.count(), std::memory_order_release);
    sink_.probeResult(ProbeOutcome::Missed, -1);
    if (drop) {
        afterLimit_ = true;
        sink_.dropLimit();
    }
}

void ProbeLoop::wait() {
    std::unique_lock<std::mutex> lock(state_->mutex_);
    state_->phase_ = WorkerPhase::Waiting;
    const std::int64_t start = clock_.nowMs();
    const std::int64_t startWall = clock_.wallMs();
    // The deadline is worked out again on every wake-up, so that an interval
    // stored during the wait moves the end of this same wait. 64-bit
    // milliseconds hold any int of seconds.
    int interval = 0;
    while (state_->command_ != Command::Stop && state_->command_ != Command::Resume &&
           !state_->asleep_ && !state_->paused_) {
        interval = CycleIntervalSeconds(state_->settings_->tryInterval,
                                        state_->settings_->retryInterval, lastCycleAnswered_);
        if (interval <= 0) break;
        const std::int64_t deadline = start + static_cast<std::int64_t>(interval) * 1000;
        if (clock_.nowMs() >= deadline) break;
        clock_.waitUntil(lock, state_->wake_, deadline);
    }
    state_->phase_ = WorkerPhase::Busy;
    lastLookMs_ = start;
    lastLookWallMs_ = startWall;
    expectedGapMs_ = std::max(interval, 0) * 1000LL;
}

void ProbeLoop::waitForCommand() {
    std::unique_lock<std::mutex> lock(state_->mutex_);
    state_->phase_ = WorkerPhase::Waiting;
    while (state_->command_ == Command::None) {
        clock_.waitUntil(lock, state_->wake_, clock_.nowMs() + kLongestSingleWaitMs);
    }
    state_->phase_ = WorkerPhase::Busy;
    expectedGapMs_ = 0;
}

}  // namespace vorlane
