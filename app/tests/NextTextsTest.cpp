#include "app/NextTexts.h"

#include <gtest/gtest.h>

namespace vorlane {
namespace {

TEST(StepCounter, MovesTheTrailingNumberOnly) {
    EXPECT_EQ(StepCounter(L"倒数关机：10", -1), L"倒数关机：9");
    EXPECT_EQ(StepCounter(L"连续掉线：99", 1), L"连续掉线：100");
    EXPECT_EQ(StepCounter(L"999999999", 1), L"1000000000");
    EXPECT_EQ(StepCounter(L"1", -1), L"0");
    EXPECT_EQ(StepCounter(L"0", -1), L"");
    EXPECT_EQ(StepCounter(L"", 1), L"");
    EXPECT_EQ(StepCounter(L"没掉线，OK！", 1), L"");
    EXPECT_EQ(StepCounter(L"a 12 b", 1), L"");
    EXPECT_EQ(StepCounter(L"x07", 1), L"");
    // Too long to be a count, and beyond what an int holds.
    EXPECT_EQ(StepCounter(L"x1234567890", 1), L"");
}

TEST(LikelyNextText, GoesOnTheWayTheCounterWent) {
    EXPECT_EQ(LikelyNextText(L"倒数关机：60", L"倒数关机：59"), L"倒数关机：58");
    EXPECT_EQ(LikelyNextText(L"连续掉线：1", L"连续掉线：2"), L"连续掉线：3");
    // Just appeared: up, as dropped and unanswered probes go.
    EXPECT_EQ(LikelyNextText(L"没掉线，OK！", L"连续掉线：1"), L"连续掉线：2");
    EXPECT_EQ(LikelyNextText(L"", L"等待应答：1"), L"等待应答：2");
    EXPECT_EQ(LikelyNextText(L"倒数关机：1", L"执行命令行..."), L"");
}

}  // namespace
}  // namespace vorlane
