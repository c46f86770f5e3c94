#include "app/LinkHistory.h"

namespace vorlane {
namespace {

std::int64_t MinuteOf(std::int64_t ms) { return ms >= 0 ? ms / 60000 : (ms - 59999) / 60000; }

}  // namespace

void LossRecord::add(std::int64_t nowMs, bool answered) {
    const std::int64_t minute = MinuteOf(nowMs);
    Bucket& bucket =
        buckets_[static_cast<std::size_t>(((minute % kMinutes) + kMinutes) % kMinutes)];
    if (bucket.minute != minute) bucket = Bucket{minute, 0, 0};
    ++bucket.sent;
    if (!answered) ++bucket.lost;
}

LossRecord::Share LossRecord::lastHour(std::int64_t nowMs) const {
    const std::int64_t minute = MinuteOf(nowMs);
    Share share;
    for (const Bucket& bucket : buckets_) {
        // A bucket last filled an hour or more ago holds another hour's minute.
        if (bucket.minute > minute - kMinutes && bucket.minute <= minute) {
            share.sent += bucket.sent;
            share.lost += bucket.lost;
        }
    }
    return share;
}

LinkChange LinkHistory::record(bool answered, std::int64_t nowMs, const LocalTime& at) {
    losses_.add(nowMs, answered);
    LinkChange change;
    if (answered) {
        if (state_ == State::Down) {
            change.kind = LinkChange::Kind::Up;
            change.downForMs = nowMs - downAtMs_;
            change.missed = missed_;
        }
        if (state_ != State::Up) since_ = at;
        state_ = State::Up;
        missed_ = 0;
        return change;
    }
    if (state_ != State::Down) {
        change.kind = LinkChange::Kind::Down;
        state_ = State::Down;
        since_ = at;
        downAtMs_ = nowMs;
        missed_ = 0;
    }
    ++missed_;
    return change;
}

}  // namespace vorlane
