// After the machine wakes, Wi-Fi and DHCP take a while: misses do not count
// until a target answers or the grace has run out. A wake is told by the
// power messages, or seen by the monitor itself as a jump of the clocks (a
// virtual machine that was paused, a clock that was moved). Portable: no
// Windows types.
#pragma once

#include <cstdint>

namespace vorlane {

class ResumeGrace {
  public:
    // `seconds` of grace from `nowMs`; 0 or less for none.
    void start(std::int64_t nowMs, int seconds);
    // An answer: misses count again.
    void end();
    bool active(std::int64_t nowMs) const { return nowMs < untilMs_; }
    // Whole seconds left, rounded up; 0 once it has run out.
    int secondsLeft(std::int64_t nowMs) const;

  private:
    std::int64_t untilMs_ = INT64_MIN;
};

// Slack beyond a cycle's longest expected length before a gap counts as a
// jump: lookups of names that never resolved and a busy machine fit in it.
constexpr std::int64_t kClockJumpSlackMs = 30 * 1000;

// Between two looks the monitor expected at most `expectedMs` to pass. A
// steady clock that ran far beyond it (the machine slept without a word),
// or a wall clock that moved apart from the steady one, means the network
// may have been away: treated as a resume.
bool LooksLikeAResume(std::int64_t steadyGapMs, std::int64_t wallGapMs, std::int64_t expectedMs);

// The power messages of one sleep: Windows sends a suspend, then on waking
// one or two resume messages (automatic, and again when a person is back).
// Each sleep is acted on once; a resume seen without a suspend is acted on
// unless another was acted on within the last minute.
class SleepTracker {
  public:
    // True for the first suspend message of a sleep.
    bool suspend();
    // True for the first resume message of a wake.
    bool resume(std::int64_t nowMs);
    bool asleep() const { return asleep_; }

  private:
    bool asleep_ = false;
    std::int64_t lastResumeMs_ = INT64_MIN;
};

}  // namespace vorlane
