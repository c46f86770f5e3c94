// Which text the bar is likely to show next. Portable.
#pragma once

#include <string>

namespace vorlane {

// The text with its trailing number moved by `step`; empty where it has
// none, where it is too long or written with a leading zero (no counter of
// ours writes such), or where it would go below zero.
std::wstring StepCounter(const std::wstring& text, int step);

// Every text the bar changes while it shows it ends in a counter that moves
// by one: a countdown's seconds going down, dropped or unanswered probes
// going up. After `before` and then `shown`, the likely next text is the
// counter going on the way it went, or up where it just appeared; empty
// when `shown` has no counter.
std::wstring LikelyNextText(const std::wstring& before, const std::wstring& shown);

}  // namespace vorlane
