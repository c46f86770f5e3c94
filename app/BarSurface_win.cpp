#include "app/BarSurface_win.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "app/BarPicturesAhead_win.h"
#include "app/Layout.h"

namespace vorlane {
namespace {

const Gdiplus::ARGB kBackground = 0xFFCAC9C5;
const Gdiplus::ARGB kFrameAlarm = 0xFFFF0000;
const Gdiplus::ARGB kFrameOk = 0xFF008000;
const Gdiplus::ARGB kTextColour = 0xFF000000;

bool StartsFigure(BYTE type) {
    return (type & Gdiplus::PathPointTypePathTypeMask) == Gdiplus::PathPointTypeStart;
}

// How many leading points of the two paths make whole figures that are the
// same in both: the same glyphs at the same places.
size_t CommonFigures(const std::vector<Gdiplus::PointF>& a, const std::vector<BYTE>& aTypes,
                     const std::vector<Gdiplus::PointF>& b, const std::vector<BYTE>& bTypes) {
    size_t common = 0;
    const size_t count = std::min(a.size(), b.size());
    for (size_t i = 0; i < count; ++i) {
        if (aTypes[i] != bTypes[i] || a[i].X != b[i].X || a[i].Y != b[i].Y) break;
        const size_t next = i + 1;
        const bool endsA = next == a.size() || StartsFigure(aTypes[next]);
        const bool endsB = next == b.size() || StartsFigure(bTypes[next]);
        if (endsA && endsB) common = next;
    }
    return common;
}

// The pixels that filling the points [from, to) can touch, a pixel more on
// every side for antialiasing and rounding; empty when there are no points.
// A curve lies within its control points, so the points bound it.
RECT Reach(const std::vector<Gdiplus::PointF>& points, size_t from, size_t to) {
    if (from >= to) return RECT{0, 0, 0, 0};
    float left = points[from].X, right = left, top = points[from].Y, bottom = top;
    for (size_t i = from + 1; i < to; ++i) {
        left = std::min(left, points[i].X);
        right = std::max(right, points[i].X);
        top = std::min(top, points[i].Y);
        bottom = std::max(bottom, points[i].Y);
    }
    return RECT{static_cast<LONG>(std::floor(left)) - 1, static_cast<LONG>(std::floor(top)) - 1,
                static_cast<LONG>(std::ceil(right)) + 2, static_cast<LONG>(std::ceil(bottom)) + 2};
}

bool Overlap(const RECT& a, const RECT& b) {
    RECT both;
    return ::IntersectRect(&both, &a, &b) != FALSE;
}

}  // namespace

BarSurface::~BarSurface() { release(); }

void BarSurface::release() {
    // GDI+ first: its canvas points into the DIB's bits.
    graphics_.reset();
    canvas_.reset();
    if (memoryDc_ && previousBitmap_) ::SelectObject(memoryDc_.get(), previousBitmap_);
    previousBitmap_ = nullptr;
    memoryDc_.reset();
    bitmap_.reset();
    bits_ = nullptr;
    hasPicture_ = false;
}

bool BarSurface::makeCanvas(int width, int height) {
    release();
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    bitmap_.reset(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits_, nullptr, 0));
    memoryDc_.reset(::CreateCompatibleDC(nullptr));
    if (!bitmap_ || !memoryDc_ || !bits_) {
        release();
        return false;
    }
    previousBitmap_ = ::SelectObject(memoryDc_.get(), bitmap_.get());
    // Every pixel gets an opaque colour, so premultiplied and straight alpha
    // agree and the face shows whole at the window's constant alpha.
    canvas_ = std::make_unique<Gdiplus::Bitmap>(width, height, width * 4, PixelFormat32bppPARGB,
                                                static_cast<BYTE*>(bits_));
    graphics_ = std::make_unique<Gdiplus::Graphics>(canvas_.get());
    if (canvas_->GetLastStatus() != Gdiplus::Ok || graphics_->GetLastStatus() != Gdiplus::Ok) {
        release();
        return false;
    }
    graphics_->SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
    graphics_->SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAliasGridFit);
    return true;
}

