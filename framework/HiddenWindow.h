// A window that is never shown and only takes messages: those the program
// posts to itself, its timers, and the messages Windows sends or broadcasts
// to every top-level window (a registered message, and the power and
// session messages). Top-level for that reason: a message-only window
// (HWND_MESSAGE) gets none of the broadcasts. Each message goes to the
// virtual OnMessage; what it does not handle goes to DefWindowProc.
#pragma once

#include <windows.h>

namespace framework {

class HiddenWindow {
  public:
    HiddenWindow() noexcept = default;
    HiddenWindow(const HiddenWindow&) = delete;
    HiddenWindow& operator=(const HiddenWindow&) = delete;

    // Registers `className` (a second registration fails harmlessly) and
    // makes the window; false when it cannot be made.
    bool Create(HINSTANCE instance, const wchar_t* className);
    void Destroy();
    HWND hwnd() const noexcept { return hwnd_; }

  protected:
    // Destroys the window; OnMessage no longer runs by then. Never deleted
    // through this class.
    ~HiddenWindow();
    // Return true when handled, with the answer in `result`.
    virtual bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) = 0;

  private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    HWND hwnd_ = nullptr;
};

}  // namespace framework
