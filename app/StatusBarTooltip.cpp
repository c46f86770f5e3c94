#include "app/StatusBarTooltip.h"

namespace vorlane {

Point PlaceTooltip(const Rect& bar, int tipWidth, int tipHeight, const Rect& workArea) {
    Point at{bar.left, bar.bottom + kTooltipGap};
    if (at.y + tipHeight > workArea.bottom) at.y = bar.top - kTooltipGap - tipHeight;
    if (at.x + tipWidth > workArea.right) at.x = workArea.right - tipWidth;
    if (at.x < workArea.left) at.x = workArea.left;
    return at;
}

}  // namespace vorlane
