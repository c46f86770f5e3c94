#include "app/BarMenu_win.h"

#include "core/Core.h"
#include "core/Texts.h"
#include "core/Trace.h"
#include "framework/Handles.h"
#include "framework/ResourceLanguage.h"
#include "res/resource.h"

namespace vorlane {

void ShowBarMenu(HINSTANCE instance, HWND owner, const BarMenuState& state) {
    framework::UniqueHmenu menu(framework::LoadResourceMenu(instance, IDR_POPUP));
    if (!menu) return;
    HMENU popup = ::GetSubMenu(menu.get(), 0);
    // The pause's submenu follows 设定.
    constexpr UINT kPausePosition = 1;
    if (!state.watchesHere) {
        // A view cannot hold the service's watch: its pipe only reads.
        ::DeleteMenu(popup, kPausePosition, MF_BYPOSITION);
    } else if (state.paused) {
        ::DeleteMenu(popup, kPausePosition, MF_BYPOSITION);
        const std::wstring resume = Text(IDS_CONTINUE);
        ::InsertMenuW(popup, kPausePosition, MF_BYPOSITION | MF_STRING, ID_CONTINUE,
                      resume.c_str());
    } else if (!state.canPause) {
        ::EnableMenuItem(popup, kPausePosition, MF_BYPOSITION | MF_GRAYED);
    }
    if (state.countingDown) {
        const std::wstring cancel = Text(IDS_CANCEL_COUNTDOWN);
        ::InsertMenuW(popup, 0, MF_BYPOSITION | MF_STRING, ID_CANCEL_COUNTDOWN, cancel.c_str());
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

bool RunAboutOrExit(int id) {
    switch (id) {
        case ID_ABOUT:
            theCore->uu(OprAbout, productIdentity.get(), std::wstring());
            return true;
        case ID_EXIT:
            Trace(L"window", L"exit-command");
            ::PostQuitMessage(0);
            return true;
        default:
            return false;
    }
}

}  // namespace vorlane
