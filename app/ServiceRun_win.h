// The service's run: the same monitor, alarm, command lines and log as
// "/auto" (app/MonitorGlue_win, app/AlarmGlue_win, app/RunRecord_win), on
// the installed settings file, without any window to see: no bar, no
// dialog, no sound. Its own hidden window takes what the worker and the
// alarm post, the stop the service manager asks for, and the timer that
// reads a changed settings file again. What the bar would show goes to the
// views (ServicePipe_win).
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "app/RunRecord_win.h"
#include "core/WorkingSettings.h"
#include "framework/Handles.h"
#include "framework/HiddenWindow.h"
#include "service/PipeMessage.h"
#include "service/ServicePaths_win.h"

namespace vorlane {

class AlarmGlue;
class MonitorController;
class MonitorGlue;
class ServicePipe;
class WatchHolds;

// The service-specific exit codes (README).
constexpr DWORD kServiceUnsafeFiles = 1;
constexpr DWORD kServiceSettingsRefused = 2;
constexpr DWORD kServiceCannotStart = 3;

class ServiceRun : private framework::HiddenWindow {
  public:
    // `running` tells the service manager that the service runs.
    ServiceRun(HINSTANCE instance, std::function<void()> running);
    ~ServiceRun();

    // Makes the window that takes the stop; false when it cannot be made.
    bool create();
    // The window that takes WM_SERVICE_STOP (framework/AppMessages.h),
    // posted from the service manager's thread.
    HWND window() const { return hwnd(); }
    // The whole run, to its end; 0 or a service-specific exit code.
    DWORD run();

  private:
    // 0, or the exit code of a start that cannot go on.
    DWORD start();
    void end();
    void apply(const WorkingSettingsValues& values);
    void show(const std::wstring& text, bool red);
    void publish();
    // The settings file's folder changed: read it again soon, once.
    void onFolderChanged();
    void reload();
    // Waits for messages and for changes in the settings file's folder.
    void loop();

    bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

    HINSTANCE instance_;
    std::function<void()> running_;
    ServicePaths paths_;
    WorkingSettingsValues values_;
    // The settings file as last read: its time and size.
    FILETIME readTime_ = {};
    unsigned long long readSize_ = 0;
    framework::UniqueAny<framework::FindChangeTraits> folderChanges_;
    ViewState state_;
    const wchar_t* exitReason_ = L"service-stop";
    RunRecord record_;
    std::unique_ptr<MonitorController> monitor_;
    std::unique_ptr<AlarmGlue> alarm_;
    std::unique_ptr<MonitorGlue> monitorGlue_;
    std::unique_ptr<WatchHolds> holds_;
    std::unique_ptr<ServicePipe> pipe_;
};

}  // namespace vorlane
