#include "monitor/DropRule.h"

#include <algorithm>
#include <climits>

namespace vorlane {

void DropRule::configure(int tryTimes, int tryWindow, int upAfter) {
    tryTimes_ = tryTimes;
    // A window shorter than the misses it must hold could never fire.
    window_ = tryWindow <= 0 ? 0 : std::min(std::max(tryWindow, tryTimes), kLargestTryWindow);
    upAfter_ = std::max(upAfter, 1);
    restart();
}

void DropRule::restart() {
    inRow_ = 0;
    cycles_.assign(static_cast<std::size_t>(window_), false);
    next_ = 0;
    misses_ = 0;
    answersInRow_ = 0;
}

void DropRule::record(bool missed) {
    if (window_ == 0) return;
    if (cycles_[next_]) --misses_;
    cycles_[next_] = missed;
    if (missed) ++misses_;
    next_ = (next_ + 1) % cycles_.size();
}

bool DropRule::miss() {
    answersInRow_ = 0;
    if (inRow_ < INT_MAX) ++inRow_;
    record(true);
    const bool drop = tryTimes_ >= 1 && count() >= tryTimes_;
    if (drop) outstanding_ = true;
    return drop;
}

bool DropRule::answer() {
    inRow_ = 0;
    record(false);
    if (answersInRow_ < INT_MAX) ++answersInRow_;
    if (outstanding_ && answersInRow_ >= upAfter_) outstanding_ = false;
    return !outstanding_;
}

int DropRule::count() const { return window_ == 0 ? inRow_ : misses_; }

int CycleIntervalSeconds(int tryInterval, int retryInterval, bool lastCycleAnswered) {
    if (lastCycleAnswered || retryInterval <= 0) return tryInterval;
    return std::min(retryInterval, tryInterval);
}

}  // namespace vorlane
