// The bar's tooltip: a common-controls tooltip whose one tool is the whole
// bar. It subclasses the bar to see the mouse, so it shows when the mouse
// rests on the bar and goes when the mouse leaves or a button is pressed.
#pragma once

#include <windows.h>

#include <string>

namespace vorlane {

class StatusBarTooltip {
  public:
    StatusBarTooltip() = default;
    ~StatusBarTooltip();
    StatusBarTooltip(const StatusBarTooltip&) = delete;
    StatusBarTooltip& operator=(const StatusBarTooltip&) = delete;

    // Makes the tooltip for `bar`; without it the other calls do nothing.
    void attach(HINSTANCE instance, HWND bar);
    // A shown tip takes the new text at once. Lines break at "\r\n".
    void setText(const std::wstring& text);
    // Hides the tip and keeps it away, e.g. while the bar's menu is up, so
    // that it never covers the menu; resume() lets it show again.
    void suspend();
    void resume();

  private:
    HWND tip_ = nullptr;
    HWND bar_ = nullptr;
    std::wstring text_;
};

}  // namespace vorlane
