#include "app/TrayGlue_win.h"

#include "core/Digits.h"
#include "core/Texts.h"
#include "core/Trace.h"
#include "core/WorkingSettings.h"
#include "framework/AppMessages.h"
#include "res/resource.h"

namespace vorlane {

void TrayGlue::attach(HWND owner) {
    icon_.attach(owner);
    taskbarCreatedMessage_ = ::RegisterWindowMessageW(L"TaskbarCreated");
    Trace(L"tray", L"registered\t" + Decimal(taskbarCreatedMessage_));
}

void TrayGlue::setSettings(const WorkingSettingsValues& values) {
    want_ = values.tray;
    dropLimit_ = values.tryTimes;
    countdown_ = values.countdown;
}

bool TrayGlue::place() {
    if (want_ && !icon_.shown()) {
        icon_.add();
    } else if (!want_) {
        icon_.remove();
    }
    return icon_.shown();
}

bool TrayGlue::handle(UINT msg, WPARAM, LPARAM lParam) {
    if (taskbarCreatedMessage_ != 0 && msg == taskbarCreatedMessage_) {
        Trace(L"tray", L"taskbar-created");
        icon_.addAgain();
        return true;
    }
    switch (msg) {
        case WM_TRAY_CALLBACK:
            onCallback(lParam);
            return true;
        case WM_DROP_LIMIT:
            dropped_ = true;
            icon_.notify(Text(IDS_NOTE_DROP, {Decimal(dropLimit_), Decimal(countdown_)}));
            return false;
        case WM_PROBE_RESULT:
            if (dropped_ && lParam == kProbeAnswered) {
                dropped_ = false;
                icon_.notify(Text(IDS_NOTE_UP));
            }
            return false;
        default:
            return false;
    }
}

void TrayGlue::onCallback(LPARAM mouse) {
    switch (mouse) {
        case WM_LBUTTONUP:
            Trace(L"tray", L"click\tleft");
            host_.toggleBar();
            break;
        case WM_RBUTTONUP:
            Trace(L"tray", L"click\tright");
            host_.showIconMenu();
            break;
        case WM_MOUSEMOVE:
            if (icon_.shown()) host_.refreshIcon();
            break;
        default:
            break;
    }
}

}  // namespace vorlane
