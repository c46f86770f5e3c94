// The status bar's drawing surface, kept between redraws: the 32-bit
// top-down DIB section with its memory DC, the GDI+ canvas on its bits, the
// brushes and pen, the font family, and the text as a path. A redraw rebuilds
// only what its picture changed (size, font, text, frame colour); what stays
// is reused, so that a redraw costs little more than handing the picture to
// the window: the background and frame are kept as pixels and copied back
// under each new text, a new text that begins with the same glyphs as the
// last one (a countdown's next second) is drawn only where it differs, and a
// picture that did not change is not drawn again at all. A picture drawn
// ahead on another surface (BarPicturesAhead_win.h) is taken as it is.
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

class BarPicturesAhead;

// A picture as a surface drew it: its pixels, and the text's path, which the
// next redraw compares its own with.
struct DrawnPicture {
    std::vector<uint32_t> bits;
    std::vector<Gdiplus::PointF> points;
    std::vector<BYTE> types;
    bool known = false;

    void swap(DrawnPicture& other) {
        bits.swap(other.bits);
        points.swap(other.points);
        types.swap(other.types);
        std::swap(known, other.known);
    }
};

class BarSurface {
  public:
    BarSurface() = default;
    ~BarSurface();
    BarSurface(const BarSurface&) = delete;
    BarSurface& operator=(const BarSurface&) = delete;

    // Draws the picture into the DIB; false when the surface cannot be made
    // (zero size, out of memory). The bits are complete when it returns.
    // A picture `ahead` drew already is copied from there.
    bool draw(const BarPicture& picture, BarPicturesAhead* ahead = nullptr);
    // The picture last drawn, to be taken by another surface.
    void copyDrawn(DrawnPicture& out) const;

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
    bool drawChangedFigures();
    void restoreBase(const RECT& area);
    void release();
    void adopt(const BarPicture& picture, DrawnPicture& ready);

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
    // The points of the text's path now in the bits (drawn) and of the one
    // being drawn (next), to find the figures the two have in common; known
    // unless they could not be read.
    std::vector<Gdiplus::PointF> drawnPoints_, nextPoints_;
    std::vector<BYTE> drawnTypes_, nextTypes_;
    bool drawnKnown_ = false, nextKnown_ = false;
    // A figure of the shared ones: its points [from, to), the pixels it can
    // touch, and whether it is filled again.
    struct Figure {
        size_t from, to;
        RECT reach;
        bool again;
    };
    std::vector<Figure> shared_;
    std::vector<Gdiplus::PointF> fillPoints_;
    std::vector<BYTE> fillTypes_;
    // Background and frame without the text, one 32-bit value a pixel.
    std::vector<uint32_t> base_;
    BarPicture drawn_;
    bool hasPicture_ = false;
    DrawnPicture ready_;  // taken from ahead, its vectors kept for reuse
};

}  // namespace vorlane
