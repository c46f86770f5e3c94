#include "monitor/DropRule.h"

#include <gtest/gtest.h>

#include <string>

#include "monitor/ResumeGrace.h"

namespace vorlane {
namespace {

// Feeds "x" (missed) and "o" (answered); returns the cycle (1-based) at which
// the drop came, 0 for none.
int DropAt(DropRule& rule, const std::string& cycles) {
    for (std::size_t i = 0; i < cycles.size(); ++i) {
        if (cycles[i] != 'x') {
            rule.answer();
        } else if (rule.miss()) {
            return static_cast<int>(i + 1);
        }
    }
    return 0;
}

TEST(DropRuleTest, InARowAndOverAWindowAtTheirEdges) {
    DropRule rule;
    rule.configure(3, 0, 1);
    EXPECT_EQ(DropAt(rule, "xxoxxoxxx"), 9);
    // A window as long as the limit is the same rule as in a row.
    rule.configure(3, 3, 1);
    EXPECT_EQ(DropAt(rule, "xxoxxoxxx"), 9);
    // Every other probe lost: never three in a row, but 3 of the last 5.
    rule.configure(3, 0, 1);
    EXPECT_EQ(DropAt(rule, "xoxoxoxoxoxo"), 0);
    rule.configure(3, 5, 1);
    EXPECT_EQ(DropAt(rule, "xoxox"), 5);
    // A miss that leaves the window no longer counts: x..x..x spread over
    // more than the window never fires.
    rule.configure(3, 5, 1);
    EXPECT_EQ(DropAt(rule, "xoooxoooxooox"), 0);
    EXPECT_EQ(rule.count(), 2);
    // A window shorter than the limit is read as the limit, never as "never".
    rule.configure(3, 2, 1);
    EXPECT_EQ(DropAt(rule, "xxx"), 3);
    // Below one try there is no drop at all.
    rule.configure(0, 0, 1);
    EXPECT_EQ(DropAt(rule, "xxxxxxxx"), 0);
}

TEST(DropRuleTest, AfterADropOnlyEnoughAnswersInARowEndTheOutage) {
    DropRule rule;
    rule.configure(2, 0, 3);
    // Before any drop every answer is a recovery.
    EXPECT_TRUE(rule.answer());
    EXPECT_FALSE(rule.miss());
    EXPECT_TRUE(rule.miss());
    EXPECT_FALSE(rule.answer());
    EXPECT_FALSE(rule.answer());
    rule.miss();     // breaks the run
    rule.restart();  // a resume after the alarm keeps the drop outstanding
    EXPECT_FALSE(rule.answer());
    EXPECT_FALSE(rule.answer());
    EXPECT_TRUE(rule.answer());
    EXPECT_FALSE(rule.dropOutstanding());
    EXPECT_TRUE(rule.answer());
}

TEST(DropRuleTest, TheConfirmIntervalLastsUntilAnAnswer) {
    EXPECT_EQ(CycleIntervalSeconds(60, 5, true), 60);
    EXPECT_EQ(CycleIntervalSeconds(60, 5, false), 5);
    EXPECT_EQ(CycleIntervalSeconds(60, 0, false), 60);
    EXPECT_EQ(CycleIntervalSeconds(3, 5, false), 3);  // never longer than the interval
}

TEST(ResumeGraceTest, EndsByAnswerOrTimeAndZeroIsNone) {
    ResumeGrace grace;
    grace.start(1000, 60);
    EXPECT_TRUE(grace.active(60999));
    EXPECT_EQ(grace.secondsLeft(1001), 60);
    EXPECT_EQ(grace.secondsLeft(60001), 1);
    EXPECT_FALSE(grace.active(61000));
    grace.start(1000, 60);
    grace.end();
    EXPECT_FALSE(grace.active(1001));
    grace.start(1000, 0);
    EXPECT_FALSE(grace.active(1000));
}

TEST(ResumeGraceTest, ClockJumpsAndTheSecondResumeMessage) {
    // A cycle expected 5 s: a little late is no jump, half a minute beyond is.
    EXPECT_FALSE(LooksLikeAResume(9000, 9000, 5000));
    EXPECT_TRUE(LooksLikeAResume(5000 + kClockJumpSlackMs + 1, 40000, 5000));
    // The steady clock stood still while the wall clock ran (a sleep it did
    // not count), or the wall clock was set back.
    EXPECT_TRUE(LooksLikeAResume(5000, 5000 + kClockJumpSlackMs + 1, 5000));
    EXPECT_TRUE(LooksLikeAResume(5000, -3600 * 1000, 5000));

    SleepTracker sleep;
    EXPECT_TRUE(sleep.suspend());
    EXPECT_FALSE(sleep.suspend());
    EXPECT_TRUE(sleep.resume(100000));
    EXPECT_FALSE(sleep.resume(101000));  // the second message of the same wake
    EXPECT_TRUE(sleep.suspend());
    EXPECT_TRUE(sleep.resume(102000));  // a new sleep, however soon
    // A resume without a suspend seen, long after the last: acted on.
    EXPECT_TRUE(sleep.resume(102000 + 61000));
}

}  // namespace
}  // namespace vorlane
