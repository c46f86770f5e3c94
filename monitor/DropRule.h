// How unanswered cycles add up to a drop, and how answers end an outage
// after one. Today's rule counts misses in a row; with a loss window the
// drop is `tryTimes` misses among the last `tryWindow` counted cycles, which
// catches a link that loses most packets without firing on the odd lost one.
// After a drop, an outage ends only with `upAfter` answers in a row.
// Portable: no Windows types.
#pragma once

#include <cstddef>
#include <vector>

namespace vorlane {

constexpr int kLargestTryWindow = 1000;

class DropRule {
  public:
    // Counts from zero under the new rule; an outstanding drop stays.
    void configure(int tryTimes, int tryWindow, int upAfter);
    // Counts from zero (a new start, a resume after the alarm); an
    // outstanding drop stays outstanding.
    void restart();
    // One counted cycle that no target answered. True when the misses now
    // make a drop; the drop is then outstanding until answers end it.
    bool miss();
    // One cycle that a target answered. True when no outage after a drop is
    // outstanding any more: always, unless a drop waits for more answers in
    // a row.
    bool answer();
    // Misses that count towards the drop: in a row, or within the window.
    int count() const;
    bool dropOutstanding() const { return outstanding_; }

  private:
    void record(bool missed);

    int tryTimes_ = 0;
    int window_ = 0;  // 0: misses in a row
    int upAfter_ = 1;
    int inRow_ = 0;
    // The window's cycles, oldest overwritten first; true for a miss.
    std::vector<bool> cycles_;
    std::size_t next_ = 0;
    int misses_ = 0;
    int answersInRow_ = 0;
    bool outstanding_ = false;
};

// Seconds to wait before the next cycle: `tryInterval`, or after an
// unanswered cycle the confirm interval (`retryInterval`, never longer than
// `tryInterval`; 0 for none).
int CycleIntervalSeconds(int tryInterval, int retryInterval, bool lastCycleAnswered);

}  // namespace vorlane
