// The em size of the bar's text: what the store holds, kept within reason.
#pragma once

namespace vorlane {

constexpr int kDefaultFontSize = 16;

// Sizes below 6 or above 200 pixels would give a bar without legible text or
// one larger than the screen: they fall back to the default size.
constexpr int SaneFontSize(int stored) {
    return (stored < 6 || stored > 200) ? kDefaultFontSize : stored;
}

}  // namespace vorlane
