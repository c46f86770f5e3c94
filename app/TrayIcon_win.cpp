#include "app/TrayIcon_win.h"

#include <shellapi.h>

#include "core/Trace.h"
#include "framework/AppMessages.h"

namespace vorlane {
namespace {

constexpr UINT kIconId = 1;
// The bar's frame colours (app/BarSurface_win.cpp).
constexpr COLORREF kGreen = RGB(0, 128, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);

// A disc of `colour` with a dark rim on a transparent square of the small
// icon size, drawn with GDI: a colour bitmap and its mask.
HICON MakeDisc(COLORREF colour) {
    const int size = ::GetSystemMetrics(SM_CXSMICON);
    framework::WindowDc screen(nullptr);
    framework::UniqueHdc dc(::CreateCompatibleDC(screen.get()));
    framework::UniqueHbitmap colours(::CreateCompatibleBitmap(screen.get(), size, size));
    framework::UniqueHbitmap mask(::CreateBitmap(size, size, 1, 1, nullptr));
    if (!dc || !colours || !mask) return nullptr;
    const RECT all{0, 0, size, size};
    framework::UniqueHgdiobj fill(::CreateSolidBrush(colour));
    framework::UniqueHgdiobj rim(::CreatePen(PS_SOLID, 1, RGB(40, 40, 40)));

    HGDIOBJ before = ::SelectObject(dc.get(), mask.get());
    ::FillRect(dc.get(), &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    ::SelectObject(dc.get(), ::GetStockObject(BLACK_BRUSH));
    ::SelectObject(dc.get(), ::GetStockObject(BLACK_PEN));
    ::Ellipse(dc.get(), 1, 1, size - 1, size - 1);

    ::SelectObject(dc.get(), colours.get());
    ::FillRect(dc.get(), &all, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
    ::SelectObject(dc.get(), fill.get());
    ::SelectObject(dc.get(), rim.get());
    ::Ellipse(dc.get(), 1, 1, size - 1, size - 1);
    // Nothing of ours stays selected when the objects go.
    ::SelectObject(dc.get(), ::GetStockObject(NULL_BRUSH));
    ::SelectObject(dc.get(), ::GetStockObject(BLACK_PEN));
    ::SelectObject(dc.get(), before);

    ICONINFO info{TRUE, 0, 0, mask.get(), colours.get()};
    return ::CreateIconIndirect(&info);
}

const wchar_t* Said(BOOL ok) { return ok ? L"\t1" : L"\t0"; }

}  // namespace

NOTIFYICONDATAW TrayIcon::data(UINT flags) const {
    NOTIFYICONDATAW d{};
    d.cbSize = sizeof(d);
    d.hWnd = owner_;
    d.uID = kIconId;
    d.uFlags = flags;
    return d;
}

HICON TrayIcon::icon(bool red) {
    framework::UniqueHicon& made = red ? redIcon_ : green_;
    if (!made) made.reset(MakeDisc(red ? kRed : kGreen));
    return made.get();
}

bool TrayIcon::add() {
    NOTIFYICONDATAW d = data(NIF_MESSAGE | NIF_ICON | NIF_TIP);
    d.uCallbackMessage = WM_TRAY_CALLBACK;
    d.hIcon = icon(red_);
    lstrcpynW(d.szTip, tip_.c_str(), ARRAYSIZE(d.szTip));
    shown_ = ::Shell_NotifyIconW(NIM_ADD, &d) != FALSE;
    Trace(L"tray", std::wstring(L"add") + Said(shown_));
    return shown_;
}

bool TrayIcon::addAgain() {
    if (!shown_) return false;
    // A new shell has no icon of ours; one that merely says so again may
    // still hold it, and would refuse a second one with the same id.
    NOTIFYICONDATAW d = data(0);
    ::Shell_NotifyIconW(NIM_DELETE, &d);
    return add();
}

void TrayIcon::remove() {
    if (!shown_) return;
    NOTIFYICONDATAW d = data(0);
    const BOOL ok = ::Shell_NotifyIconW(NIM_DELETE, &d);
    shown_ = false;
    Trace(L"tray", std::wstring(L"delete") + Said(ok));
}

void TrayIcon::show(bool red, const std::wstring& tip) {
    // The tip holds 127 characters.
    const std::wstring shortTip = tip.substr(0, 127);
    if (red == red_ && shortTip == tip_) return;
    red_ = red;
    tip_ = shortTip;
    if (!shown_) return;
    NOTIFYICONDATAW d = data(NIF_ICON | NIF_TIP);
    d.hIcon = icon(red_);
    lstrcpynW(d.szTip, tip_.c_str(), ARRAYSIZE(d.szTip));
    const BOOL ok = ::Shell_NotifyIconW(NIM_MODIFY, &d);
    if (TraceEnabled()) {
        Trace(L"tray",
              std::wstring(L"modify") + Said(ok) + (red_ ? L"\tred\t" : L"\tgreen\t") + tip_);
    }
}

void TrayIcon::notify(const std::wstring& text) {
    if (!shown_) return;
    NOTIFYICONDATAW d = data(NIF_INFO);
    lstrcpynW(d.szInfo, text.c_str(), ARRAYSIZE(d.szInfo));
    d.dwInfoFlags = NIIF_INFO;
    const BOOL ok = ::Shell_NotifyIconW(NIM_MODIFY, &d);
    Trace(L"tray", std::wstring(L"info") + Said(ok) + L"\t" + text);
}

}  // namespace vorlane
