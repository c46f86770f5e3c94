#include "core/CoreText.h"

#include <gtest/gtest.h>

#include "core/FontSize.h"

namespace vorlane {
namespace {

TEST(TextBox, InkOffsetMirroredLineSpacingOrDeeperInkAllRoundedUp) {
    // 16 px in a family whose line spacing is 2355 of 2048 units: 18.4 px.
    TextBox box = TextBoxOf(InkBox{1.5f, 3.2f, 100.2f, 12.1f}, 16, 2355, 2048);
    EXPECT_EQ(box.width, 104);  // 1.5 + 100.2 + 1.5
    EXPECT_EQ(box.height, 19);

    // A glyph that reaches left of the origin: up to the ink's right edge.
    EXPECT_EQ(TextBoxOf(InkBox{-2, 3, 50, 12}, 16, 2355, 2048).width, 48);
    // A descender below the line.
    EXPECT_EQ(TextBoxOf(InkBox{1, 3, 50, 17.5f}, 16, 2355, 2048).height, 21);
    // Whole pixels stay as they are.
    box = TextBoxOf(InkBox{0, 0, 100, 16}, 16, 2048, 2048);
    EXPECT_EQ(box.width, 100);
    EXPECT_EQ(box.height, 16);
}

TEST(TextBox, NoInkOrNoEmHeightStillGivesALine) {
    TextBox box = TextBoxOf(InkBox{}, 16, 2355, 2048);
    EXPECT_EQ(box.width, 0);
    EXPECT_EQ(box.height, 19);
    EXPECT_EQ(TextBoxOf(InkBox{1, 2, 30, 10}, 16, 2355, 0).height, 16);
}

TEST(TextBox, SizesOutsideWhatTheBarDrawsAreMeasuredAtTheDefault) {
    EXPECT_EQ(MeasuredEmPixels(6), 6);
    EXPECT_EQ(MeasuredEmPixels(kMaxEmPixels), kMaxEmPixels);
    for (int size : {5, 0, -16, kMaxEmPixels + 1}) {
        EXPECT_EQ(MeasuredEmPixels(size), kDefaultFontSize) << size;
    }
}

}  // namespace
}  // namespace vorlane
