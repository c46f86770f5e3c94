// Layout and drawing of the status bar. The face is one picture, drawn into
// the kept surface (BarSurface_win.h) and handed to the layered window.
#include <vector>

#include "app/Dpi_win.h"
#include "app/Layout.h"
#include "app/StatusBarWindow.h"
#include "core/Core.h"
#include "core/Digits.h"
#include "core/EventLog_win.h"
#include "core/FontSize.h"
#include "core/Trace.h"
#include "settings/SettingsKeys.h"

namespace vorlane {
namespace {

const wchar_t kSampleText[] = L"一二三四：23";
constexpr BYTE kWindowAlpha = 253;

Rect ToRect(const RECT& r) { return Rect{r.left, r.top, r.right, r.bottom}; }

BOOL CALLBACK CollectMonitor(HMONITOR, HDC, LPRECT area, LPARAM data) {
    reinterpret_cast<std::vector<Rect>*>(data)->push_back(ToRect(*area));
    return TRUE;
}

}  // namespace

void StatusBarWindow::prepareLayeredWindow() {
    user32_ = ::GetModuleHandleW(L"user32.dll");
    if (!user32_) user32_ = ::LoadLibraryW(L"user32.dll");
    if (!user32_) {
        ProgramLog().write("warning", LogDetails().add(L"text", L"User32.dll ERROR!"));
        ::MessageBoxW(hwnd(), L"User32.dll ERROR!", L"Vorlane", MB_OK);
        ::ExitProcess(0);
    }
    updateLayered_ = reinterpret_cast<UpdateLayeredWindowFn>(
        reinterpret_cast<void*>(::GetProcAddress(user32_, "UpdateLayeredWindow")));
    blend_.BlendOp = AC_SRC_OVER;
    blend_.BlendFlags = 0;
    blend_.AlphaFormat = AC_SRC_ALPHA;
}

void StatusBarWindow::layOutForFirstShow() {
    if (laidOut_) return;
    laidOut_ = true;
    gdiplus_.start();
    Trace(L"start", L"gdiplus");
    display_.fontSize = theCore->getConfigInt(keys::kFontSize);
    display_.fontName = theCore->getFontName();
    display_.posLeft = theCore->getConfigInt(keys::kPosLeft);
    display_.posTop = theCore->getConfigInt(keys::kPosTop);
    layoutStatusBar();
    Trace(L"start", L"bar-laid-out");
}

void StatusBarWindow::layoutStatusBar() {
    measureBar(WindowDpi(hwnd()));
    placeOnScreen();
}

void StatusBarWindow::measureBar(int dpi) {
    display_.dpi = dpi;
    display_.fontName = theCore->installedFamilyOr(display_.fontName);
    display_.fontSize = SaneFontSize(display_.fontSize);
    // Text, margins and frame all follow from the sample measured at the
    // screen's size of the text, so the bar keeps its proportions at any DPI.
    Gdiplus::Size sample = theCore->getTextBounds(
        display_.fontName, EmPixels(display_.fontSize, display_.dpi), kSampleText);
    BarLayout layout = ComputeBarLayout(sample.Width, sample.Height);
    margin_ = layout.margin;
    display_.barWidth = layout.width;
    display_.barHeight = layout.height;
    if (TraceEnabled()) {
        Trace(L"window", L"layout\tdpi\t" + Decimal(dpi) + L"\t" + Decimal(layout.width) + L"x" +
                             Decimal(layout.height));
    }
}

void StatusBarWindow::onDpiChanged(int dpi, const RECT& suggested) {
    // Dragged onto a monitor of another scale: the same bar at that scale,
    // where Windows suggests it goes. Before its first layout the bar has
    // no size yet; that layout takes the DPI of where it is.
    if (!laidOut_) return;
    measureBar(dpi);
    ::SetWindowPos(hwnd(), nullptr, suggested.left, suggested.top, display_.barWidth,
                   display_.barHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    renderStatusBar();
}

void StatusBarWindow::placeOnScreen() {
    RECT workArea;
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0);
    Point at;
    // A position is stored once the bar has been closed for the first time.
    if (!theCore->hasConfig(keys::kPosLeft) || !theCore->hasConfig(keys::kPosTop)) {
        at = DefaultBarPosition(ToRect(workArea), display_.barWidth);
    } else {
        std::vector<Rect> monitors;
        ::EnumDisplayMonitors(nullptr, nullptr, CollectMonitor,
                              reinterpret_cast<LPARAM>(&monitors));
        at = PlaceStoredPosition(display_.posLeft, display_.posTop, display_.barWidth,
                                 display_.barHeight, monitors.data(),
                                 static_cast<int>(monitors.size()), ToRect(workArea));
    }
    display_.posLeft = at.x;
    display_.posTop = at.y;
    if (TraceEnabled()) {
        Trace(L"window", L"placed\t" + Decimal(at.x) + L"," + Decimal(at.y) + L"\twork-area\t" +
                             Decimal(workArea.left) + L"," + Decimal(workArea.top) + L"," +
                             Decimal(workArea.right) + L"," + Decimal(workArea.bottom) +
                             L"\tscreen\t" + Decimal(::GetSystemMetrics(SM_CXSCREEN)) + L"x" +
                             Decimal(::GetSystemMetrics(SM_CYSCREEN)));
    }
    // Not activated: the bar is still hidden, and activating it cost Wine a
    // quarter of the bar's own start-up before the settings dialog.
    ::SetWindowPos(hwnd(), nullptr, at.x, at.y, display_.barWidth, display_.barHeight,
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

BarPicture StatusBarWindow::barPicture() const {
    return BarPicture{display_.barWidth,
                      display_.barHeight,
                      margin_,
                      display_.fontName,
                      EmPixels(display_.fontSize, display_.dpi),
                      statusText_,
                      alarmFlag_};
}

void StatusBarWindow::setStatus(bool alarm) {
    alarmFlag_ = alarm;
    if (TraceEnabled()) Trace(L"status", std::wstring(alarm ? L"red\t" : L"green\t") + statusText_);
    // The same text in the same colours is the same picture: a probe answered
    // again, say. The window still shows it.
    if (surface_ && surface_->hasPicture() && surface_->drawn() == barPicture()) return;
    renderStatusBar();
}

void StatusBarWindow::renderStatusBar() {
    if (!surface_) surface_ = std::make_unique<BarSurface>();
    const BarPicture picture = barPicture();
    if (!surface_->draw(picture, &ahead_)) return;
    presentSurface();
    // Drawn while this one shows: a counter's next value then costs its
    // redraw only a copy.
    ahead_.prepareAfter(picture);
}

void StatusBarWindow::presentSurface() {
    if (!updateLayered_) {
        // No layered update on this system: WM_PAINT shows the picture.
        ::InvalidateRect(hwnd(), nullptr, FALSE);
        return;
    }
    LONG exStyle = ::GetWindowLongW(hwnd(), GWL_EXSTYLE);
    if (!(exStyle & WS_EX_LAYERED)) ::SetWindowLongW(hwnd(), GWL_EXSTYLE, exStyle | WS_EX_LAYERED);

    RECT window;
    ::GetWindowRect(hwnd(), &window);
    POINT destination{window.left, window.top};
    SIZE size{surface_->drawn().width, surface_->drawn().height};
    POINT source{0, 0};
    blend_.SourceConstantAlpha = kWindowAlpha;
    updateLayered_(hwnd(), nullptr, &destination, &size, surface_->dc(), &source, 0, &blend_,
                   ULW_ALPHA);
}

void StatusBarWindow::paintFallback() {
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(hwnd(), &ps);
    if (surface_ && surface_->hasPicture()) {
        ::BitBlt(dc, 0, 0, surface_->drawn().width, surface_->drawn().height, surface_->dc(), 0, 0,
                 SRCCOPY);
    }
    ::EndPaint(hwnd(), &ps);
}

}  // namespace vorlane
