// The Windows side of the one-copy rule (see SingleInstance.h).
#pragma once

#include <windows.h>

#include <string>

#include "framework/Handles.h"

namespace vorlane {

class SingleInstanceGuard {
  public:
    // Takes the settings file's mutex, or finds that another copy has it.
    explicit SingleInstanceGuard(const std::wstring& settingsPath);

    // False when another copy runs on the same settings file. A mutex that
    // cannot be made at all does not count as another copy.
    bool isFirst() const { return first_; }
    // Asks the copy that holds the mutex to bring its bar to the front.
    void bringRunningCopyToFront() const;

  private:
    std::wstring path_;
    framework::UniqueHandle mutex_;
    bool first_ = true;
};

// The message the bar answers by coming to the front (0 if it cannot be
// registered).
UINT ComeToFrontMessage(const std::wstring& settingsPath);

}  // namespace vorlane
