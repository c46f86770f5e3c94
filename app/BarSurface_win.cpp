#include "app/BarSurface_win.h"

#include <cstring>

#include "app/Layout.h"

namespace vorlane {
namespace {

const Gdiplus::ARGB kBackground = 0xFFCAC9C5;
const Gdiplus::ARGB kFrameAlarm = 0xFFFF0000;
const Gdiplus::ARGB kFrameOk = 0xFF008000;
const Gdiplus::ARGB kTextColour = 0xFF000000;

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

bool BarSurface::draw(const BarPicture& picture) {
    if (picture.width <= 0 || picture.height <= 0) return false;
    if (hasPicture_ && picture == drawn_) return true;  // the bits are that picture already
    const bool resized = !canvas_ || !hasPicture_ || picture.width != drawn_.width ||
                         picture.height != drawn_.height;
    if (resized && !makeCanvas(picture.width, picture.height)) return false;
    const bool newBase =
        resized || picture.alarm != drawn_.alarm || picture.margin != drawn_.margin;
    // The kept background and frame go back under the new text.
    if (newBase) {
        drawBase(picture);
    } else {
        std::memcpy(bits_, base_.data(), base_.size() * sizeof(base_[0]));
    }
    // Anything else that differs is the text or its font.
    makeText(picture);
    if (!ink_) ink_ = std::make_unique<Gdiplus::SolidBrush>(Gdiplus::Color(kTextColour));
    graphics_->FillPath(ink_.get(), path_.get());
    graphics_->Flush(Gdiplus::FlushIntentionSync);
    ::GdiFlush();
    drawn_ = picture;
    hasPicture_ = true;
    return true;
}

}  // namespace vorlane
