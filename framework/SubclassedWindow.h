// Takes over the window procedure of an existing window (a dialog's control)
// and forwards every message to a virtual OnMessage; what it does not handle
// goes to the original procedure. Detaches itself at WM_NCDESTROY.
#pragma once

#include <windows.h>

namespace framework {

class SubclassedWindow {
  public:
    SubclassedWindow() noexcept = default;
    virtual ~SubclassedWindow();

    SubclassedWindow(const SubclassedWindow&) = delete;
    SubclassedWindow& operator=(const SubclassedWindow&) = delete;

    bool Attach(HWND hwnd);
    void Detach();
    HWND hwnd() const noexcept { return hwnd_; }

  protected:
    // Return true when handled, with the answer in `result`.
    virtual bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) = 0;
    // Called once the window has gone (WM_NCDESTROY), before the handle is forgotten.
    virtual void OnFinalMessage() {}
    LRESULT CallOriginal(UINT msg, WPARAM wParam, LPARAM lParam);

  private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    HWND hwnd_ = nullptr;
    WNDPROC original_ = nullptr;
};

}  // namespace framework
