// The icon in the notification area: its colour is the bar's frame colour,
// its tip the first line of the bar's tooltip, and it raises the drop's and
// the recovery's notifications. Mouse messages reach the owner window as
// WM_TRAY_CALLBACK (framework/AppMessages.h). Every call to the shell and
// its result is traced as "tray".
#pragma once

#include <windows.h>

#include <string>

#include "framework/Handles.h"

namespace vorlane {

class TrayIcon {
  public:
    TrayIcon() = default;
    ~TrayIcon() { remove(); }
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    // The window its mouse messages go to; before the first add.
    void attach(HWND owner) { owner_ = owner; }
    // Adds the icon; false when the shell has no notification area now.
    bool add();
    // After Explorer restarted (TaskbarCreated): the icon again, if it was
    // there.
    bool addAgain();
    void remove();
    bool shown() const { return shown_; }
    // The frame's colour and the tip; the shell is told only of a change.
    void show(bool red, const std::wstring& tip);
    void notify(const std::wstring& text);

  private:
    NOTIFYICONDATAW data(UINT flags) const;
    HICON icon(bool red);

    HWND owner_ = nullptr;
    bool shown_ = false;
    bool red_ = false;
    std::wstring tip_;
    framework::UniqueHicon green_;
    framework::UniqueHicon redIcon_;
};

}  // namespace vorlane
