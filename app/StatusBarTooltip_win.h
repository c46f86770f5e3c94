// The bar's tooltip: a common-controls tooltip in tracking mode whose one
// tool is the whole bar. The bar tells it about the mouse: after the mouse
// has rested on the bar it shows just below the bar (above it where the
// screen ends), so it never hides the bar's own text; it goes when the
// mouse leaves or a button is pressed.
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

    // From the bar's WM_MOUSEMOVE, WM_MOUSEHOVER and WM_MOUSELEAVE, and a
    // button press (which starts a drag or the menu).
    void mouseMoved();
    void mouseRested();
    void hide();

    // Hides the tip and keeps it away, e.g. while the bar's menu is up, so
    // that it never covers the menu; resume() lets it show again.
    void suspend();
    void resume();

  private:
    void place();

    HWND tip_ = nullptr;
    HWND bar_ = nullptr;
    std::wstring text_;
    bool shown_ = false;
    bool suspended_ = false;
};

}  // namespace vorlane
