// Confirmed settings as the event log's "settings" line gives them: every
// key of the dialog with its value, as the settings file names them.
// Portable.
#pragma once

#include "core/EventLog.h"
#include "core/WorkingSettings.h"

namespace vorlane {

LogDetails DescribeSettings(const WorkingSettingsValues& values);

}  // namespace vorlane
