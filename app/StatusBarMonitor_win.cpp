// The status bar's side of the monitor and the drop alarm. Placeholder until
// the monitor lands: results are ignored and nothing is probed.
#include "app/StatusBarWindow.h"
#include "alarm/DropAlarm.h"
#include "monitor/MonitorController.h"

namespace vorlane {

void StatusBarWindow::createMonitor() { monitor_ = std::make_unique<MonitorController>(hwnd()); }
void StatusBarWindow::startMonitor() {}
void StatusBarWindow::stopMonitor() {}
void StatusBarWindow::onProbeResult(LPARAM) {}
void StatusBarWindow::onDropLimit() {}
void StatusBarWindow::onCountdownTick() {}
void StatusBarWindow::applySettings(const WorkingSettingsValues& values, bool) {
    monitor_->storeSettings(values);
}

}  // namespace vorlane
