#include "app/BarGeometry_win.h"

#include <windows.h>

#include <vector>

#include "app/Layout.h"
#include "core/Core.h"
#include "core/Digits.h"
#include "core/FontSize.h"
#include "core/Texts.h"
#include "core/Trace.h"
#include "res/resource.h"

namespace vorlane {
namespace {

Rect ToRect(const RECT& r) { return Rect{r.left, r.top, r.right, r.bottom}; }

BOOL CALLBACK CollectMonitor(HMONITOR, HDC, LPRECT area, LPARAM data) {
    reinterpret_cast<std::vector<Rect>*>(data)->push_back(ToRect(*area));
    return TRUE;
}

}  // namespace

void MeasureBar(BarGeometry& bar, int dpi) {
    bar.dpi = dpi;
    bar.fontName = theCore->installedFamilyOr(bar.fontName);
    bar.fontSize = SaneFontSize(bar.fontSize);
    // Text, margins and frame all follow from the sample measured at the
    // screen's size of the text, so the bar keeps its proportions at any DPI.
    Gdiplus::Size sample =
        theCore->getTextBounds(bar.fontName, EmPixels(bar.fontSize, bar.dpi), Text(IDS_BAR_SAMPLE));
    BarLayout layout = ComputeBarLayout(sample.Width, sample.Height);
    bar.margin = layout.margin;
    bar.width = layout.width;
    bar.height = layout.height;
    if (TraceEnabled()) {
        Trace(L"window", L"layout\tdpi\t" + Decimal(dpi) + L"\t" + Decimal(layout.width) + L"x" +
                             Decimal(layout.height));
    }
}

void PlaceBar(BarGeometry& bar, bool stored) {
    RECT workArea;
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0);
    Point at;
    if (!stored) {
        at = DefaultBarPosition(ToRect(workArea), bar.width);
    } else {
        std::vector<Rect> monitors;
        ::EnumDisplayMonitors(nullptr, nullptr, CollectMonitor,
                              reinterpret_cast<LPARAM>(&monitors));
        at = PlaceStoredPosition(bar.left, bar.top, bar.width, bar.height, monitors.data(),
                                 static_cast<int>(monitors.size()), ToRect(workArea));
    }
    bar.left = at.x;
    bar.top = at.y;
    if (TraceEnabled()) {
        Trace(L"window", L"placed\t" + Decimal(at.x) + L"," + Decimal(at.y) + L"\twork-area\t" +
                             Decimal(workArea.left) + L"," + Decimal(workArea.top) + L"," +
                             Decimal(workArea.right) + L"," + Decimal(workArea.bottom) +
                             L"\tscreen\t" + Decimal(::GetSystemMetrics(SM_CXSCREEN)) + L"x" +
                             Decimal(::GetSystemMetrics(SM_CYSCREEN)));
    }
}

}  // namespace vorlane
