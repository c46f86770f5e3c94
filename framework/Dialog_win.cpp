#include "framework/Dialog.h"

#include <windowsx.h>

#include "framework/ResourceLanguage.h"

namespace framework {

Dialog::Dialog(HINSTANCE instance, int templateId) noexcept
    : instance_(instance), templateId_(templateId) {}

Dialog::~Dialog() {
    if (hwnd_ && !modal_) {
        ::DestroyWindow(hwnd_);
    }
}

INT_PTR Dialog::DoModal(HWND owner) {
    modal_ = true;
    const DLGTEMPLATE* dialog = FindDialogTemplate(instance_, templateId_);
    if (!dialog) return -1;
    return ::DialogBoxIndirectParamW(instance_, dialog, owner, DialogProc,
                                     reinterpret_cast<LPARAM>(this));
}

HWND Dialog::CreateModeless(HWND owner) {
    modal_ = false;
    const DLGTEMPLATE* dialog = FindDialogTemplate(instance_, templateId_);
    if (!dialog) return nullptr;
    return ::CreateDialogIndirectParamW(instance_, dialog, owner, DialogProc,
                                        reinterpret_cast<LPARAM>(this));
}

void Dialog::EndDialog(INT_PTR result) {
    if (!hwnd_) return;
    if (modal_) {
        ::EndDialog(hwnd_, result);
    } else {
        ::DestroyWindow(hwnd_);
    }
}

bool Dialog::OnCommand(int /*notifyCode*/, int id, HWND /*control*/) {
    switch (id) {
        case IDOK:
            OnOK();
            return true;
        case IDCANCEL:
            OnCancel();
            return true;
        default:
            return false;
    }
}

std::wstring WindowText(HWND hwnd) {
    int length = ::GetWindowTextLengthW(hwnd);
    if (length <= 0) return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    int copied = ::GetWindowTextW(hwnd, &text[0], length + 1);
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return text;
}

std::wstring Dialog::itemText(int id) const { return WindowText(item(id)); }

void Dialog::setItemText(int id, const std::wstring& text) const {
    ::SetDlgItemTextW(hwnd_, id, text.c_str());
}

INT_PTR CALLBACK Dialog::DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    Dialog* self = nullptr;
    if (msg == WM_INITDIALOG) {
        self = reinterpret_cast<Dialog*>(lParam);
        self->hwnd_ = hwnd;
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<Dialog*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }
    if (!self) return FALSE;
    return self->Dispatch(msg, wParam, lParam);
}

INT_PTR Dialog::Dispatch(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_INITDIALOG:
            return OnInit() ? TRUE : FALSE;
        case WM_COMMAND:
            if (OnCommand(HIWORD(wParam), LOWORD(wParam), reinterpret_cast<HWND>(lParam)))
                return TRUE;
            break;
        case WM_TIMER:
            if (OnTimer(static_cast<UINT_PTR>(wParam))) return TRUE;
            break;
        case WM_DESTROY: {
            OnDestroy();
            return TRUE;
        }
        case WM_NCDESTROY:
            ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
            hwnd_ = nullptr;
            return FALSE;
        default:
            break;
    }
    LRESULT result = 0;
    if (!OnMessage(msg, wParam, lParam, result)) return FALSE;
    switch (msg) {
        // These answer through the dialog procedure's own return value.
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC:
        case WM_COMPAREITEM:
        case WM_VKEYTOITEM:
        case WM_CHARTOITEM:
        case WM_QUERYDRAGICON:
            return static_cast<INT_PTR>(result);
        default:
            ::SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, static_cast<LONG_PTR>(result));
            return TRUE;
    }
}

}  // namespace framework
