#include "alarm/PauseClock.h"

#include <gtest/gtest.h>

namespace vorlane {
namespace {

TEST(PauseClockTest, ATimedPauseEndsOnTheWallClockAndOneUntilContinuedNever) {
    PauseClock pause;
    EXPECT_FALSE(pause.expired(0));
    pause.pauseFor(1000, 15);
    EXPECT_TRUE(pause.timed());
    EXPECT_EQ(pause.msLeft(1000), 15 * 60 * 1000);
    EXPECT_FALSE(pause.expired(1000 + 15 * 60 * 1000 - 1));
    EXPECT_TRUE(pause.expired(1000 + 15 * 60 * 1000));
    // Woken long after its end: over, and never a negative wait.
    EXPECT_EQ(pause.msLeft(1000 + 24 * 3600 * 1000LL), 1);
    pause.pauseFor(1000, 0);
    EXPECT_TRUE(pause.paused());
    EXPECT_FALSE(pause.timed());
    EXPECT_FALSE(pause.expired(INT64_MAX));
    pause.end();
    EXPECT_FALSE(pause.paused());
}

TEST(PauseClockTest, TheBarSaysUntilWhen) {
    EXPECT_EQ(PausedText(true, 9, 5), L"已暂停，至 09:05");
    EXPECT_EQ(PausedText(true, 23, 59), L"已暂停，至 23:59");
    EXPECT_EQ(PausedText(false, 9, 5), L"已暂停");
    EXPECT_EQ(PauseEndText(2026, 12, 1, 0, 7), L"2026-12-01 00:07");
}

}  // namespace
}  // namespace vorlane
