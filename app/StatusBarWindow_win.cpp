#include "app/StatusBarWindow.h"

#include <windowsx.h>

#include "alarm/CommandWatch_win.h"
#include "alarm/DropAlarm.h"
#include "app/SingleInstance_win.h"
#include "app/StatusBarTooltip_win.h"
#include "core/Core.h"
#include "core/Trace.h"
#include "monitor/MonitorController.h"
#include "res/resource.h"
#include "settings/SettingsCheck.h"
#include "settings/SettingsDialog.h"
#include "settings/SettingsKeys.h"
#include "settings/StoredSettings.h"

namespace vorlane {
namespace {

// VORLANE_BENCH_REDRAWS=N: N timed redraws; VORLANE_BENCH_LOGLINES=N: N
// timed lines of the event log.
int BenchmarkRequested(const wchar_t* variable) {
    wchar_t buffer[32] = {};
    DWORD n = ::GetEnvironmentVariableW(variable, buffer, 32);
    if (n == 0 || n >= 32) return 0;
    return ReadItemInt(buffer);
}

}  // namespace

StatusBarWindow::StatusBarWindow(HINSTANCE instance, framework::GdiplusSession& gdiplus)
    : Dialog(instance, IDD_STATUSBAR), gdiplus_(gdiplus) {
    icon_ = ::LoadIconW(instance, MAKEINTRESOURCEW(IDR_MAINFRAME));
}

StatusBarWindow::~StatusBarWindow() {
    // Destroy here, not in the base destructor, so that OnDestroy still runs
    // as this class's.
    if (hwnd()) ::DestroyWindow(hwnd());
}

bool StatusBarWindow::OnInit() {
    Trace(L"start", L"bar-window");
    initialised_ = true;
    theCore = std::make_unique<CCore>();
    productIdentity = std::make_unique<tagSoft>();
    FillProductIdentity(*productIdentity);

    ::SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
    ::SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));

    // While a command line runs, cmdWait pumps the messages itself; the
    // keyboard filter has to keep working there too.
    theCore->setMessageFilter(this);
    theCore->autoFileConfig(settingsPlace_);
    openLog();
    Trace(L"start", L"settings-read");
    comeToFrontMessage_ = ComeToFrontMessage(theCore->configPath());
    display_.appPath = theCore->getAppPath();

    ::SetWindowTextW(hwnd(), L"Vorlane");
    prepareLayeredWindow();
    // The bar is laid out once the dialog is answered: nothing of it shows
    // before, and the dialog comes sooner without GDI+ and the font lookups.
    createMonitor();
    Trace(L"start", L"monitor-made");

    if (!startOnStoredSettings() && runSettingsDialog() != IDOK) {
        // Ends the program: creation of the bar fails, and its destruction
        // still saves the position.
        ::DestroyWindow(hwnd());
        return false;
    }
    // Only the shown bar has a tooltip; made after the dialog, which the
    // user waits for.
    createTooltip();
    startMonitor();
    if (BenchmarkRequested(L"VORLANE_BENCH_REDRAWS") > 0 ||
        BenchmarkRequested(L"VORLANE_BENCH_LOGLINES") > 0) {
        ::PostMessageW(hwnd(), WM_RUN_BENCHMARK, 0, 0);
    }
    return true;
}

int StatusBarWindow::runSettingsDialog() {
    SettingsDialog dialog(instance(), *theCore);
    Trace(L"window", L"settings-dialog");
    INT_PTR result = dialog.DoModal(hwnd());
    if (result == IDOK) {
        layOutForFirstShow();
        applySettings(dialog.confirmedValues());
        setStatusText(kPreparingText);
        setStatus(false);
    }
    return static_cast<int>(result);
}

bool StatusBarWindow::startOnStoredSettings() {
    if (!autoStart_) return false;
    WorkingSettingsValues values;
    if (!StoredSettingsPass(SettingsDialog::StoredInput(*theCore), values)) {
        Trace(L"window", L"auto-start-refused");
        return false;
    }
    Trace(L"window", L"auto-start");
    layOutForFirstShow();
    applySettings(values);
    setStatusText(kPreparingText);
    setStatus(false);
    return true;
}

