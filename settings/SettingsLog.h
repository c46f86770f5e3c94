// Confirmed settings as the event log's "settings" line gives them: every
// key that the table of settings shows in the log, in table order, with its
// value as the store keeps it. Portable.
#pragma once

#include "core/EventLog.h"
#include "core/WorkingSettings.h"

namespace vorlane {

LogDetails DescribeSettings(const WorkingSettingsValues& values);

}  // namespace vorlane
