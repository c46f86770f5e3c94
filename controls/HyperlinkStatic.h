// A dialog's static text turned into a web link: link colours, a hover colour
// (and in one mode an underline) while the cursor is over it, a hand cursor, a
// tooltip with the address, and a click that opens the address in the browser.
//
// The control's own messages arrive through the subclassed window procedure;
// the two that Windows sends to the parent (WM_CTLCOLORSTATIC and the
// STN_CLICKED WM_COMMAND) the dialog hands to handleParentMessage first.
#pragma once

#include <windows.h>

#include <string>

#include "framework/Handles.h"
#include "framework/SubclassedWindow.h"

namespace vorlane {

class HyperlinkStatic : public framework::SubclassedWindow {
  public:
    enum UnderlineMode { UnderlineOnHover = -1, UnderlineNever = 0, UnderlineAlways = 1 };

    HyperlinkStatic() = default;
    ~HyperlinkStatic() override;

    // Takes over the dialog's static control and sets it up: click notification,
    // fonts, size fitted to the text, hand cursor, tooltip, underline on hover.
    bool attach(HWND control);

    // Without a window these only store their value.
    void setLinkUrl(const std::wstring& url);
    void setVisitedState(bool visited);
    void setUnderlineMode(int mode);

    // The parent passes WM_CTLCOLORSTATIC and WM_COMMAND here first; true when
    // the message was about this control, with the answer in `result`.
    bool handleParentMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);

    const std::wstring& linkUrl() const { return linkUrl_; }
    bool visited() const { return visited_; }

  protected:
    bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void OnFinalMessage() override;

  private:
    static constexpr UINT_PTR kHoverTimerId = 100;
    static constexpr UINT kHoverPeriodMs = 100;
    static constexpr UINT_PTR kToolId = 1;

    void makeFonts();
    void resizeToText();
    void loadHandCursor();
    void createTooltip();
    void relayToTooltip(UINT msg, WPARAM wParam, LPARAM lParam);
    void traceTooltipShown(const NMHDR* header);
    void onMouseMove();
    void onHoverCheck();
    void onClicked();
    void invalidate();
    void releaseWindowResources();

    bool hovering_ = false;
    bool visited_ = false;
    int underlineMode_ = UnderlineOnHover;
    bool autoResize_ = true;
    std::wstring linkUrl_;
    framework::UniqueHfont underlinedFont_;
    framework::UniqueHfont plainFont_;
    HCURSOR handCursor_ = nullptr;
    framework::UniqueHcursor ownedCursor_;  // set when handCursor_ is our own copy
    HWND tooltip_ = nullptr;
};

}  // namespace vorlane
