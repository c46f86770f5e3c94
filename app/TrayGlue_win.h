// The notification-area icon's glue: the icon added or removed as the
// settings want it, added again after Explorer restarts, its mouse messages
// turned into what the App does, and the drop's and the recovery's
// notifications raised from the monitor's messages.
#pragma once

#include <windows.h>

#include <string>

#include "app/TrayIcon_win.h"

namespace vorlane {

struct WorkingSettingsValues;

class TrayGlue {
  public:
    // What a click on the icon asks of the application.
    class Host {
      public:
        virtual void toggleBar() = 0;
        virtual void showIconMenu() = 0;
        // The icon's colour and tip again, from what the bar shows now.
        virtual void refreshIcon() = 0;

      protected:
        ~Host() = default;
    };

    explicit TrayGlue(Host& host) : host_(host) {}

    // The window the icon's messages go to; before anything else.
    void attach(HWND owner);
    void setSettings(const WorkingSettingsValues& values);
    // Adds or removes the icon as the settings want it; whether it shows.
    bool place();
    bool shown() const { return icon_.shown(); }
    void show(bool red, const std::wstring& tip) { icon_.show(red, tip); }
    void remove() { icon_.remove(); }
    // The icon's callback, TaskbarCreated, and the monitor's drop and
    // answer (which are left to others too): true when taken here alone.
    bool handle(UINT msg, WPARAM wParam, LPARAM lParam);

  private:
    void onCallback(LPARAM mouse);

    Host& host_;
    TrayIcon icon_;
    UINT taskbarCreatedMessage_ = 0;  // registered, so not a case of a switch
    bool want_ = false;
    bool dropped_ = false;  // a drop not yet followed by an answer
    int dropLimit_ = 0;
    int countdown_ = 0;
};

}  // namespace vorlane
