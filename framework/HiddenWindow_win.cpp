#include "framework/HiddenWindow.h"

namespace framework {

HiddenWindow::~HiddenWindow() { Destroy(); }

bool HiddenWindow::Create(HINSTANCE instance, const wchar_t* className) {
    WNDCLASSW type = {};
    type.lpfnWndProc = WindowProc;
    type.hInstance = instance;
    type.lpszClassName = className;
    ::RegisterClassW(&type);
    if (::CreateWindowExW(0, className, nullptr, WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance,
                          this)) {
        return true;
    }
    hwnd_ = nullptr;  // set at WM_NCCREATE of a creation that failed later
    return false;
}

void HiddenWindow::Destroy() {
    if (!hwnd_) return;
    // Detached first: from a destructor, the virtual OnMessage is gone.
    ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    ::DestroyWindow(hwnd_);
    hwnd_ = nullptr;
}

LRESULT CALLBACK HiddenWindow::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    HiddenWindow* self = nullptr;
    if (msg == WM_NCCREATE) {
        self = static_cast<HiddenWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->hwnd_ = hwnd;
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<HiddenWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }
    LRESULT result = 0;
    if (self && self->OnMessage(msg, wParam, lParam, result)) return result;
    return ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace framework
