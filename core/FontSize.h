// The em size of the bar's text: what the store holds, kept within reason, and
// that size on a screen of a given DPI.
#pragma once

namespace vorlane {

constexpr int kDefaultFontSize = 16;

// Sizes below 6 or above 200 pixels would give a bar without legible text or
// one larger than the screen: they fall back to the default size.
constexpr int SaneFontSize(int stored) {
    return (stored < 6 || stored > 200) ? kDefaultFontSize : stored;
}

// The stored size is pixels at 96 DPI; on a screen of `dpi` the bar's text is
// that many times dpi/96 pixels, rounded. A DPI that no screen has (0, or
// beyond Windows' largest scale) counts as 96.
constexpr int kBaseDpi = 96;
constexpr int kMaxDpi = 960;
constexpr int kMaxEmPixels = 200 * kMaxDpi / kBaseDpi;
constexpr int EmPixels(int stored, int dpi) {
    const int d = (dpi < kBaseDpi / 2 || dpi > kMaxDpi) ? kBaseDpi : dpi;
    return (SaneFontSize(stored) * d + kBaseDpi / 2) / kBaseDpi;
}

}  // namespace vorlane
