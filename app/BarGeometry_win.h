// The bar's size and place on screen. Its size follows from its text's font
// measured at the DPI of the monitor it is on (app/Layout.h gives the
// proportions); its place is the stored one, pulled back onto a monitor when
// it would show on none, or the default corner.
#pragma once

#include <string>

namespace vorlane {

struct BarGeometry {
    std::wstring fontName;
    int fontSize = 0;  // pixels at 96 DPI, as stored
    int dpi = 96;      // of the monitor the bar is on
    int margin = 0;    // of the text
    int width = 0;
    int height = 0;
    int left = 0;  // stored, then placed
    int top = 0;
};

// Sizes the bar for a screen of `dpi`, with the installed font nearest the
// one asked for; does not move it. Needs GDI+ started.
void MeasureBar(BarGeometry& bar, int dpi);
// Sets the bar's place: the stored one when `stored`, else the top-right
// corner of the work area.
void PlaceBar(BarGeometry& bar, bool stored);

}  // namespace vorlane
