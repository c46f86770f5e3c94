#include "app/BarMenu_win.h"

#include "framework/Handles.h"
#include "res/resource.h"

namespace vorlane {

void ShowBarMenu(HINSTANCE instance, HWND owner, const BarMenuState& state) {
    framework::UniqueHmenu menu(::LoadMenuW(instance, MAKEINTRESOURCEW(IDR_POPUP)));
    if (!menu) return;
    HMENU popup = ::GetSubMenu(menu.get(), 0);
    // The pause's submenu follows 设定.
    constexpr UINT kPausePosition = 1;
    if (state.paused) {
        ::DeleteMenu(popup, kPausePosition, MF_BYPOSITION);
        ::InsertMenuW(popup, kPausePosition, MF_BYPOSITION | MF_STRING, ID_CONTINUE, L"继续监测");
    } else if (!state.canPause) {
        ::EnableMenuItem(popup, kPausePosition, MF_BYPOSITION | MF_GRAYED);
    }
    if (state.countingDown) {
        ::InsertMenuW(popup, 0, MF_BYPOSITION | MF_STRING, ID_CANCEL_COUNTDOWN, L"取消倒计时");
    }
    ::EnableMenuItem(popup, ID_VIEW_LOG, MF_BYCOMMAND | (state.logExists ? MF_ENABLED : MF_GRAYED));
    POINT cursor;
    ::GetCursorPos(&cursor);
    // The menu closes properly on a click elsewhere only while its owner is
    // the foreground window.
    ::SetForegroundWindow(owner);
    ::TrackPopupMenu(popup, TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, owner, nullptr);
    ::PostMessageW(owner, WM_NULL, 0, 0);
}

}  // namespace vorlane
