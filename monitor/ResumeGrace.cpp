#include "monitor/ResumeGrace.h"

namespace vorlane {

namespace {
constexpr std::int64_t kResumeEchoMs = 60 * 1000;
}

void ResumeGrace::start(std::int64_t nowMs, int seconds) {
    untilMs_ = seconds > 0 ? nowMs + static_cast<std::int64_t>(seconds) * 1000 : INT64_MIN;
}

void ResumeGrace::end() { untilMs_ = INT64_MIN; }

int ResumeGrace::secondsLeft(std::int64_t nowMs) const {
    if (!active(nowMs)) return 0;
    return static_cast<int>((untilMs_ - nowMs + 999) / 1000);
}

bool LooksLikeAResume(std::int64_t steadyGapMs, std::int64_t wallGapMs, std::int64_t expectedMs) {
    if (steadyGapMs > expectedMs + kClockJumpSlackMs) return true;
    const std::int64_t apart = wallGapMs - steadyGapMs;
    return apart > kClockJumpSlackMs || apart < -kClockJumpSlackMs;
}

bool SleepTracker::suspend() {
    if (asleep_) return false;
    asleep_ = true;
    return true;
}

bool SleepTracker::resume(std::int64_t nowMs) {
    const bool fresh =
        asleep_ || lastResumeMs_ == INT64_MIN || nowMs - lastResumeMs_ > kResumeEchoMs;
    asleep_ = false;
    if (fresh) lastResumeMs_ = nowMs;
    return fresh;
}

}  // namespace vorlane
