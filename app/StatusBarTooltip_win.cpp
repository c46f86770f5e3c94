#include "app/StatusBarTooltip_win.h"

#include <commctrl.h>

namespace vorlane {
namespace {

// Wide enough for a settings path on one line; longer lines wrap.
constexpr int kMaxTipWidth = 640;
// Stays up while the mouse rests, up to the longest time the control takes.
constexpr int kShownMs = 32767;

// The one tool: the whole bar, known by its handle.
TOOLINFOW Tool(HWND bar, const std::wstring& text) {
    TOOLINFOW info = {};
    info.cbSize = sizeof(info);
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
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
    ::SendMessageW(tip_, TTM_SETDELAYTIME, TTDT_AUTOPOP, MAKELPARAM(kShownMs, 0));
}

void StatusBarTooltip::setText(const std::wstring& text) {
    if (text == text_) return;
    text_ = text;
    if (!tip_) return;
    TOOLINFOW info = Tool(bar_, text_);
    ::SendMessageW(tip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&info));
}

void StatusBarTooltip::suspend() {
    if (!tip_) return;
    ::SendMessageW(tip_, TTM_POP, 0, 0);
    ::SendMessageW(tip_, TTM_ACTIVATE, FALSE, 0);
}

void StatusBarTooltip::resume() {
    if (tip_) ::SendMessageW(tip_, TTM_ACTIVATE, TRUE, 0);
}

}  // namespace vorlane
