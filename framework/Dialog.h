// A dialog made from a resource template, modal or modeless, in the
// resources' language (framework/ResourceLanguage.h). The dialog
// procedure stores `this` in GWLP_USERDATA at WM_INITDIALOG and decodes each
// message once into a virtual handler; everything without a handler of its own
// reaches OnMessage.
#pragma once

#include <windows.h>

#include <string>

namespace framework {

class Dialog {
  public:
    Dialog(HINSTANCE instance, int templateId) noexcept;
    virtual ~Dialog();

    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    // Runs the dialog's own modal loop; returns its EndDialog result, or -1 when
    // the dialog could not be created.
    INT_PTR DoModal(HWND owner);
    // Creates the dialog and returns at once; the caller's loop drives it.
    HWND CreateModeless(HWND owner);

    HWND hwnd() const noexcept { return hwnd_; }
    HINSTANCE instance() const noexcept { return instance_; }
    bool isModal() const noexcept { return modal_; }

    // Ends a modal run with `result`; destroys a modeless dialog.
    void EndDialog(INT_PTR result);

  protected:
    // WM_INITDIALOG. Return true to let the system put the focus on the first
    // tab stop, false when the handler set the focus itself.
    virtual bool OnInit() { return true; }
    // WM_COMMAND, decoded. Return true when handled. The default sends IDOK to
    // OnOK and IDCANCEL to OnCancel.
    virtual bool OnCommand(int notifyCode, int id, HWND control);
    // WM_TIMER. Return true when handled.
    virtual bool OnTimer(UINT_PTR /*id*/) { return false; }
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }
    // WM_DESTROY, before the window's handle is forgotten.
    virtual void OnDestroy() {}
    // Every other message. Return true when handled and put the message's
    // result into `result`; it becomes the dialog procedure's answer.
    virtual bool OnMessage(UINT /*msg*/, WPARAM /*wParam*/, LPARAM /*lParam*/,
                           LRESULT& /*result*/) {
        return false;
    }

    HWND item(int id) const noexcept { return ::GetDlgItem(hwnd_, id); }
    std::wstring itemText(int id) const;
    void setItemText(int id, const std::wstring& text) const;

  private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    INT_PTR Dispatch(UINT msg, WPARAM wParam, LPARAM lParam);

    HINSTANCE instance_;
    int templateId_;
    HWND hwnd_ = nullptr;
    bool modal_ = false;
};

// The window text of any window as a std::wstring.
std::wstring WindowText(HWND hwnd);

}  // namespace framework
