#include "framework/SubclassedWindow.h"

namespace framework {
namespace {
const wchar_t kSelfProperty[] = L"framework.SubclassedWindow";
}

SubclassedWindow::~SubclassedWindow() { Detach(); }

bool SubclassedWindow::Attach(HWND hwnd) {
    if (hwnd_ || !::IsWindow(hwnd)) return false;
    hwnd_ = hwnd;
    ::SetPropW(hwnd, kSelfProperty, this);
    original_ = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WindowProc)));
    return original_ != nullptr;
}

void SubclassedWindow::Detach() {
    if (!hwnd_) return;
    if (::IsWindow(hwnd_)) {
        ::SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_));
        ::RemovePropW(hwnd_, kSelfProperty);
    }
    hwnd_ = nullptr;
    original_ = nullptr;
}

LRESULT SubclassedWindow::CallOriginal(UINT msg, WPARAM wParam, LPARAM lParam) {
    return ::CallWindowProcW(original_, hwnd_, msg, wParam, lParam);
}

LRESULT CALLBACK SubclassedWindow::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* self = static_cast<SubclassedWindow*>(::GetPropW(hwnd, kSelfProperty));
    if (!self) return ::DefWindowProcW(hwnd, msg, wParam, lParam);
    if (msg == WM_NCDESTROY) {
        WNDPROC original = self->original_;
        self->OnFinalMessage();
        self->Detach();
        return ::CallWindowProcW(original, hwnd, msg, wParam, lParam);
    }
    LRESULT result = 0;
    if (self->OnMessage(msg, wParam, lParam, result)) return result;
    return self->CallOriginal(msg, wParam, lParam);
}

}  // namespace framework