void StatusBarWindow::comeToFront() {
    Trace(L"window", L"come-to-front");
    // While the settings dialog or a message box is up, that is what the
    // person is looking for; the bar itself may still be hidden then.
    HWND front = ::GetLastActivePopup(hwnd());
    if (!front || !::IsWindowVisible(front)) front = hwnd();
    if (!::IsWindowVisible(front)) return;
    if (::IsIconic(front)) ::ShowWindow(front, SW_RESTORE);
    ::SetWindowPos(hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ::SetForegroundWindow(front);
}

bool StatusBarWindow::PreTranslateMessage(MSG& msg) {
    if (msg.hwnd != hwnd() && !::IsChild(hwnd(), msg.hwnd)) return false;
    switch (msg.message) {
        case WM_KEYDOWN:
            return msg.wParam == VK_RETURN || msg.wParam == VK_ESCAPE;
        case WM_SYSKEYDOWN:
            // No system key, Alt+F4 among them, reaches the bar: the menu's
            // Exit is the one way to end the program.
            msg.wParam = 0;
            return true;
        default:
            return false;
    }
}

bool StatusBarWindow::OnCommand(int /*notifyCode*/, int id, HWND /*control*/) {
    switch (id) {
        case ID_CANCEL_COUNTDOWN:
            cancelCountdown();
            return true;
        case ID_SETTINGS:
            runSettingsDialog();
            return true;
        case ID_VIEW_LOG:
            viewLog();
            return true;
        case ID_ABOUT:
            theCore->uu(OprAbout, productIdentity.get(), std::wstring());
            return true;
        case ID_EXIT:
            Trace(L"window", L"exit-command");
            ::PostQuitMessage(0);
            return true;
        case IDOK:
        case IDCANCEL:
            return true;  // the bar has no buttons; keys never close it
        default:
            return false;
    }
}

bool StatusBarWindow::OnTimer(UINT_PTR id) {
    if (id != kCountdownTimerId) return false;
    onCountdownTick();
    return true;
}

bool StatusBarWindow::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (comeToFrontMessage_ != 0 && msg == comeToFrontMessage_) {
        comeToFront();
        result = 0;
        return true;
    }
    switch (msg) {
        // The worker's messages are handled here, in the window procedure, so
        // that they are acted on also while a menu, a drag, a message box or
        // the settings dialog runs a modal loop of its own.
        case WM_PROBE_RESULT:
            onProbeResult(wParam, lParam);
            result = 0;
            return true;
        case WM_TARGET_RESOLVED:
            onTargetResolved(wParam);
            result = 0;
            return true;
        case WM_DROP_LIMIT:
            onDropLimit();
            result = 0;
            return true;
        case WM_STARTED_COMMAND_ENDED:
            logStartedCommandEnded(wParam, lParam);
            result = 0;
            return true;
        case WM_MONITOR_ENDED:
            recordMonitorEnded();
            result = 0;
            return true;
        case WM_MOUSEMOVE:
            // The tooltip's text follows the clock (the last hour's losses).
            refreshGlance();
            if (tooltip_) tooltip_->mouseMoved();
            return false;
        case WM_MOUSEHOVER:
            refreshGlance();
            if (tooltip_) tooltip_->mouseRested();
            result = 0;
            return true;
        case WM_MOUSELEAVE:
            if (tooltip_) tooltip_->hide();
            result = 0;
            return true;
        case WM_LBUTTONDOWN:
            if (tooltip_) tooltip_->hide();
            // Pressing anywhere on the bar drags it.
            ::SendMessageW(hwnd(), WM_SYSCOMMAND, SC_MOVE | HTCAPTION, 0);
            result = 0;
            return true;
        case WM_RBUTTONUP:
            showContextMenu();
            result = 0;
            return true;
        case WM_GETMINMAXINFO: {
            auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
            info->ptMinTrackSize.x = 300;
            result = 0;
            return true;
        }
        case WM_DPICHANGED:
            onDpiChanged(LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
            result = 0;
            return true;
        case WM_NCHITTEST:
            // The whole bar is client area. Said outright because Wine can
            // answer HTNOWHERE for a layered window that has not yet moved,
            // and the mouse would then never reach it.
            result = HTCLIENT;
            return true;
        case WM_CLOSE:
            result = 0;
            return true;  // only Exit ends the program
        case WM_PAINT:
            if (::IsIconic(hwnd())) {
                PAINTSTRUCT ps;
                HDC dc = ::BeginPaint(hwnd(), &ps);
                ::SendMessageW(hwnd(), WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
                RECT client;
                ::GetClientRect(hwnd(), &client);
                int x = (client.right - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
                int y = (client.bottom - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
                ::DrawIcon(dc, x, y, icon_);
                ::EndPaint(hwnd(), &ps);
                result = 0;
                return true;
            }
            if (!updateLayered_) {
                paintFallback();
                result = 0;
                return true;
            }
            return false;
        case WM_QUERYDRAGICON:
            result = reinterpret_cast<LRESULT>(icon_);
            return true;
        case WM_RUN_BENCHMARK:
            runRedrawBenchmark(BenchmarkRequested(L"VORLANE_BENCH_REDRAWS"));
            runLogBenchmark(BenchmarkRequested(L"VORLANE_BENCH_LOGLINES"));
            result = 0;
            return true;
        default:
            (void)wParam;
            return false;
    }
}

void StatusBarWindow::showContextMenu() {
    framework::UniqueHmenu menu(::LoadMenuW(instance(), MAKEINTRESOURCEW(IDR_POPUP)));
    if (!menu) return;
    HMENU popup = ::GetSubMenu(menu.get(), 0);
    if (countingDown()) {
        ::InsertMenuW(popup, 0, MF_BYPOSITION | MF_STRING, ID_CANCEL_COUNTDOWN, L"取消倒计时");
    }
    const std::wstring log = logFilePath();
    ::EnableMenuItem(
        popup, ID_VIEW_LOG,
        MF_BYCOMMAND | (!log.empty() && theCore->isFileExist(log) ? MF_ENABLED : MF_GRAYED));
    POINT cursor;
    ::GetCursorPos(&cursor);
    // The menu closes properly on a click elsewhere only while its owner is
    // the foreground window.
    ::SetForegroundWindow(hwnd());
    if (tooltip_) tooltip_->suspend();
    ::TrackPopupMenu(popup, TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, hwnd(), nullptr);
    if (tooltip_) tooltip_->resume();
    ::PostMessageW(hwnd(), WM_NULL, 0, 0);
}

void StatusBarWindow::OnDestroy() {
    ::KillTimer(hwnd(), kCountdownTimerId);
    stopMonitor();
    recordMonitorEnded();
    if (theCore) {
        // Ended before the dialog was answered: the position saved is still
        // the one the bar would have taken.
        layOutForFirstShow();
        RECT rect;
        ::GetWindowRect(hwnd(), &rect);
        theCore->beginBatch();
        theCore->saveConfigInt(keys::kPosLeft, rect.left);
        theCore->saveConfigInt(keys::kPosTop, rect.top);
        theCore->endBatch(L"position");
    }
    logExit();
    tooltip_.reset();
    theCore.reset();
    productIdentity.reset();
}

}  // namespace vorlane
