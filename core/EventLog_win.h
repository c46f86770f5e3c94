// The program's one event log on the real disk and clock.
#pragma once

#include <string>

#include "core/EventLog.h"

namespace vorlane {

// Made on first use and never destroyed, so that the last lines of a run can
// still be written while its objects are torn down. UI thread only.
EventLog& ProgramLog();

// The local time now, with its offset from UTC.
LocalTime LocalNow();

// The system's text for an error code, on one line; "错误 N" without one.
std::wstring SystemErrorText(unsigned long error);

}  // namespace vorlane
