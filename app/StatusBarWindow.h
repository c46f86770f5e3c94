// The status bar: a captionless, topmost, layered window on dialog template
// IDD_STATUSBAR whose whole face is drawn by renderStatusBar. It routes the
// mouse and the menu, filters the keyboard, hands the worker's messages to the
// drop alarm and saves its position when it is destroyed.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "app/BarPicturesAhead_win.h"
#include "app/BarSurface_win.h"
#include "app/LinkHistory.h"
#include "core/SettingsPlace.h"
#include "framework/Application.h"
#include "framework/Dialog.h"
#include "framework/Handles.h"
#include "framework/AppMessages.h"
#include "core/WorkingSettings.h"

namespace vorlane {

class MonitorController;
class DropAlarm;
class StatusBarTooltip;

constexpr UINT_PTR kCountdownTimerId = 1;

struct DisplaySettings {
    std::wstring fontName;
    int fontSize = 0;  // pixels at 96 DPI, as stored
    int dpi = 96;      // of the monitor the bar is on
    std::wstring appPath;
    int posLeft = 0;
    int posTop = 0;
    int barWidth = 0;
    int barHeight = 0;
};

class StatusBarWindow : public framework::Dialog, public framework::MessageFilter {
  public:
    // `gdiplus` is started when the bar is first laid out and must outlive
    // the bar.
    StatusBarWindow(HINSTANCE instance, framework::GdiplusSession& gdiplus);
    ~StatusBarWindow() override;

    // Keyboard filter, run by the message loop before dispatch.
    bool PreTranslateMessage(MSG& msg) override;

    // The one way to redraw the bar: StatusText first, then the frame state.
    void setStatus(bool alarm);
    void setStatusText(const std::wstring& text) { statusText_ = text; }
    const std::wstring& statusText() const { return statusText_; }

    // Runs the settings dialog modally; IDOK, IDCANCEL or -1.
    int runSettingsDialog();

    // Set before creation: start on the stored settings, without the
    // dialog, when they pass its checks ("/auto").
    void setAutoStart(bool on) { autoStart_ = on; }
    // Set before creation: the settings file chosen at start.
    void setSettingsPlace(const SettingsPlace& place) { settingsPlace_ = place; }

    const DisplaySettings& display() const { return display_; }
    // True once the window exists and its initialisation has begun.
    bool initialised() const { return initialised_; }

  protected:
    bool OnInit() override;
    bool OnCommand(int notifyCode, int id, HWND control) override;
    bool OnTimer(UINT_PTR id) override;
    void OnOK() override {}      // Enter never closes the bar
    void OnCancel() override {}  // nor does Escape
    void OnDestroy() override;
    bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

  private:
    // Layout and drawing (StatusBarRender_win.cpp).
    void prepareLayeredWindow();
    // Once, when the settings dialog has been answered (or the bar is
    // destroyed before that): GDI+, the font, the bar's size and place.
    void layOutForFirstShow();
    void layoutStatusBar();
    // Sizes the bar for a screen of `dpi`; does not move it.
    void measureBar(int dpi);
    // WM_DPICHANGED: re-laid out for the new DPI at the suggested place.
    void onDpiChanged(int dpi, const RECT& suggested);
    BarPicture barPicture() const;
    // Draws the picture of the current text and frame and shows it.
    void renderStatusBar();
    // Hands the surface's picture to the window as it is.
    void presentSurface();
    void placeOnScreen();
    void paintFallback();

    // Monitor and alarm (StatusBarMonitor_win.cpp).
    void createMonitor();
    void startMonitor();
    void stopMonitor();
    void onProbeResult(WPARAM roundTripMs, LPARAM outcome);
    void onTargetResolved(WPARAM index);
    void onDropLimit();
    void onCountdownTick();
    // The menu's "取消倒计时", offered only while counting down.
    void cancelCountdown();
    bool countingDown() const;
    // Hands confirmed settings to the monitor and the alarm ("RESET"), and
    // to the event log and the tooltip.
    void applySettings(const WorkingSettingsValues& values);

    // The event log, the tooltip and the log's menu item
    // (StatusBarRecord_win.cpp).
    void openLog();
    void createTooltip();
    void logSettings(const WorkingSettingsValues& values);
    void recordProbe(bool answered);
    // A target's lookup gave a new result.
    void noteLookup(std::size_t index, const std::wstring& address);
    void recordDrop();
    void recordMonitorEnded();
    // The recovery command's end: its exit code and milliseconds.
    void logStartedCommandEnded(WPARAM exitCode, LPARAM durationMs);
    void logExit();
    void refreshGlance();
    std::wstring logFilePath() const;
    void viewLog();
    // The start without the dialog; false when the dialog has to come.
    bool startOnStoredSettings();
    // A later copy on the same settings file asked for this copy.
    void comeToFront();

    void showContextMenu();
    // StatusBarBench_win.cpp.
    void runRedrawBenchmark(int count);
    void runLogBenchmark(int count);

    framework::GdiplusSession& gdiplus_;
    HICON icon_ = nullptr;
    bool initialised_ = false;
    bool laidOut_ = false;
    DisplaySettings display_;
    std::wstring statusText_;
    bool alarmFlag_ = false;
    bool autoStart_ = false;
    SettingsPlace settingsPlace_;
    UINT comeToFrontMessage_ = 0;  // registered, so not a case of a switch
    int margin_ = 0;

    using UpdateLayeredWindowFn = BOOL(WINAPI*)(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF,
                                                BLENDFUNCTION*, DWORD);
    HMODULE user32_ = nullptr;
    UpdateLayeredWindowFn updateLayered_ = nullptr;
    BLENDFUNCTION blend_{};
    // The face, kept between redraws; also what WM_PAINT shows where the
    // layered update is missing.
    std::unique_ptr<BarSurface> surface_;
    // The pictures likely to be shown next, drawn ahead.
    BarPicturesAhead ahead_;

    std::unique_ptr<MonitorController> monitor_;
    std::unique_ptr<DropAlarm> alarm_;

    std::unique_ptr<StatusBarTooltip> tooltip_;
    LinkHistory link_;
    std::wstring target_;   // as last confirmed
    int roundTripMs_ = -1;  // of the last answered cycle
    bool monitorEnded_ = false;
};

}  // namespace vorlane
