// The status bar's geometry: sized once from the measured sample text, and
// kept findable on screen.
#pragma once

namespace vorlane {

// The factors are single-precision constants multiplied in double, so that
// e.g. a width of 100 gives a margin of 7, not 8.
constexpr float kMarginFactor = 0.08f;
constexpr float kFrameWidthFactor = 0.9f;

struct BarLayout {
    int margin = 0;      // text offset from the left and top edges
    int width = 0;       // sample width + 4 margins
    int height = 0;      // sample height + 2 margins
    float penWidth = 0;  // frame pen, centred on the outer border
};

BarLayout ComputeBarLayout(int sampleWidth, int sampleHeight);

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// Where the bar goes when no position has been stored yet: the top-right
// corner of the work area, inset a little.
struct Point {
    int x = 0;
    int y = 0;
};
constexpr int kDefaultInset = 16;
Point DefaultBarPosition(const Rect& workArea, int barWidth);

// A stored position is kept when any part of the bar would show on one of the
// monitors; a bar wholly off every monitor (one unplugged since) is pulled into
// the primary work area, so it can always be found again.
bool Intersects(const Rect& a, const Rect& b);
Point PlaceStoredPosition(int left, int top, int barWidth, int barHeight, const Rect* monitors,
                          int monitorCount, const Rect& primaryWorkArea);

}  // namespace vorlane
