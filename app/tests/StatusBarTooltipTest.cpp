#include "app/StatusBarTooltip.h"

#include <gtest/gtest.h>

namespace vorlane {
namespace {

const Rect kWork{0, 0, 1280, 770};  // a taskbar below

TEST(TooltipPlacement, BelowTheBarUnlessTheWorkAreaEndsThenAbove) {
    const Rect bar{100, 16, 228, 50};
    Point at = PlaceTooltip(bar, 300, 80, kWork);
    EXPECT_EQ(at.x, 100);
    EXPECT_EQ(at.y, 50 + kTooltipGap);

    // A tip that ends exactly at the bottom of the work area still fits.
    const Rect low{100, 600, 228, 634};
    EXPECT_EQ(PlaceTooltip(low, 300, 770 - 634 - kTooltipGap, kWork).y, 634 + kTooltipGap);
    at = PlaceTooltip(low, 300, 770 - 634 - kTooltipGap + 1, kWork);
    EXPECT_EQ(at.y, 600 - kTooltipGap - (770 - 634 - kTooltipGap + 1));

    // A bar dragged half over the taskbar: the tip goes above, not under it.
    EXPECT_EQ(PlaceTooltip(Rect{100, 750, 228, 784}, 300, 40, kWork).y, 750 - kTooltipGap - 40);
}

TEST(TooltipPlacement, StaysInsideTheWorkAreaSideways) {
    // At the right edge: moved left to end there.
    EXPECT_EQ(PlaceTooltip(Rect{1150, 16, 1278, 50}, 300, 80, kWork).x, 1280 - 300);
    // Half off the left edge: starts at it.
    EXPECT_EQ(PlaceTooltip(Rect{-60, 16, 68, 50}, 300, 80, kWork).x, 0);
    // Wider than the work area: its start shows, the end is cut.
    EXPECT_EQ(PlaceTooltip(Rect{500, 16, 628, 50}, 1500, 80, kWork).x, 0);

    // A monitor left of the primary one, its taskbar on the left.
    const Rect left{-1920 + 48, 0, 0, 1080};
    const Point at = PlaceTooltip(Rect{-100, 1040, 28, 1074}, 300, 80, left);
    EXPECT_EQ(at.x, -300);
    EXPECT_EQ(at.y, 1040 - kTooltipGap - 80);
    EXPECT_EQ(PlaceTooltip(Rect{-1920, 10, -1792, 44}, 300, 80, left).x, -1920 + 48);
}

}  // namespace
}  // namespace vorlane
