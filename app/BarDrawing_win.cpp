#include "app/BarDrawing_win.h"

#include "core/EventLog_win.h"
#include "framework/AppMessages.h"

namespace vorlane {
namespace {

constexpr BYTE kWindowAlpha = 253;

}  // namespace

void BarDrawing::attach(HWND window) {
    window_ = window;
    HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
    if (!user32) user32 = ::LoadLibraryW(L"user32.dll");
    if (!user32) {
        ProgramLog().write("warning", LogDetails().add(L"text", L"User32.dll ERROR!"));
        ::MessageBoxW(window, L"User32.dll ERROR!", L"Vorlane", MB_OK);
        ::ExitProcess(0);
    }
    updateLayered_ = reinterpret_cast<UpdateLayeredWindowFn>(
        reinterpret_cast<void*>(::GetProcAddress(user32, "UpdateLayeredWindow")));
    blend_.BlendOp = AC_SRC_OVER;
    blend_.BlendFlags = 0;
    blend_.AlphaFormat = AC_SRC_ALPHA;
}

void BarDrawing::show(const BarPicture& picture) {
    if (!pictures_.show(picture)) return;
    present();
    // Drawn once the messages before it are handled, while this one shows:
    // a counter's next value then costs its redraw only the swap.
    if (pictures_.wantsAhead()) ::PostMessageW(window_, WM_DRAW_AHEAD, 0, 0);
}

bool BarDrawing::shows(const BarPicture& picture) const {
    return pictures_.shown().hasPicture() && pictures_.shown().drawn() == picture;
}

void BarDrawing::present(const BarSurface& surface) {
    if (!updateLayered_) {
        // No layered update on this system: WM_PAINT shows the picture.
        ::InvalidateRect(window_, nullptr, FALSE);
        return;
    }
    LONG exStyle = ::GetWindowLongW(window_, GWL_EXSTYLE);
    if (!(exStyle & WS_EX_LAYERED)) ::SetWindowLongW(window_, GWL_EXSTYLE, exStyle | WS_EX_LAYERED);

    RECT window;
    ::GetWindowRect(window_, &window);
    POINT destination{window.left, window.top};
    SIZE size{surface.drawn().width, surface.drawn().height};
    POINT source{0, 0};
    blend_.SourceConstantAlpha = kWindowAlpha;
    updateLayered_(window_, nullptr, &destination, &size, surface.dc(), &source, 0, &blend_,
                   ULW_ALPHA);
}

bool BarDrawing::paint() {
    if (updateLayered_) return false;
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(window_, &ps);
    const BarSurface& shown = pictures_.shown();
    if (shown.hasPicture()) {
        ::BitBlt(dc, 0, 0, shown.drawn().width, shown.drawn().height, shown.dc(), 0, 0, SRCCOPY);
    }
    ::EndPaint(window_, &ps);
    return true;
}

}  // namespace vorlane
