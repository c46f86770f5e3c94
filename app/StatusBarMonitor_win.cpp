// The status bar's side of the monitor and the drop alarm: it starts and
// stops the worker, hands it the confirmed settings, and passes the worker's
// messages and the countdown timer to the alarm.
#include "app/StatusBarWindow.h"

#include "alarm/DropAlarm.h"
#include "alarm/WindowAlarmActions_win.h"
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
    alarm_ = std::make_unique<DropAlarm>(std::make_unique<WindowAlarmActions>(
        hwnd(), kCountdownTimerId, display().appPath, std::move(show)));
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

void StatusBarWindow::onProbeResult(LPARAM lParam) {
    if (!alarm_ || !monitor_) return;
    recordProbe(lParam == 0);
    alarm_->onProbeResult(lParam == 0, monitor_->failureCount());
}

void StatusBarWindow::onDropLimit() {
    recordDrop();
    if (alarm_) alarm_->onDropLimit();
}

void StatusBarWindow::onCountdownTick() {
    if (alarm_) alarm_->onCountdownTick();
}

void StatusBarWindow::applySettings(const WorkingSettingsValues& values) {
    // At start-up the "RESET" written here is cleared again by startMonitor:
    // the worker resolves the target at its start in any case.
    if (monitor_) monitor_->storeSettings(values);
    if (alarm_) alarm_->setSettings(values);
}

}  // namespace vorlane
