#include "app/StatusBar_win.h"

#include "app/Dpi_win.h"
#include "app/StatusBarTooltip_win.h"
#include "core/FontSize.h"
#include "core/Trace.h"
#include "framework/AppMessages.h"
#include "res/resource.h"

namespace vorlane {

StatusBar::StatusBar(HINSTANCE instance, BarListener& listener)
    : Dialog(instance, IDD_STATUSBAR), listener_(listener) {
    icon_ = ::LoadIconW(instance, MAKEINTRESOURCEW(IDR_MAINFRAME));
}

StatusBar::~StatusBar() { destroy(); }

bool StatusBar::create() { return CreateModeless(nullptr) != nullptr; }

void StatusBar::destroy() {
    tooltip_.reset();
    if (hwnd()) ::DestroyWindow(hwnd());
}

bool StatusBar::OnInit() {
    ::SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
    ::SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));
    ::SetWindowTextW(hwnd(), L"Vorlane");
    drawing_.attach(hwnd());
    return true;
}

void StatusBar::layOut(const BarGeometry& geometry, bool stored) {
    if (laidOut_) return;
    laidOut_ = true;
    geometry_ = geometry;
    MeasureBar(geometry_, WindowDpi(hwnd()));
    PlaceBar(geometry_, stored);
    // Not activated: the bar is still hidden, and activating it cost Wine a
    // quarter of the bar's own start-up before the settings dialog.
    ::SetWindowPos(hwnd(), nullptr, geometry_.left, geometry_.top, geometry_.width,
                   geometry_.height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void StatusBar::appear() {
    ::ShowWindow(hwnd(), SW_SHOWNORMAL);
    // The start-up dialog had the focus; the bar takes it, so that its first
    // click is taken as a click and not spent on activation.
    ::SetForegroundWindow(hwnd());
}

void StatusBar::setVisible(bool visible) {
    if (visible == this->visible()) return;
    if (tooltip_) tooltip_->hide();
    ::ShowWindow(hwnd(), visible ? SW_SHOWNOACTIVATE : SW_HIDE);
    Trace(L"window", visible ? L"bar-shown" : L"bar-hidden");
}

BarPicture StatusBar::picture() const {
    return BarPicture{geometry_.width,
                      geometry_.height,
                      geometry_.margin,
                      geometry_.fontName,
                      EmPixels(geometry_.fontSize, geometry_.dpi),
                      text_,
                      red_};
}

void StatusBar::show(const std::wstring& text, bool red) {
    text_ = text;
    red_ = red;
    if (TraceEnabled()) Trace(L"status", std::wstring(red ? L"red\t" : L"green\t") + text_);
    // The same text in the same colours is the same picture: a probe answered
    // again, say. The window still shows it.
    const BarPicture now = picture();
    if (!drawing_.shows(now)) drawing_.show(now);
}

void StatusBar::onDpiChanged(int dpi, const RECT& suggested) {
    // Dragged onto a monitor of another scale: the same bar at that scale,
    // where Windows suggests it goes. Before its first layout the bar has
    // no size yet; that layout takes the DPI of where it is.
    if (!laidOut_) return;
    MeasureBar(geometry_, dpi);
    ::SetWindowPos(hwnd(), nullptr, suggested.left, suggested.top, geometry_.width,
                   geometry_.height, SWP_NOZORDER | SWP_NOACTIVATE);
    drawing_.show(picture());
}

void StatusBar::comeToFront() {
    // While the settings dialog or a message box is up, that is what the
    // person is looking for; the bar itself may still be hidden then.
    HWND front = ::GetLastActivePopup(hwnd());
    if (!front || !::IsWindowVisible(front)) front = hwnd();
    if (!::IsWindowVisible(front)) return;
    if (::IsIconic(front)) ::ShowWindow(front, SW_RESTORE);
    ::SetWindowPos(hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ::SetForegroundWindow(front);
}

POINT StatusBar::position() const {
    RECT rect;
    ::GetWindowRect(hwnd(), &rect);
    return POINT{rect.left, rect.top};
}

void StatusBar::attachTooltip() {
    tooltip_ = std::make_unique<StatusBarTooltip>();
    tooltip_->attach(instance(), hwnd());
}

void StatusBar::setTooltipText(const std::wstring& text) {
    if (tooltip_) tooltip_->setText(text);
}

void StatusBar::showMenu(const BarMenuState& state) {
    if (tooltip_) tooltip_->suspend();
    ShowBarMenu(instance(), hwnd(), state);
    if (tooltip_) tooltip_->resume();
}

void StatusBar::drag() {
    if (tooltip_) tooltip_->hide();
    ::SendMessageW(hwnd(), WM_SYSCOMMAND, SC_MOVE | HTCAPTION, 0);
}

bool StatusBar::PreTranslateMessage(MSG& msg) {
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

bool StatusBar::OnCommand(int /*notifyCode*/, int id, HWND /*control*/) {
    // The bar has no buttons; keys never close it.
    if (id == IDOK || id == IDCANCEL) return true;
    return listener_.onBarCommand(id);
}

void StatusBar::paintIcon() {
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(hwnd(), &ps);
    ::SendMessageW(hwnd(), WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client;
    ::GetClientRect(hwnd(), &client);
    int x = (client.right - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
    int y = (client.bottom - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
    ::DrawIcon(dc, x, y, icon_);
    ::EndPaint(hwnd(), &ps);
}

bool StatusBar::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    result = 0;
    switch (msg) {
        case WM_MOUSEMOVE:
            // The tooltip's text follows the clock (the last hour's losses).
            listener_.onMouseOverBar();
            if (tooltip_) tooltip_->mouseMoved();
            return false;
        case WM_MOUSEHOVER:
            listener_.onMouseOverBar();
            if (tooltip_) tooltip_->mouseRested();
            return true;
        case WM_MOUSELEAVE:
            if (tooltip_) tooltip_->hide();
            return true;
        case WM_LBUTTONDOWN:
            drag();
            return true;
        case WM_RBUTTONUP:
            listener_.onBarMenuWanted();
            return true;
        case WM_GETMINMAXINFO:
            reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize.x = 300;
            return true;
        case WM_DPICHANGED:
            onDpiChanged(LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
            return true;
        case WM_NCHITTEST:
            // The whole bar is client area. Said outright because Wine can
            // answer HTNOWHERE for a layered window that has not yet moved,
            // and the mouse would then never reach it.
            result = HTCLIENT;
            return true;
        case WM_CLOSE:
            return true;  // only Exit ends the program
        case WM_PAINT:
            if (::IsIconic(hwnd())) {
                paintIcon();
                return true;
            }
            return drawing_.paint();
        case WM_DRAW_AHEAD:
            drawing_.drawAhead();
            return true;
        case WM_QUERYDRAGICON:
            result = reinterpret_cast<LRESULT>(icon_);
            return true;
        default:
            return false;
    }
}

}  // namespace vorlane
