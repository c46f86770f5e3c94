// Layout and drawing of the status bar. The face is one picture, drawn into a
// 32-bit top-down DIB section and handed to the layered window; nothing is
// cached between redraws.
#include <algorithm>
#include <vector>

#include "app/Layout.h"
#include "app/StatusBarWindow.h"
#include "core/Core.h"
#include "core/EventLog_win.h"
#include "core/FontSize.h"
#include "core/Trace.h"
#include "framework/Handles.h"
#include "settings/SettingsKeys.h"

namespace vorlane {
namespace {

const wchar_t kSampleText[] = L"一二三四：23";
constexpr BYTE kWindowAlpha = 253;
const Gdiplus::ARGB kBackground = 0xFFCAC9C5;
const Gdiplus::ARGB kFrameAlarm = 0xFFFF0000;
const Gdiplus::ARGB kFrameOk = 0xFF008000;
const Gdiplus::ARGB kTextColour = 0xFF000000;

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

void StatusBarWindow::layoutStatusBar() {
    display_.fontName = theCore->installedFamilyOr(display_.fontName);
    display_.fontSize = SaneFontSize(display_.fontSize);
    Gdiplus::Size sample = theCore->getTextBounds(display_.fontName, display_.fontSize, kSampleText);
    BarLayout layout = ComputeBarLayout(sample.Width, sample.Height);
    margin_ = layout.margin;
    display_.barWidth = layout.width;
    display_.barHeight = layout.height;
    placeOnScreen();
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
        ::EnumDisplayMonitors(nullptr, nullptr, CollectMonitor, reinterpret_cast<LPARAM>(&monitors));
        at = PlaceStoredPosition(display_.posLeft, display_.posTop, display_.barWidth,
                                 display_.barHeight, monitors.data(),
                                 static_cast<int>(monitors.size()), ToRect(workArea));
    }
    display_.posLeft = at.x;
    display_.posTop = at.y;
    if (TraceEnabled()) {
        Trace(L"window", L"placed\t" + std::to_wstring(at.x) + L"," + std::to_wstring(at.y) +
                             L"\twork-area\t" + std::to_wstring(workArea.left) + L"," +
                             std::to_wstring(workArea.top) + L"," + std::to_wstring(workArea.right) +
                             L"," + std::to_wstring(workArea.bottom) + L"\tscreen\t" +
                             std::to_wstring(::GetSystemMetrics(SM_CXSCREEN)) + L"x" +
                             std::to_wstring(::GetSystemMetrics(SM_CYSCREEN)));
    }
    ::SetWindowPos(hwnd(), nullptr, at.x, at.y, display_.barWidth, display_.barHeight, SWP_NOZORDER);
}

void StatusBarWindow::setStatus(bool alarm) {
    alarmFlag_ = alarm;
    if (TraceEnabled()) Trace(L"status", std::wstring(alarm ? L"red\t" : L"green\t") + statusText_);
    renderStatusBar();
}

void StatusBarWindow::renderStatusBar() {
    const int width = display_.barWidth;
    const int height = display_.barHeight;
    if (width <= 0 || height <= 0) return;

    framework::WindowDc windowDc(hwnd());
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    framework::UniqueHbitmap bitmap(
        ::CreateDIBSection(windowDc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    framework::UniqueHdc memoryDc(::CreateCompatibleDC(windowDc.get()));
    if (!bitmap || !memoryDc || !bits) return;

    {
        // Every pixel gets an opaque colour, so premultiplied and straight
        // alpha agree and the face shows whole at the window's 253/255.
        Gdiplus::Bitmap canvas(width, height, width * 4, PixelFormat32bppPARGB,
                               static_cast<BYTE*>(bits));
        Gdiplus::Graphics graphics(&canvas);
        graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
        graphics.SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAliasGridFit);

        Gdiplus::SolidBrush background{Gdiplus::Color(kBackground)};
        graphics.FillRectangle(&background, 0.0f, 0.0f, static_cast<Gdiplus::REAL>(width),
                               static_cast<Gdiplus::REAL>(height));

        // The pen is centred on the outer border: its inner half shows.
        Gdiplus::Pen frame(Gdiplus::Color(alarmFlag_ ? kFrameAlarm : kFrameOk),
                           static_cast<Gdiplus::REAL>(margin_) * kFrameWidthFactor);
        graphics.DrawRectangle(&frame, 0.0f, 0.0f, static_cast<Gdiplus::REAL>(width),
                               static_cast<Gdiplus::REAL>(height));

        Gdiplus::GraphicsPath path(Gdiplus::FillModeAlternate);
        Gdiplus::StringFormat format(0, LANG_NEUTRAL);
        Gdiplus::FontFamily family(display_.fontName.c_str());
        if (family.GetLastStatus() == Gdiplus::Ok && !statusText_.empty()) {
            // Zero-sized layout rectangle: the text is neither wrapped nor clipped.
            // Bold, or the family's regular face where it has no bold one:
            // the way the sample was measured.
            const Gdiplus::Rect origin(margin_, margin_, 0, 0);
            const auto em = static_cast<Gdiplus::REAL>(display_.fontSize);
            const auto length = static_cast<INT>(statusText_.size());
            if (path.AddString(statusText_.c_str(), length, &family, Gdiplus::FontStyleBold, em,
                               origin, &format) != Gdiplus::Ok) {
                path.Reset();
                path.AddString(statusText_.c_str(), length, &family, Gdiplus::FontStyleRegular, em,
                               origin, &format);
            }
        }
        Gdiplus::SolidBrush text{Gdiplus::Color(kTextColour)};
        graphics.FillPath(&text, &path);
    }

    if (!updateLayered_) {
        // No layered update on this system: keep the picture for WM_PAINT.
        fallbackImage_ = std::move(bitmap);
        ::InvalidateRect(hwnd(), nullptr, FALSE);
        return;
    }

    LONG exStyle = ::GetWindowLongW(hwnd(), GWL_EXSTYLE);
    if (!(exStyle & WS_EX_LAYERED)) ::SetWindowLongW(hwnd(), GWL_EXSTYLE, exStyle | WS_EX_LAYERED);

    framework::SelectedObject selected(memoryDc.get(), bitmap.get());
    RECT window;
    ::GetWindowRect(hwnd(), &window);
    POINT destination{window.left, window.top};
    SIZE size{width, height};
    POINT source{0, 0};
    blend_.SourceConstantAlpha = kWindowAlpha;
    updateLayered_(hwnd(), windowDc.get(), &destination, &size, memoryDc.get(), &source, 0, &blend_,
                   ULW_ALPHA);
}

void StatusBarWindow::paintFallback() {
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(hwnd(), &ps);
    if (fallbackImage_) {
        framework::UniqueHdc memoryDc(::CreateCompatibleDC(dc));
        framework::SelectedObject selected(memoryDc.get(), fallbackImage_.get());
        ::BitBlt(dc, 0, 0, display_.barWidth, display_.barHeight, memoryDc.get(), 0, 0, SRCCOPY);
    }
    ::EndPaint(hwnd(), &ps);
}

void StatusBarWindow::runRedrawBenchmark(int count) {
    if (count <= 0) return;
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    std::vector<double> micros;
    micros.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        LARGE_INTEGER start, end;
        ::QueryPerformanceCounter(&start);
        renderStatusBar();
        ::QueryPerformanceCounter(&end);
        micros.push_back(static_cast<double>(end.QuadPart - start.QuadPart) * 1e6 /
                         static_cast<double>(frequency.QuadPart));
    }
    std::sort(micros.begin(), micros.end());
    const double median = micros[micros.size() / 2];
    const double p99 = micros[std::min(micros.size() - 1, micros.size() * 99 / 100)];
    Trace(L"bench", L"redraw\t" + std::to_wstring(count) + L"\t" +
                        std::to_wstring(static_cast<long long>(median)) + L"\t" +
                        std::to_wstring(static_cast<long long>(p99)));
}

}  // namespace vorlane
