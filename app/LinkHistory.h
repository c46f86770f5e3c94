// What the bar knows about the link since the program started: whether the
// target answers now and since when, how many probes in a row it missed, the
// drops, and the share of probes lost in the last hour. It turns the stream
// of probe results into the few moments worth a log line (the link goes down,
// comes back up); a healthy probe after a healthy one is none of them.
// Portable: times come in as arguments.
#pragma once

#include <array>
#include <cstdint>

#include "core/EventLog.h"

namespace vorlane {

// Probes sent and lost per minute over the last hour, in 60 one-minute
// buckets reused in turn: its size is fixed however long the program runs
// and however often it probes. "The last hour" is the current minute and
// the 59 before it.
class LossRecord {
  public:
    struct Share {
        int sent = 0;
        int lost = 0;
    };
    // `nowMs` from a clock that never goes back.
    void add(std::int64_t nowMs, bool answered);
    Share lastHour(std::int64_t nowMs) const;

  private:
    struct Bucket {
        std::int64_t minute = -1;
        int sent = 0;
        int lost = 0;
    };
    static constexpr int kMinutes = 60;
    std::array<Bucket, kMinutes> buckets_{};
};

struct LinkChange {
    enum class Kind { None, Down, Up };
    Kind kind = Kind::None;
    std::int64_t downForMs = 0;  // Up: from the first missed probe to the answer
    int missed = 0;              // Up: probes missed in between
};

class LinkHistory {
  public:
    enum class State { Unknown, Up, Down };

    // One probe's result at steady time `nowMs`, wall time `at`.
    LinkChange record(bool answered, std::int64_t nowMs, const LocalTime& at);
    void recordDrop() { ++drops_; }

    State state() const { return state_; }
    const LocalTime& since() const { return since_; }
    int missed() const { return missed_; }
    int drops() const { return drops_; }
    LossRecord::Share lossLastHour(std::int64_t nowMs) const { return losses_.lastHour(nowMs); }

  private:
    State state_ = State::Unknown;
    LocalTime since_;
    std::int64_t downAtMs_ = 0;
    int missed_ = 0;
    int drops_ = 0;
    LossRecord losses_;
};

}  // namespace vorlane
