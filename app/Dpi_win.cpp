#include "app/Dpi_win.h"

namespace vorlane {

int WindowDpi(HWND window) {
    // Looked up, not linked: Windows 7 and 8 have no GetDpiForWindow.
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFn>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    if (getDpiForWindow && window) {
        const UINT dpi = getDpiForWindow(window);
        if (dpi > 0) return static_cast<int>(dpi);
    }
    HDC screen = ::GetDC(nullptr);
    const int dpi = screen ? ::GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen) ::ReleaseDC(nullptr, screen);
    return dpi;
}

}  // namespace vorlane
