#include "app/MonitorGlue_win.h"

#include "alarm/DropAlarm.h"
#include "app/RunRecord_win.h"
#include "core/Digits.h"
#include "core/EventLog_win.h"
#include "core/Trace.h"
#include "framework/AppMessages.h"
#include "monitor/MonitorController.h"
#include "monitor/TargetList.h"

namespace vorlane {

void MonitorGlue::start() {
    if (!monitor_.start()) {
        ProgramLog().write("warning", LogDetails().add(L"text", L"Cannot Start New Thread"));
    }
}

void MonitorGlue::stop() {
    Trace(L"window", L"monitor-stopping");
    monitor_.stop();
    Trace(L"window", L"monitor-stopped");
}

bool MonitorGlue::handle(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_PROBE_RESULT:
            onProbeResult(wParam, lParam);
            return true;
        case WM_TARGET_RESOLVED:
            onTargetResolved(wParam);
            return true;
        case WM_PROBE_UNSUPPORTED: {
            const std::vector<std::wstring> typed = SplitTargets(record_.target());
            if (wParam < typed.size()) alarm_.onProbeUnsupported(typed[wParam]);
            return true;
        }
        case WM_LOOKUP_FAILED:
            Trace(L"target", Decimal(wParam) + L"\tlookup-failed");
            record_.lookupFailed(wParam);
            return true;
        case WM_CLOCK_JUMPED:
            Trace(L"power", L"clock-jump");
            record_.hold("resume", L"by", L"clock");
            return true;
        case WM_DROP_LIMIT:
            record_.drop();
            alarm_.onDropLimit();
            return true;
        case WM_MONITOR_ENDED:
            record_.monitorEnded();
            return true;
        default:
            return false;
    }
}

void MonitorGlue::onProbeResult(WPARAM roundTripMs, LPARAM outcome) {
    // Answers too few in a row to end an outage after a drop: neither the
    // link's "up" nor the alarm's recovery yet.
    if (outcome == kProbeRecovering) return;
    // No probe was sent: nothing for the link's record.
    if (outcome == kProbeUnsupported) {
        alarm_.onProbesUnsupported();
        return;
    }
    record_.probe(outcome == kProbeAnswered, static_cast<int>(roundTripMs));
    switch (outcome) {
        case kProbeWaiting:
            alarm_.onWaitingForAnswer(monitor_.waitingProbes());
            return;
        case kProbeGrace:
            alarm_.onGrace(monitor_.graceSecondsLeft());
            return;
        default:
            alarm_.onProbeResult(outcome == kProbeAnswered, monitor_.failureCount());
    }
}

void MonitorGlue::onTargetResolved(WPARAM index) {
    const auto targets = monitor_.targets();
    if (index >= targets.size()) return;
    Trace(L"target", Decimal(index) + L"\t" + targets[index].address);
    record_.lookup(index, targets[index].address);
}

}  // namespace vorlane
