#include "app/Glance.h"

#include <gtest/gtest.h>

namespace vorlane {
namespace {

const LocalTime kSince{2026, 3, 7, 9, 5, 4, 7, 8 * 60};

// The glance's lines from the one for the round trip on; a zero round trip
// is an answer like any other.
std::wstring FromRoundTrip(int sent, int lost) {
    Glance glance;
    glance.roundTripMs = 0;
    glance.lossLastHour.sent = sent;
    glance.lossLastHour.lost = lost;
    const std::wstring text = GlanceText(glance);
    return text.substr(0, text.find(L"\r\n尚无探测结果"));
}

TEST(GlanceText, EachTargetSaysWhatItsLookupGaveAndNilIsAFailure) {
    Glance glance;
    glance.targets = {{L"router.lan", L"192.168.1.1"},
                      {L"127.0.0.1", L"127.0.0.1"},
                      {L"nas.lan", L""},
                      {L"gone.lan", L"NIL"},
                      {L"", L""}};
    glance.state = LinkHistory::State::Down;
    glance.since = kSince;
    glance.missed = 4;
    glance.drops = 2;
    glance.logPath = L"\\\\server\\share\\Vorlane\\Vorlane.log";
    EXPECT_EQ(GlanceText(glance),
              L"目标：router.lan → 192.168.1.1\r\n"
              L"目标：127.0.0.1\r\n"
              L"目标：nas.lan（尚未解析）\r\n"
              L"目标：gone.lan（解析失败）\r\n"
              L"目标：未设定\r\n"
              L"掉线自 2026-03-07 09:05:04，已丢失 4 次\r\n"
              L"启动以来掉线：2 次\r\n"
              L"日志：\\\\server\\share\\Vorlane\\Vorlane.log");
}

TEST(GlanceText, ANoAnswerYetHasNoRoundTripNorLossAndTheLogSaysWhyItFails) {
    Glance glance;
    EXPECT_EQ(GlanceText(glance), L"尚无探测结果\r\n启动以来掉线：0 次\r\n日志：未开启");

    glance.state = LinkHistory::State::Up;
    glance.since = kSince;
    glance.logPath = L"C:\\Program Files\\Vorlane\\Vorlane.log";
    glance.logProblem = L"拒绝访问（错误 5）";
    EXPECT_EQ(GlanceText(glance),
              L"连通自 2026-03-07 09:05:04\r\n启动以来掉线：0 次\r\n"
              L"日志无法写入：C:\\Program Files\\Vorlane\\Vorlane.log：拒绝访问（错误 5）");
}

TEST(GlanceText, LossIsRoundedToATenthOfAPerCent) {
    EXPECT_EQ(FromRoundTrip(0, 0), L"往返时间：0 ms");
    EXPECT_EQ(FromRoundTrip(60, 0), L"往返时间：0 ms\r\n近一小时丢包：0.0%（0/60）");
    EXPECT_EQ(FromRoundTrip(3, 1), L"往返时间：0 ms\r\n近一小时丢包：33.3%（1/3）");
    EXPECT_EQ(FromRoundTrip(3, 2), L"往返时间：0 ms\r\n近一小时丢包：66.7%（2/3）");
    EXPECT_EQ(FromRoundTrip(2000, 1), L"往返时间：0 ms\r\n近一小时丢包：0.1%（1/2000）");
    EXPECT_EQ(FromRoundTrip(7, 7), L"往返时间：0 ms\r\n近一小时丢包：100.0%（7/7）");
    // A whole hour of probes every 10 ms: no overflow on the way.
    EXPECT_EQ(FromRoundTrip(360000, 359999),
              L"往返时间：0 ms\r\n近一小时丢包：100.0%（359999/360000）");
}

}  // namespace
}  // namespace vorlane
