#include "app/StatusBarTooltip_win.h"

#include <commctrl.h>

#include "app/StatusBarTooltip.h"

namespace vorlane {
namespace {

// Wide enough for a settings path on one line; longer lines wrap.
constexpr int kMaxTipWidth = 640;

// The one tool: the whole bar, known by its handle; the bar places it.
TOOLINFOW Tool(HWND bar, const std::wstring& text) {
    TOOLINFOW info = {};
    info.cbSize = sizeof(info);
    info.uFlags = TTF_IDISHWND | TTF_TRACK | TTF_ABSOLUTE;
    info.hwnd = bar;
    info.uId = reinterpret_cast<UINT_PTR>(bar);
    info.lpszText = const_cast<wchar_t*>(text.c_str());
    return info;
}

}  // namespace

StatusBarTooltip::~StatusBarTooltip() {
    if (tip_ && ::IsWindow(tip_)) ::DestroyWindow(tip_);
}

void StatusBarTooltip::attach(HINSTANCE instance, HWND bar) {
    bar_ = bar;
    // Owned by the bar: above it (the bar is topmost, the tip too) and gone
    // with it.
    tip_ = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                             WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, bar, nullptr, instance, nullptr);
    if (!tip_) return;
    if (text_.empty()) text_ = L" ";
    TOOLINFOW info = Tool(bar_, text_);
    ::SendMessageW(tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
    ::SendMessageW(tip_, TTM_SETMAXTIPWIDTH, 0, kMaxTipWidth);
}

void StatusBarTooltip::setText(const std::wstring& text) {
    if (text == text_) return;
    text_ = text;
    if (!tip_) return;
    TOOLINFOW info = Tool(bar_, text_);
    ::SendMessageW(tip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&info));
    if (shown_) place();  // the new text may have another size
}

void StatusBarTooltip::mouseMoved() {
    if (!tip_ || shown_ || suspended_) return;
    // Asked again at every move: the hover report comes once the mouse has
    // rested, and the leave report ends a shown tip.
    TRACKMOUSEEVENT track = {sizeof(track), TME_HOVER | TME_LEAVE, bar_, HOVER_DEFAULT};
    ::TrackMouseEvent(&track);
}

void StatusBarTooltip::mouseRested() {
    if (!tip_ || shown_ || suspended_) return;
    TOOLINFOW info = Tool(bar_, text_);
    place();
    ::SendMessageW(tip_, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&info));
    place();  // the size is known for certain once it shows
    shown_ = true;
    TRACKMOUSEEVENT track = {sizeof(track), TME_LEAVE, bar_, 0};
    ::TrackMouseEvent(&track);
}

void StatusBarTooltip::hide() {
    if (!tip_ || !shown_) return;
    TOOLINFOW info = Tool(bar_, text_);
    ::SendMessageW(tip_, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&info));
    shown_ = false;
}

void StatusBarTooltip::suspend() {
    hide();
    suspended_ = true;
}

void StatusBarTooltip::resume() { suspended_ = false; }

void StatusBarTooltip::place() {
    RECT bar;
    ::GetWindowRect(bar_, &bar);
    const LRESULT bubble = ::SendMessageW(tip_, TTM_GETBUBBLESIZE, 0, 0);
    RECT tip;
    ::GetWindowRect(tip_, &tip);
    const int width = LOWORD(bubble) ? LOWORD(bubble) : tip.right - tip.left;
    const int height = HIWORD(bubble) ? HIWORD(bubble) : tip.bottom - tip.top;
    MONITORINFO monitor{sizeof(monitor)};
    RECT area = {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    if (::GetMonitorInfoW(::MonitorFromWindow(bar_, MONITOR_DEFAULTTONEAREST), &monitor)) {
        area = monitor.rcWork;
    }
    const Point at = PlaceTooltip(Rect{bar.left, bar.top, bar.right, bar.bottom}, width, height,
                                  Rect{area.left, area.top, area.right, area.bottom});
    ::SendMessageW(tip_, TTM_TRACKPOSITION, 0, MAKELPARAM(at.x, at.y));
}

}  // namespace vorlane
