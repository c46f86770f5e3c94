// The bar's menu (IDR_POPUP): 设定, 暂停监测 (or 继续监测 while paused),
// 查看日志, 关于, 退出, and 取消倒计时 on top while a countdown runs. The item chosen reaches the
// menu's owner as WM_COMMAND with its ID_ value.
#pragma once

#include <windows.h>

namespace vorlane {

struct BarMenuState {
    bool countingDown = false;  // offers 取消倒计时
    bool logExists = false;     // 查看日志 is greyed without a log file
    bool paused = false;        // 继续监测 in place of 暂停监测
    bool canPause = true;       // 暂停监测 is greyed once the monitor has ended
    bool watchesHere = true;    // false for a view of the service: no 暂停监测 at all
};

// Shows the menu at the mouse and returns once it has closed.
void ShowBarMenu(HINSTANCE instance, HWND owner, const BarMenuState& state);

// 关于 and 退出, the same in every menu of a bar; false for any other id.
bool RunAboutOrExit(int id);

}  // namespace vorlane
