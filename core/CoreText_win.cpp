// Text measurement for the status bar, and the default font family.
#include <cmath>
#include <memory>

#include "core/Core.h"
#include "core/CoreInternal_win.h"
#include "framework/Handles.h"

namespace vorlane {
namespace {

constexpr int kDefaultFontSize = 16;

bool Installed(const wchar_t* family) {
    if (!family || !family[0]) return false;
    Gdiplus::FontFamily probe(family);
    return probe.GetLastStatus() == Gdiplus::Ok && probe.IsAvailable();
}

}  // namespace

std::wstring DefaultFontFamily() {
    for (const wchar_t* family : {L"Microsoft YaHei", L"SimSun", L"WenQuanYi Zen Hei"}) {
        if (Installed(family)) return family;
    }
    LOGFONTW gui = {};
    if (::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(gui), &gui) &&
        Installed(gui.lfFaceName)) {
        return gui.lfFaceName;
    }
    // The GUI font is often "MS Shell Dlg", a name GDI maps but GDI+ does not.
    wchar_t name[LF_FACESIZE] = {};
    const Gdiplus::FontFamily* generic = Gdiplus::FontFamily::GenericSansSerif();
    if (generic && generic->GetFamilyName(name) == Gdiplus::Ok && name[0]) return name;
    return gui.lfFaceName;
}

const std::wstring& CCore::defaultFamily() const {
    if (defaultFamily_.empty()) defaultFamily_ = DefaultFontFamily();
    return defaultFamily_;
}

Gdiplus::Size CCore::getTextBounds(const std::wstring& fontName, int fontSize,
                                   const std::wstring& text) const {
    const int size = fontSize < 6 || fontSize > 200 ? kDefaultFontSize : fontSize;
    const std::wstring& familyName = Installed(fontName.c_str()) ? fontName : defaultFamily();
    Gdiplus::FontFamily family(familyName.c_str());
    const Gdiplus::FontFamily* use =
        family.GetLastStatus() == Gdiplus::Ok ? &family : Gdiplus::FontFamily::GenericSansSerif();

    // A family without a bold face is measured in its regular one, which is
    // what a path drawn in it falls back to as well.
    auto font = std::make_unique<Gdiplus::Font>(use, static_cast<Gdiplus::REAL>(size),
                                                Gdiplus::FontStyleBold, Gdiplus::UnitPixel);
    if (font->GetLastStatus() != Gdiplus::Ok) {
        font = std::make_unique<Gdiplus::Font>(use, static_cast<Gdiplus::REAL>(size),
                                               Gdiplus::FontStyleRegular, Gdiplus::UnitPixel);
    }
    if (font->GetLastStatus() != Gdiplus::Ok || text.empty()) return Gdiplus::Size(0, 0);

    framework::WindowDc screen(nullptr);
    if (!screen) return Gdiplus::Size(0, 0);
    Gdiplus::Graphics graphics(screen.get());
    graphics.SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAlias);
    Gdiplus::RectF box;
    // Without a format argument GDI+ uses its default one, as the bar's
    // GraphicsPath::AddString does: the same line height and side padding.
    graphics.MeasureString(text.c_str(), static_cast<INT>(text.size()), font.get(),
                           Gdiplus::PointF(0.0f, 0.0f), &box);
    return Gdiplus::Size(static_cast<INT>(std::ceil(box.Width)),
                         static_cast<INT>(std::ceil(box.Height)));
}

}  // namespace vorlane
