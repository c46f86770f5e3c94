// The status bar's side of the monitor and the drop alarm: it starts and
// stops the worker, hands it the confirmed settings, and passes the worker's
// messages and the countdown timer to the alarm.
#include "app/StatusBarWindow.h"

#include "alarm/DropAlarm.h"
#include "alarm/WindowAlarmActions_win.h"
#include "core/Digits.h"
#include "core/EventLog_win.h"
#include "core/Trace.h"
#include "monitor/MonitorController.h"

namespace vorlane {

void StatusBarWindow::createMonitor() {
    monitor_ = std::make_unique<MonitorController>(hwnd());
    auto show = [this](const std::wstring& text, bool red) {
        setStatusText(text);
        setStatus(red);
    };
    WindowAlarmActions::MonitorHooks hooks{[this] { monitor_->resume(); },
                                           [this] { monitor_->end(); }};
    alarm_ = std::make_unique<DropAlarm>(std::make_unique<WindowAlarmActions>(
        hwnd(), kCountdownTimerId, display().appPath, std::move(show), std::move(hooks)));
}

void StatusBarWindow::startMonitor() {
    // The controller has told the user already; the log keeps it too.
    if (monitor_ && !monitor_->start()) {
        ProgramLog().write("warning", LogDetails().add(L"text", L"Cannot Start New Thread"));
    }
}

void StatusBarWindow::stopMonitor() {
    if (!monitor_) return;
    Trace(L"window", L"monitor-stopping");
    monitor_->stop();
    Trace(L"window", L"monitor-stopped");
}

void StatusBarWindow::onProbeResult(WPARAM roundTripMs, LPARAM outcome) {
    if (!alarm_ || !monitor_) return;
    if (outcome == kProbeAnswered) roundTripMs_ = static_cast<int>(roundTripMs);
    recordProbe(outcome == kProbeAnswered);
    if (outcome == kProbeWaiting) {
        alarm_->onWaitingForAnswer(monitor_->waitingProbes());
        return;
    }
    alarm_->onProbeResult(outcome == kProbeAnswered, monitor_->failureCount());
}

void StatusBarWindow::onTargetResolved(WPARAM index) {
    if (!monitor_) return;
    const auto targets = monitor_->targets();
    if (index >= targets.size()) return;
    Trace(L"target", Decimal(index) + L"\t" + targets[index].address);
    noteLookup(index, targets[index].address);
    refreshGlance();
}

void StatusBarWindow::onDropLimit() {
    recordDrop();
    if (alarm_) alarm_->onDropLimit();
}

void StatusBarWindow::cancelCountdown() {
    if (alarm_) alarm_->cancelCountdown();
}

bool StatusBarWindow::countingDown() const {
    return alarm_ && alarm_->stage() == DropAlarm::Stage::CountingDown;
}

void StatusBarWindow::onCountdownTick() {
    if (alarm_) alarm_->onCountdownTick();
}

void StatusBarWindow::applySettings(const WorkingSettingsValues& values) {
    // At start-up the "RESET" written here is cleared again by startMonitor:
    // the worker resolves the target at its start in any case.
    if (monitor_) monitor_->storeSettings(values);
    if (alarm_) alarm_->setSettings(values);
    logSettings(values);
}

}  // namespace vorlane
