#include "app/LinkHistory.h"

#include <gtest/gtest.h>

namespace vorlane {
namespace {

using Kind = LinkChange::Kind;
constexpr std::int64_t kMinute = 60000;

TEST(LinkHistory, OnlyTheTurnsOfTheLinkAreChanges) {
    LinkHistory link;
    LocalTime at;
    // The very first probe unanswered is a "down" too.
    EXPECT_EQ(link.record(false, 1000, at).kind, Kind::Down);
    at.second = 7;
    EXPECT_EQ(link.record(true, 3500, at).kind, Kind::Up);
    for (int i = 0; i < 100; ++i) EXPECT_EQ(link.record(true, 4000 + i, at).kind, Kind::None);
    EXPECT_EQ(link.state(), LinkHistory::State::Up);
    EXPECT_EQ(link.since().second, 7);  // up since the first answer, not the last

    at.second = 30;
    EXPECT_EQ(link.record(false, 10000, at).kind, Kind::Down);
    EXPECT_EQ(link.record(false, 12000, at).kind, Kind::None);
    EXPECT_EQ(link.record(false, 14000, at).kind, Kind::None);
    EXPECT_EQ(link.missed(), 3);
    EXPECT_EQ(link.since().second, 30);
    const LinkChange up = link.record(true, 16500, at);
    EXPECT_EQ(up.kind, Kind::Up);
    EXPECT_EQ(up.missed, 3);
    EXPECT_EQ(up.downForMs, 6500);
    EXPECT_EQ(link.missed(), 0);
}

TEST(LossRecord, TheHourSlidesOverTheRingWithoutOldMinutes) {
    LossRecord record;
    const std::int64_t base = 1000 * kMinute + 5;
    // Minute 0 of the record: 10 sent, 4 lost; then one answered probe a
    // minute for the next 59 minutes.
    for (int i = 0; i < 10; ++i) record.add(base + i, i >= 4);
    for (int m = 1; m < 60; ++m) record.add(base + m * kMinute, true);
    auto share = record.lastHour(base + 59 * kMinute);
    EXPECT_EQ(share.sent, 69);
    EXPECT_EQ(share.lost, 4);

    // Minute 60 reuses minute 0's bucket: its losses leave the hour.
    record.add(base + 60 * kMinute, false);
    share = record.lastHour(base + 60 * kMinute);
    EXPECT_EQ(share.sent, 60);
    EXPECT_EQ(share.lost, 1);
    // Asked later without new probes, the old minutes drop out one by one.
    share = record.lastHour(base + 118 * kMinute);
    EXPECT_EQ(share.sent, 2);
    EXPECT_EQ(share.lost, 1);
    EXPECT_EQ(record.lastHour(base + 200 * kMinute).sent, 0);

    // After a silence of more than an hour, a bucket's stale count is not
    // added to the new minute's.
    record.add(base + 181 * kMinute, true);
    share = record.lastHour(base + 181 * kMinute);
    EXPECT_EQ(share.sent, 1);
    EXPECT_EQ(share.lost, 0);
}

}  // namespace
}  // namespace vorlane
