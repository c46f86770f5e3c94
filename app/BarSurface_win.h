// The status bar's drawing surface, kept between redraws: the 32-bit
// top-down DIB section with its memory DC, the GDI+ canvas on its bits, the
// brushes and pen, the font family, and the text as a path. A redraw rebuilds
// only what its picture changed (size, font, text, frame colour); what stays
// is reused: the background and frame are kept as pixels and copied back
// under each new text, and a picture that did not change is not drawn again
// at all.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/Gdiplus.h"
#include "framework/Handles.h"

namespace vorlane {

// Everything the bar's face depends on.
struct BarPicture {
    int width = 0;
    int height = 0;
    int margin = 0;
    std::wstring fontName;
    int fontSize = 0;
    std::wstring text;
    bool alarm = false;

    bool operator==(const BarPicture& o) const {
        return width == o.width && height == o.height && margin == o.margin &&
               fontSize == o.fontSize && alarm == o.alarm && fontName == o.fontName &&
               text == o.text;
    }
    bool operator!=(const BarPicture& o) const { return !(*this == o); }
};

class BarSurface {
  public:
    BarSurface() = default;
    ~BarSurface();
    BarSurface(const BarSurface&) = delete;
    BarSurface& operator=(const BarSurface&) = delete;

    // Draws the picture into the DIB; false when the surface cannot be made
    // (zero size, out of memory). The bits are complete when it returns.
    bool draw(const BarPicture& picture);

    // The memory DC with the DIB selected, for UpdateLayeredWindow or BitBlt.
    HDC dc() const { return memoryDc_.get(); }
    // The picture last drawn.
    const BarPicture& drawn() const { return drawn_; }
    bool hasPicture() const { return hasPicture_; }
    // The DIB's pixels, width * height * 4 bytes, for comparing pictures.
    const void* bits() const { return bits_; }

  private:
    bool makeCanvas(int width, int height);
    void makeText(const BarPicture& picture);
    void drawBase(const BarPicture& picture);
    void release();

    framework::UniqueHbitmap bitmap_;
    framework::UniqueHdc memoryDc_;
    HGDIOBJ previousBitmap_ = nullptr;
    void* bits_ = nullptr;
    std::unique_ptr<Gdiplus::Bitmap> canvas_;
    std::unique_ptr<Gdiplus::Graphics> graphics_;
    std::unique_ptr<Gdiplus::SolidBrush> background_;
    std::unique_ptr<Gdiplus::SolidBrush> ink_;
    std::unique_ptr<Gdiplus::Pen> frame_;
    std::unique_ptr<Gdiplus::GraphicsPath> path_;
    // Made once per font name: making a family looks it up among the
    // installed fonts.
    std::unique_ptr<Gdiplus::FontFamily> family_;
    std::wstring familyName_;
    std::unique_ptr<Gdiplus::StringFormat> format_;
    // Background and frame without the text, one 32-bit value a pixel.
    std::vector<uint32_t> base_;
    BarPicture drawn_;
    bool hasPicture_ = false;
};

}  // namespace vorlane
