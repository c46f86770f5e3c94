// The application: it owns the run, the core with the stored settings, the
// monitor, the alarm, the record with its log, and the bar, and starts them
// in order (settings, the dialog or /auto, the bar, the monitor), then runs
// the message loop and ends them in order. Its own hidden window takes what
// the worker and the alarm post, the countdown's timer and the broadcasts;
// the bar is a view it tells what to show and hears from.
#pragma once

#include <windows.h>

#include <memory>

#include "app/CommandLine.h"
#include "app/RunRecord_win.h"
#include "app/StatusBar_win.h"
#include "app/TrayGlue_win.h"
#include "core/SettingsPlace.h"
#include "framework/Application.h"
#include "framework/HiddenWindow.h"

namespace vorlane {

class AlarmGlue;
class MonitorController;
class MonitorGlue;
class WatchHolds;
struct WorkingSettingsValues;

class App : private framework::HiddenWindow, private BarListener, private TrayGlue::Host {
  public:
    // `place` is the settings file the one-copy rule went by.
    App(HINSTANCE instance, StartOptions options, SettingsPlace place);
    ~App();

    // The whole run; the program's exit code, or kRunAsView
    // (app/ServiceView_win.h) once the dialog has installed the service.
    int run();

  private:
    // Up to the shown bar and the running monitor; false when the start-up
    // dialog was cancelled.
    bool start();
    void end();
    // The start without the dialog ("/auto"); false when the dialog has to come.
    bool startOnStoredSettings();
    // Runs the settings dialog modally; IDOK, IDCANCEL or -1.
    int runSettingsDialog();
    // Confirmed settings to the bar, the monitor, the alarm and the record.
    void applySettings(const WorkingSettingsValues& values);
    // Once: GDI+, the font, the bar's size and place.
    void layOutBar();
    void savePosition();
    // The session is ending: the monitor stopped, the place saved, the log
    // ended, the program ends.
    void endSession();
    void refreshGlance();
    // What the alarm shows: on the bar and as the icon's colour and tip.
    void showStatus(const std::wstring& text, bool red);
    // The bar and the icon as the settings want them: the bar hidden only
    // while the icon is there to show that the program runs.
    void placeViews(bool atStart);
    // What the bar's menu offers now; the icon's menu is the same.
    BarMenuState menuState() const;

    bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    bool onBarCommand(int id) override;
    void onBarMenuWanted() override;
    void onMouseOverBar() override { refreshGlance(); }
    void toggleBar() override;
    void showIconMenu() override;
    void refreshIcon() override;

    HINSTANCE instance_;
    StartOptions options_;
    SettingsPlace place_;
    UINT comeToFrontMessage_ = 0;  // registered, so not a case of a switch
    bool wantBar_ = true;
    bool red_ = false;
    int runAsView_ = 0;
    // Started when the bar is first laid out; it ends after the bar.
    framework::GdiplusSession gdiplus_;
    StatusBar bar_;
    TrayGlue tray_;
    RunRecord record_;
    std::unique_ptr<MonitorController> monitor_;
    std::unique_ptr<AlarmGlue> alarm_;
    std::unique_ptr<MonitorGlue> monitorGlue_;
    std::unique_ptr<WatchHolds> holds_;
};

}  // namespace vorlane
