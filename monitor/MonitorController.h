// Placeholder until the monitor lands: owns the state shared with the worker.
#pragma once

#include <windows.h>

#include "settings/WorkingSettings.h"

namespace vorlane {

class MonitorController {
public:
    explicit MonitorController(HWND owner) : owner_(owner) {}
    void storeSettings(const WorkingSettingsValues& values) { settings_ = values; }
    WorkingSettingsValues settings() const { return settings_; }

private:
    HWND owner_;
    WorkingSettingsValues settings_;
};

}  // namespace vorlane
