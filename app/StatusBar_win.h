// The status bar, a view: a captionless, topmost, layered window on dialog
// template IDD_STATUSBAR whose whole face is one picture of the text and
// frame colour it is told to show (BarDrawing_win.h). It keeps the size its
// monitor's DPI gives it (BarGeometry_win.h), moves where it is dragged,
// shows the tooltip it is given the text of, and lets no key close it. What
// a person does with it, a menu command, a right-click, the mouse over it,
// goes to its BarListener.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "app/BarDrawing_win.h"
#include "app/BarGeometry_win.h"
#include "app/BarMenu_win.h"
#include "framework/Application.h"
#include "framework/Dialog.h"

namespace vorlane {

class StatusBarTooltip;

class BarListener {
  public:
    // A menu item of the bar's chosen (an ID_ value); false when unknown.
    virtual bool onBarCommand(int id) = 0;
    // A right-click: the listener shows the menu (showMenu).
    virtual void onBarMenuWanted() = 0;
    // The mouse moved on the bar or rests there; the tooltip is about to
    // show or follow it.
    virtual void onMouseOverBar() = 0;

  protected:
    ~BarListener() = default;
};

class StatusBar : public framework::Dialog, public framework::MessageFilter {
  public:
    StatusBar(HINSTANCE instance, BarListener& listener);
    ~StatusBar() override;

    // Makes the window, hidden; false when it cannot be made.
    bool create();
    // Sizes and places the bar once, at `geometry`'s stored place when
    // `stored`. Needs GDI+ started.
    void layOut(const BarGeometry& geometry, bool stored);
    bool laidOut() const { return laidOut_; }
    // Shows the bar the first time and gives it the foreground.
    void appear();
    // Shown or hidden (the notification-area icon's click, the `bar` key).
    void setVisible(bool visible);
    bool visible() const { return ::IsWindowVisible(hwnd()) != FALSE; }
    // The one way to redraw the bar.
    void show(const std::wstring& text, bool red);
    // Brings the bar, or the dialog or box open over it, to the front.
    void comeToFront();
    // The window's top-left corner on screen.
    POINT position() const;

    // The tooltip is made on the shown bar only.
    void attachTooltip();
    bool hasTooltip() const { return tooltip_ != nullptr; }
    void setTooltipText(const std::wstring& text);
    void showMenu(const BarMenuState& state);

    // What the bar shows, and how it draws it (for the benchmarks).
    BarPicture picture() const;
    BarDrawing& drawing() { return drawing_; }

    // Keyboard filter, run by the message loops before dispatch.
    bool PreTranslateMessage(MSG& msg) override;
    void destroy();

  protected:
    bool OnInit() override;
    bool OnCommand(int notifyCode, int id, HWND control) override;
    void OnOK() override {}      // Enter never closes the bar
    void OnCancel() override {}  // nor does Escape
    bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

  private:
    // Pressing anywhere on the bar drags it.
    void drag();
    // WM_DPICHANGED: re-laid out for the new DPI at the suggested place.
    void onDpiChanged(int dpi, const RECT& suggested);
    void paintIcon();

    BarListener& listener_;
    HICON icon_ = nullptr;
    bool laidOut_ = false;
    BarGeometry geometry_;
    std::wstring text_;
    bool red_ = false;
    BarDrawing drawing_;
    std::unique_ptr<StatusBarTooltip> tooltip_;
};

}  // namespace vorlane
