// How the bar's picture reaches the screen: drawn into the surface kept
// between redraws (or taken as the worker drew it ahead), then handed to the
// layered window by UpdateLayeredWindow, or painted at WM_PAINT where the
// system has no layered update.
#pragma once

#include <windows.h>

#include "app/BarPicturesAhead_win.h"
#include "app/BarSurface_win.h"

namespace vorlane {

class BarDrawing {
  public:
    // Looks up the layered update for `window`; without user32 the program
    // says so and ends.
    void attach(HWND window);
    // Draws the picture and shows it, then has the one likely to follow it
    // drawn ahead.
    void show(const BarPicture& picture);
    // True when the window shows this very picture already.
    bool shows(const BarPicture& picture) const;
    // Hands the kept surface's picture, or `surface`'s, to the window as it is.
    void present() { present(surface_); }
    void present(const BarSurface& surface);
    // WM_PAINT: false when the layered update shows the picture and the
    // message is not this class's.
    bool paint();
    BarPicturesAhead& ahead() { return ahead_; }

  private:
    using UpdateLayeredWindowFn = BOOL(WINAPI*)(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF,
                                                BLENDFUNCTION*, DWORD);
    HWND window_ = nullptr;
    UpdateLayeredWindowFn updateLayered_ = nullptr;
    BLENDFUNCTION blend_{};
    // The face, kept between redraws; also what WM_PAINT shows where the
    // layered update is missing.
    BarSurface surface_;
    // The pictures likely to be shown next, drawn ahead.
    BarPicturesAhead ahead_;
};

}  // namespace vorlane
