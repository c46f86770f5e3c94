// The drop alarm's platform side on a window of the program: the media
// commands for the sound, the window's countdown timer and the core's
// command run.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "alarm/CommandWatch_win.h"
#include "alarm/DropAlarm.h"

namespace vorlane {

class WindowAlarmActions : public AlarmActions {
  public:
    using ShowStatus = std::function<void(const std::wstring& text, bool red)>;
    struct MonitorHooks {
        std::function<void()> resume;
        std::function<void()> end;
    };

    // `appPath` ends with a separator; the sound is "alert.wav" in it.
    WindowAlarmActions(HWND window, UINT_PTR timerId, std::wstring appPath, ShowStatus show,
                       MonitorHooks monitor);

    void showStatus(const std::wstring& text, bool red) override { show_(text, red); }
    std::wstring soundPath() override;
    bool fileExists(const std::wstring& path) override;
    void sendSoundCommand(const std::wstring& command) override;
    void startCountdownTimer() override;
    void stopCountdownTimer() override;
    void runCommand(const std::wstring& command) override;
    void startCommand(const std::wstring& command) override;
    void resumeMonitor() override;
    void endMonitor() override;
    void noteEvent(Event event) override;
    // The program has no means of its own to shut the machine down; a
    // command line such as "shutdown /s /t 0" does that.
    void performShutdown() override;
    void logEvent(const char* event, const LogDetails& details) override;

  private:
    HWND window_;
    UINT_PTR timerId_;
    std::wstring appPath_;
    ShowStatus show_;
    MonitorHooks monitor_;
    // The recovery commands, whose end the window learns of by message.
    CommandWatch started_;
};

}  // namespace vorlane
