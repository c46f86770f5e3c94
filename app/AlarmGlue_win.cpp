#include "app/AlarmGlue_win.h"

#include "framework/AppMessages.h"
#include "core/EventLog_win.h"
#include "monitor/MonitorController.h"

namespace vorlane {

AlarmGlue::AlarmGlue(HWND window, const std::wstring& appPath, MonitorController& monitor,
                     WindowAlarmActions::ShowStatus show)
    : window_(window),
      alarm_(std::make_unique<WindowAlarmActions>(
          window, kCountdownTimerId, appPath, std::move(show),
          WindowAlarmActions::MonitorHooks{[&monitor] { monitor.resume(); },
                                           [&monitor] { monitor.end(); }})) {}

AlarmGlue::~AlarmGlue() { ::KillTimer(window_, kCountdownTimerId); }

bool AlarmGlue::handle(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_TIMER:
            if (wParam != kCountdownTimerId) return false;
            alarm_.onCountdownTick();
            return true;
        case WM_STARTED_COMMAND_ENDED:
            ProgramLog().write("ranup",
                               LogDetails()
                                   .add(L"code", static_cast<long long>(wParam))
                                   .addSeconds(L"duration", static_cast<long long>(lParam)));
            return true;
        default:
            return false;
    }
}

}  // namespace vorlane
