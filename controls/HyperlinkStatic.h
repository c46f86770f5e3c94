// A dialog's static text turned into a web link. Placeholder until the link
// control lands: attaching and the setters store their values only.
#pragma once

#include <windows.h>

#include <string>

namespace vorlane {

class HyperlinkStatic {
public:
    enum UnderlineMode { UnderlineOnHover = -1, UnderlineNever = 0, UnderlineAlways = 1 };

    // Takes over the static control (the set-up of a subclassed link).
    bool attach(HWND control) {
        hwnd_ = control;
        return control != nullptr;
    }
    void setLinkUrl(const std::wstring& url) { url_ = url; }
    void setVisitedState(bool visited) { visited_ = visited; }
    void setUnderlineMode(int mode) { mode_ = mode; }

    // The parent dialog passes WM_CTLCOLORSTATIC and WM_COMMAND here first;
    // true when the message was this control's, with the answer in `result`.
    bool handleParentMessage(UINT /*msg*/, WPARAM /*wParam*/, LPARAM /*lParam*/, LRESULT& /*result*/) {
        return false;
    }

private:
    HWND hwnd_ = nullptr;
    std::wstring url_;
    bool visited_ = false;
    int mode_ = -1;
};

}  // namespace vorlane
