// Text measurement for the status bar, and the default font family.
#include <memory>

#include "core/Core.h"
#include "core/CoreInternal_win.h"
#include "core/CoreText.h"

namespace vorlane {
namespace {

// The family when it is installed, else null. Each lookup walks the
// system's fonts, so a family found is used, not looked up again.
std::unique_ptr<Gdiplus::FontFamily> InstalledFamily(const wchar_t* name) {
    if (!name || !name[0]) return nullptr;
    auto family = std::make_unique<Gdiplus::FontFamily>(name);
    if (family->GetLastStatus() != Gdiplus::Ok || !family->IsAvailable()) return nullptr;
    return family;
}

bool Installed(const wchar_t* family) { return InstalledFamily(family) != nullptr; }

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

std::wstring CCore::getFontName() const {
    return hasConfig(L"fontname") ? getConfigStr(L"fontname") : defaultFamily();
}

std::wstring CCore::installedFamilyOr(const std::wstring& wanted) const {
    // The default is the answer either way: found among the installed fonts
    // when it was chosen, or the last resort. Not looked up again.
    if (!defaultFamily_.empty() && wanted == defaultFamily_) return wanted;
    return Installed(wanted.c_str()) ? wanted : defaultFamily();
}

Gdiplus::Size CCore::getTextBounds(const std::wstring& fontName, int fontSize,
                                   const std::wstring& text) const {
    const int size = MeasuredEmPixels(fontSize);
    std::unique_ptr<Gdiplus::FontFamily> family = InstalledFamily(fontName.c_str());
    if (!family) family = std::make_unique<Gdiplus::FontFamily>(defaultFamily().c_str());
    const Gdiplus::FontFamily* use = family->GetLastStatus() == Gdiplus::Ok
                                         ? family.get()
                                         : Gdiplus::FontFamily::GenericSansSerif();
    if (text.empty() || !use || use->GetLastStatus() != Gdiplus::Ok) return Gdiplus::Size(0, 0);

    // Measured as the bar draws it: a path of the text at the same em size
    // with the default string format. Graphics::MeasureString would be the
    // obvious call, but where a bold face is synthesised (Wine, fonts without
    // one) it adds emboldening width that the path never has - a third more
    // for the sample under Wine - and the bar would come out too wide.
    const auto em = static_cast<Gdiplus::REAL>(size);
    Gdiplus::StringFormat format;
    Gdiplus::GraphicsPath path;
    int style = Gdiplus::FontStyleBold;
    if (path.AddString(text.c_str(), static_cast<INT>(text.size()), use, style, em,
                       Gdiplus::PointF(0.0f, 0.0f), &format) != Gdiplus::Ok) {
        // A family without a bold face is drawn in its regular one.
        style = Gdiplus::FontStyleRegular;
        path.Reset();
        path.AddString(text.c_str(), static_cast<INT>(text.size()), use, style, em,
                       Gdiplus::PointF(0.0f, 0.0f), &format);
    }
    Gdiplus::RectF ink;
    if (path.GetBounds(&ink) != Gdiplus::Ok) return Gdiplus::Size(0, 0);
    const TextBox box = TextBoxOf(InkBox{ink.X, ink.Y, ink.Width, ink.Height}, em,
                                  use->GetLineSpacing(style), use->GetEmHeight(style));
    return Gdiplus::Size(box.width, box.height);
}

}  // namespace vorlane
