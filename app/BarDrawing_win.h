// How the bar's picture reaches the screen: drawn into a surface kept
// between redraws (or taken where it was drawn ahead), then handed to the
// layered window by UpdateLayeredWindow, or painted at WM_PAINT where the
// system has no layered update.
#pragma once

#include <windows.h>

#include "app/BarPictures_win.h"
#include "app/BarSurface_win.h"

namespace vorlane {

class BarDrawing {
  public:
    // Looks up the layered update for `window`; without user32 the program
    // says so and ends.
    void attach(HWND window);
    // Draws the picture and shows it, then asks the window (WM_DRAW_AHEAD)
    // to have the one likely to follow it drawn ahead.
    void show(const BarPicture& picture);
    // WM_DRAW_AHEAD: draws the picture likely to be shown next.
    void drawAhead() { pictures_.drawAhead(); }
    // True when the window shows this very picture already.
    bool shows(const BarPicture& picture) const;
    // Hands the shown picture, or `surface`'s, to the window as it is.
    void present() { present(pictures_.shown()); }
    void present(const BarSurface& surface);
    // WM_PAINT: false when the layered update shows the picture and the
    // message is not this class's.
    bool paint();

  private:
    using UpdateLayeredWindowFn = BOOL(WINAPI*)(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF,
                                                BLENDFUNCTION*, DWORD);
    HWND window_ = nullptr;
    UpdateLayeredWindowFn updateLayered_ = nullptr;
    BLENDFUNCTION blend_{};
    // The face, kept between redraws, and the one likely to come next; the
    // shown one is also what WM_PAINT shows where the layered update is
    // missing.
    BarPictures pictures_;
};

}  // namespace vorlane