void BarSurface::makeText(const BarPicture& picture) {
    if (!path_) path_ = std::make_unique<Gdiplus::GraphicsPath>(Gdiplus::FillModeAlternate);
    path_->Reset();
    nextPoints_.clear();
    nextTypes_.clear();
    nextKnown_ = true;
    if (!family_ || familyName_ != picture.fontName) {
        family_ = std::make_unique<Gdiplus::FontFamily>(picture.fontName.c_str());
        familyName_ = picture.fontName;
    }
    if (family_->GetLastStatus() != Gdiplus::Ok || picture.text.empty()) return;
    if (!format_) format_ = std::make_unique<Gdiplus::StringFormat>(0, LANG_NEUTRAL);
    // Zero-sized layout rectangle: the text is neither wrapped nor clipped.
    // Bold, or the family's regular face where it has no bold one: the way
    // the sample was measured.
    const Gdiplus::Rect origin(picture.margin, picture.margin, 0, 0);
    const auto em = static_cast<Gdiplus::REAL>(picture.fontSize);
    const auto length = static_cast<INT>(picture.text.size());
    if (path_->AddString(picture.text.c_str(), length, family_.get(), Gdiplus::FontStyleBold, em,
                         origin, format_.get()) != Gdiplus::Ok) {
        path_->Reset();
        path_->AddString(picture.text.c_str(), length, family_.get(), Gdiplus::FontStyleRegular, em,
                         origin, format_.get());
    }
    const INT count = path_->GetPointCount();
    if (count <= 0) return;
    nextPoints_.resize(static_cast<size_t>(count));
    nextTypes_.resize(static_cast<size_t>(count));
    nextKnown_ = path_->GetPathPoints(nextPoints_.data(), count) == Gdiplus::Ok &&
                 path_->GetPathTypes(nextTypes_.data(), count) == Gdiplus::Ok;
}

void BarSurface::drawBase(const BarPicture& picture) {
    if (!background_)
        background_ = std::make_unique<Gdiplus::SolidBrush>(Gdiplus::Color(kBackground));
    frame_ = std::make_unique<Gdiplus::Pen>(
        Gdiplus::Color(picture.alarm ? kFrameAlarm : kFrameOk),
        static_cast<Gdiplus::REAL>(picture.margin) * kFrameWidthFactor);
    const auto width = static_cast<Gdiplus::REAL>(picture.width);
    const auto height = static_cast<Gdiplus::REAL>(picture.height);
    // The background covers every pixel, so nothing of the last picture shows.
    graphics_->FillRectangle(background_.get(), 0.0f, 0.0f, width, height);
    // The pen is centred on the outer border: its inner half shows.
    graphics_->DrawRectangle(frame_.get(), 0.0f, 0.0f, width, height);
    graphics_->Flush(Gdiplus::FlushIntentionSync);
    const auto* pixels = static_cast<const uint32_t*>(bits_);
    base_.assign(pixels, pixels + static_cast<size_t>(picture.width) * picture.height);
}

void BarSurface::restoreBase(const RECT& area) {
    const auto width = static_cast<size_t>(drawn_.width);
    auto* pixels = static_cast<uint32_t*>(bits_);
    for (LONG y = area.top; y < area.bottom; ++y) {
        const size_t at = static_cast<size_t>(y) * width + static_cast<size_t>(area.left);
        std::memcpy(pixels + at, base_.data() + at,
                    static_cast<size_t>(area.right - area.left) * sizeof(base_[0]));
    }
}

