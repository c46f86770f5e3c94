#include "alarm/PauseClock.h"

#include <algorithm>

#include "core/Texts.h"
#include "res/resource.h"

namespace vorlane {

namespace {

std::wstring TwoDigits(int value) {
    const wchar_t digits[] = {static_cast<wchar_t>(L'0' + value / 10 % 10),
                              static_cast<wchar_t>(L'0' + value % 10), 0};
    return digits;
}

}  // namespace

void PauseClock::pauseFor(std::int64_t nowMs, int minutes) {
    paused_ = true;
    untilMs_ = minutes > 0 ? nowMs + static_cast<std::int64_t>(minutes) * 60 * 1000 : 0;
}

std::int64_t PauseClock::msLeft(std::int64_t nowMs) const {
    if (!timed()) return 0;
    return std::max<std::int64_t>(untilMs_ - nowMs, 1);
}

std::wstring PausedText(bool timed, int hour, int minute) {
    if (!timed) return Text(IDS_PAUSED);
    return Text(IDS_PAUSED_UNTIL, {TwoDigits(hour) + L":" + TwoDigits(minute)});
}

std::wstring PauseEndText(int year, int month, int day, int hour, int minute) {
    return TwoDigits(year / 100) + TwoDigits(year) + L"-" + TwoDigits(month) + L"-" +
           TwoDigits(day) + L" " + TwoDigits(hour) + L":" + TwoDigits(minute);
}

}  // namespace vorlane
