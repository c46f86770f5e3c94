// Where the bar's tooltip goes (the tooltip itself: StatusBarTooltip_win.h).
// Portable.
#pragma once

#include "app/Layout.h"

namespace vorlane {

// Between the bar and the tip.
constexpr int kTooltipGap = 2;

// The tip's top-left corner, in screen coordinates like the rest: just below
// the bar, or just above it when the tip would reach past the bottom of the
// work area of the bar's monitor; level with the bar's left edge, moved left
// as far as it must to end at the work area's right edge, but never past its
// left edge (a tip wider than the work area starts at its left edge).
Point PlaceTooltip(const Rect& bar, int tipWidth, int tipHeight, const Rect& workArea);

}  // namespace vorlane
