// The pause the bar's menu offers ("暂停监测"): for 15 minutes, an hour, four
// hours, or until continued. It is kept on the wall clock, so that a pause
// that ends while the machine sleeps is over when it wakes. Not stored: a
// restart watches again. Portable: no Windows types.
#pragma once

#include <cstdint>
#include <string>

namespace vorlane {

// The menu's choices in minutes, 0 for "直到继续".
constexpr int kPauseChoiceMinutes[] = {15, 60, 240, 0};

class PauseClock {
  public:
    // From `nowMs` (wall clock) for `minutes`; 0 or less: until continued.
    void pauseFor(std::int64_t nowMs, int minutes);
    void end() { paused_ = false; }
    bool paused() const { return paused_; }
    bool timed() const { return paused_ && untilMs_ > 0; }
    std::int64_t untilMs() const { return untilMs_; }
    // True when a timed pause has run out by `nowMs`.
    bool expired(std::int64_t nowMs) const { return timed() && nowMs >= untilMs_; }
    // Milliseconds to the end of a timed pause, at least 1; 0 for none.
    std::int64_t msLeft(std::int64_t nowMs) const;

  private:
    bool paused_ = false;
    std::int64_t untilMs_ = 0;
};

// The bar's text while paused: "已暂停，至 HH:MM" with the local time of a
// timed pause's end, "已暂停" for one until continued.
std::wstring PausedText(bool timed, int hour, int minute);

// The log's word for a timed pause's end, in local time: "YYYY-MM-DD hh:mm".
std::wstring PauseEndText(int year, int month, int day, int hour, int minute);

}  // namespace vorlane
