#include "app/Layout.h"

#include <algorithm>
#include <cstdint>

namespace vorlane {

BarLayout ComputeBarLayout(int sampleWidth, int sampleHeight) {
    BarLayout layout;
    layout.margin =
        static_cast<int>(static_cast<double>(sampleWidth) * static_cast<double>(kMarginFactor));
    layout.width = sampleWidth + 4 * layout.margin;
    layout.height = sampleHeight + 2 * layout.margin;
    layout.penWidth = static_cast<float>(layout.margin) * kFrameWidthFactor;
    return layout;
}

Point DefaultBarPosition(const Rect& workArea, int barWidth) {
    Point p;
    p.x = std::max(workArea.left, workArea.right - barWidth - kDefaultInset);
    p.y = workArea.top + kDefaultInset;
    return p;
}

bool Intersects(const Rect& a, const Rect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

Point PlaceStoredPosition(int left, int top, int barWidth, int barHeight, const Rect* monitors,
                          int monitorCount, const Rect& primaryWorkArea) {
    // Wide arithmetic: a stored position near the int limits must not wrap
    // round onto the screen.
    const int64_t right = static_cast<int64_t>(left) + barWidth;
    const int64_t bottom = static_cast<int64_t>(top) + barHeight;
    for (int i = 0; i < monitorCount; ++i) {
        const Rect& m = monitors[i];
        if (left < m.right && m.left < right && top < m.bottom && m.top < bottom) {
            return Point{left, top};
        }
    }
    Point p;
    const int64_t maxLeft = std::max<int64_t>(
        primaryWorkArea.left, static_cast<int64_t>(primaryWorkArea.right) - barWidth);
    const int64_t maxTop = std::max<int64_t>(
        primaryWorkArea.top, static_cast<int64_t>(primaryWorkArea.bottom) - barHeight);
    p.x = static_cast<int>(std::clamp<int64_t>(left, primaryWorkArea.left, maxLeft));
    p.y = static_cast<int>(std::clamp<int64_t>(top, primaryWorkArea.top, maxTop));
    return p;
}

}  // namespace vorlane