// The figures the new text shares at its start with the drawn one stay as
// they are. The area of those that differ, old and new, goes back to the
// base, with the shared figures that a fill there could touch, and these
// are filled: the pixels of a whole redraw, since a fill reaches no pixel
// outside its figures' reach and the figures left alone keep out of that
// area. False when the paths are not known: the caller draws the whole text.
bool BarSurface::drawChangedFigures() {
    if (!nextKnown_ || !drawnKnown_) return false;
    const size_t common = CommonFigures(drawnPoints_, drawnTypes_, nextPoints_, nextTypes_);
    RECT area;
    const RECT gone = Reach(drawnPoints_, common, drawnPoints_.size());
    const RECT added = Reach(nextPoints_, common, nextPoints_.size());
    ::UnionRect(&area, &gone, &added);
    shared_.clear();
    for (size_t from = 0, to = 0; from < common; from = to) {
        for (to = from + 1; to < common && !StartsFigure(nextTypes_[to]); ++to) {
        }
        shared_.push_back(Figure{from, to, Reach(nextPoints_, from, to), false});
    }
    // Each shared figure drawn again widens the area, which may reach another.
    for (bool grown = true; grown;) {
        grown = false;
        for (Figure& figure : shared_) {
            if (figure.again || !Overlap(figure.reach, area)) continue;
            figure.again = true;
            ::UnionRect(&area, &area, &figure.reach);
            grown = true;
        }
    }
    const RECT canvas{0, 0, drawn_.width, drawn_.height};
    RECT restored;
    if (!::IntersectRect(&restored, &area, &canvas)) return true;  // the same pixels
    restoreBase(restored);
    fillPoints_.clear();
    fillTypes_.clear();
    for (const Figure& figure : shared_) {
        if (!figure.again) continue;
        fillPoints_.insert(fillPoints_.end(), nextPoints_.begin() + figure.from,
                           nextPoints_.begin() + figure.to);
        fillTypes_.insert(fillTypes_.end(), nextTypes_.begin() + figure.from,
                          nextTypes_.begin() + figure.to);
    }
    fillPoints_.insert(fillPoints_.end(), nextPoints_.begin() + common, nextPoints_.end());
    fillTypes_.insert(fillTypes_.end(), nextTypes_.begin() + common, nextTypes_.end());
    if (!fillPoints_.empty()) {
        Gdiplus::GraphicsPath figures(fillPoints_.data(), fillTypes_.data(),
                                      static_cast<INT>(fillPoints_.size()),
                                      Gdiplus::FillModeAlternate);
        graphics_->FillPath(ink_.get(), &figures);
    }
    return true;
}

bool BarSurface::draw(const BarPicture& picture, BarPicturesAhead* ahead) {
    if (picture.width <= 0 || picture.height <= 0) return false;
    if (hasPicture_ && picture == drawn_) return true;  // the bits are that picture already
    const bool resized = !canvas_ || !hasPicture_ || picture.width != drawn_.width ||
                         picture.height != drawn_.height;
    if (resized && !makeCanvas(picture.width, picture.height)) return false;
    const bool newBase =
        resized || picture.alarm != drawn_.alarm || picture.margin != drawn_.margin;
    // The kept base is this picture's too, so what follows can build on it.
    if (!newBase && ahead && ahead->take(picture, ready_)) {
        adopt(picture, ready_);
        return true;
    }
    if (newBase) drawBase(picture);
    // Anything else that differs is the text or its font.
    makeText(picture);
    if (!ink_) ink_ = std::make_unique<Gdiplus::SolidBrush>(Gdiplus::Color(kTextColour));
    if (newBase || !drawChangedFigures()) {
        if (!newBase) std::memcpy(bits_, base_.data(), base_.size() * sizeof(base_[0]));
        graphics_->FillPath(ink_.get(), path_.get());
    }
    graphics_->Flush(Gdiplus::FlushIntentionSync);
    ::GdiFlush();
    drawnPoints_.swap(nextPoints_);
    drawnTypes_.swap(nextTypes_);
    drawnKnown_ = nextKnown_;
    drawn_ = picture;
    hasPicture_ = true;
    return true;
}

void BarSurface::adopt(const BarPicture& picture, DrawnPicture& ready) {
    std::memcpy(bits_, ready.bits.data(), ready.bits.size() * sizeof(ready.bits[0]));
    drawnPoints_.swap(ready.points);
    drawnTypes_.swap(ready.types);
    drawnKnown_ = ready.known;
    drawn_ = picture;
    hasPicture_ = true;
}

void BarSurface::copyDrawn(DrawnPicture& out) const {
    const auto* pixels = static_cast<const uint32_t*>(bits_);
    out.bits.assign(pixels, pixels + static_cast<size_t>(drawn_.width) * drawn_.height);
    out.points = drawnPoints_;
    out.types = drawnTypes_;
    out.known = drawnKnown_;
}

}  // namespace vorlane
