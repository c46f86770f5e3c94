#include "monitor/MonitorController.h"

#include <system_error>

#include "core/Digits.h"
#include "core/Trace.h"
#include "framework/AppMessages.h"
#include "monitor/IcmpProber_win.h"
#include "monitor/ProbeLoop.h"
#include "monitor/SystemProber_win.h"

namespace vorlane {

namespace {

// The worker's only way to the window: posted messages, never sent ones.
class PostMessageSink : public MonitorSink {
  public:
    explicit PostMessageSink(HWND owner) : owner_(owner) {}
    void probeResult(ProbeOutcome outcome, int roundTripMs) override {
        LPARAM kind = kProbeAnswered;
        switch (outcome) {
            case ProbeOutcome::Answered:
                break;
            case ProbeOutcome::Missed:
                kind = kProbeMissed;
                break;
            case ProbeOutcome::Waiting:
                kind = kProbeWaiting;
                break;
            case ProbeOutcome::Grace:
                kind = kProbeGrace;
                break;
            case ProbeOutcome::Recovering:
                kind = kProbeRecovering;
                break;
            case ProbeOutcome::Unsupported:
                kind = kProbeUnsupported;
                break;
        }
        const WPARAM rtt = roundTripMs > 0 ? static_cast<WPARAM>(roundTripMs) : 0;
        ::PostMessageW(owner_, WM_PROBE_RESULT, rtt, kind);
    }
    void targetResolved(std::size_t index, const std::wstring&) override {
        ::PostMessageW(owner_, WM_TARGET_RESOLVED, static_cast<WPARAM>(index), 0);
    }
    void lookupFailed(std::size_t index) override {
        ::PostMessageW(owner_, WM_LOOKUP_FAILED, static_cast<WPARAM>(index), 0);
    }
    void clockJumped() override { ::PostMessageW(owner_, WM_CLOCK_JUMPED, 0, 0); }
    void probeUnsupported(std::size_t index) override {
        Trace(L"monitor", L"unsupported\t" + Decimal(index));
        ::PostMessageW(owner_, WM_PROBE_UNSUPPORTED, static_cast<WPARAM>(index), 0);
    }
    void dropLimit() override { ::PostMessageW(owner_, WM_DROP_LIMIT, 0, 0); }
    void ended() override { ::PostMessageW(owner_, WM_MONITOR_ENDED, 0, 0); }

  private:
    HWND owner_;
};

void RunWorker(std::shared_ptr<MonitorState> state, HWND owner) {
    auto resolver = std::make_shared<WinsockResolver>();
    ThreadLookupStarter lookups(resolver);
    SystemProber prober;
    PostMessageSink sink(owner);
    SteadyWaitClock clock;
    ProbeLoop(std::move(state), *resolver, lookups, prober, sink, clock).run();
}

}  // namespace

MonitorController::MonitorController(HWND owner)
    : owner_(owner), state_(std::make_shared<MonitorState>()) {}

MonitorController::~MonitorController() { stop(); }

void MonitorController::storeSettings(const WorkingSettingsValues& values) {
    state_->storeSettings(values);
}

bool MonitorController::start() {
    if (started_) return true;
    started_ = true;
    // The worker resolves the target at its start anyway; the start-up
    // confirmation's "RESET" would only make it do so twice.
    state_->prepareStart();
    try {
        worker_ = std::thread(RunWorker, state_, owner_);
    } catch (const std::system_error&) {
        ::MessageBoxW(owner_, L"Cannot Start New Thread", L"Vorlane", MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    return true;
}

void MonitorController::resume() { state_->requestResume(); }

void MonitorController::end() { state_->requestStop(); }

void MonitorController::stop() {
    const WorkerPhase phase = state_->requestStop();
    if (!worker_.joinable()) return;
    // Not yet started, waiting or done: the worker is at a point where it
    // looks at the word next, so the join is immediate.
    if (phase != WorkerPhase::Busy) {
        worker_.join();
    } else {
        worker_.detach();
    }
}

}  // namespace vorlane
