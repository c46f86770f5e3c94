// The DPI the bar is drawn for: that of the monitor its window is on where
// Windows says so per window (10, version 1607 on), else the system's.
#pragma once

#include <windows.h>

namespace vorlane {

int WindowDpi(HWND window);

}  // namespace vorlane
