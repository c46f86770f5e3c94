#include "app/Layout.h"
#include "core/FontSize.h"

#include <climits>

#include <gtest/gtest.h>

namespace vorlane {
namespace {

TEST(BarLayout, MarginTruncatesTheSinglePrecisionFactor) {
    // 0.08f lies just below 0.08: multiples of 25 come out one lower.
    EXPECT_EQ(ComputeBarLayout(100, 20).margin, 7);
    EXPECT_EQ(ComputeBarLayout(99, 20).margin, 7);
    EXPECT_EQ(ComputeBarLayout(200, 20).margin, 15);
    EXPECT_EQ(ComputeBarLayout(12, 20).margin, 0);
    EXPECT_EQ(ComputeBarLayout(13, 20).margin, 1);
}

TEST(BarLayout, SizeAndPenFollowTheMargin) {
    BarLayout l = ComputeBarLayout(100, 20);
    EXPECT_EQ(l.width, 128);
    EXPECT_EQ(l.height, 34);
    EXPECT_NEAR(l.penWidth, 6.3f, 1e-5f);

    BarLayout narrow = ComputeBarLayout(10, 9);
    EXPECT_EQ(narrow.width, 10);
    EXPECT_EQ(narrow.height, 9);
    EXPECT_EQ(narrow.penWidth, 0.0f);
}

TEST(BarPlacement, DefaultIsTopRightOfTheWorkArea) {
    Rect work{0, 0, 1280, 770};
    Point p = DefaultBarPosition(work, 200);
    EXPECT_EQ(p.x, 1280 - 200 - kDefaultInset);
    EXPECT_EQ(p.y, kDefaultInset);
    // A bar wider than the work area still starts on it.
    EXPECT_EQ(DefaultBarPosition(work, 5000).x, 0);
}

TEST(BarPlacement, StoredPositionKeptWhilePartlyVisible) {
    Rect monitors[] = {{0, 0, 1280, 800}, {1280, 0, 2560, 1024}};
    Rect work{0, 0, 1280, 770};
    Point p = PlaceStoredPosition(2000, 900, 150, 30, monitors, 2, work);
    EXPECT_EQ(p.x, 2000);
    EXPECT_EQ(p.y, 900);
    p = PlaceStoredPosition(-100, 10, 150, 30, monitors, 2, work);  // half off the left edge
    EXPECT_EQ(p.x, -100);
}

TEST(BarPlacement, OffScreenPositionIsPulledBack) {
    Rect monitors[] = {{0, 0, 1280, 800}};
    Rect work{0, 0, 1280, 770};
    Point p = PlaceStoredPosition(3000, 100, 150, 30, monitors, 1, work);  // a monitor unplugged
    EXPECT_EQ(p.x, 1280 - 150);
    EXPECT_EQ(p.y, 100);
    p = PlaceStoredPosition(INT_MAX, INT_MIN, 150, 30, monitors, 1, work);
    EXPECT_EQ(p.x, 1280 - 150);
    EXPECT_EQ(p.y, 0);
    p = PlaceStoredPosition(INT_MIN, INT_MAX - 10, 150, 30, monitors, 1, work);
    EXPECT_EQ(p.x, 0);
    EXPECT_EQ(p.y, 770 - 30);
}

TEST(BarFont, SizesOutOfRangeUseTheDefault) {
    EXPECT_EQ(SaneFontSize(0), kDefaultFontSize);
    EXPECT_EQ(SaneFontSize(-5), kDefaultFontSize);
    EXPECT_EQ(SaneFontSize(100000), kDefaultFontSize);
    EXPECT_EQ(SaneFontSize(6), 6);
    EXPECT_EQ(SaneFontSize(200), 200);
}

TEST(BarFont, ScalesWithTheScreensDpi) {
    EXPECT_EQ(EmPixels(16, 96), 16);
    EXPECT_EQ(EmPixels(16, 144), 24);
    EXPECT_EQ(EmPixels(16, 192), 32);
    EXPECT_EQ(EmPixels(15, 120), 19);  // 18.75 rounds up
    EXPECT_EQ(EmPixels(200, kMaxDpi), kMaxEmPixels);
    EXPECT_EQ(EmPixels(0, 192), 2 * kDefaultFontSize);  // insane size first, then scaled
    for (int dpi : {0, -96, 10, kMaxDpi + 1}) EXPECT_EQ(EmPixels(16, dpi), 16) << dpi;
}

}  // namespace
}  // namespace vorlane
