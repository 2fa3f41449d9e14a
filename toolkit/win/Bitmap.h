// Bitmaps as device-independent sections: a width, a height, a pixel format, a transparent colour,
// and pixels that GDI can draw from and into. Loaded from BMP bytes or from a decoded image;
// copying a bitmap copies its pixels.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "toolkit/BmpImage.h"
#include "toolkit/win/Scoped.h"

namespace tk {

enum class TPixelFormat { pf24bit, pf32bit };

class TBitmap {
public:
    TBitmap() = default;
    TBitmap(int width, int height, TPixelFormat format = TPixelFormat::pf24bit);
    explicit TBitmap(const BmpImage& image);
    TBitmap(const TBitmap& other);
    TBitmap& operator=(const TBitmap& other);
    ~TBitmap();

    // Replaces the picture: from BMP file bytes (EInvalidGraphic when malformed), from an image, or
    // a copy of another bitmap (pixels, format, transparency). Assigning an empty image empties.
    void LoadFromBytes(const std::uint8_t* data, std::size_t size);
    void Assign(const BmpImage& image);
    void Assign(const TBitmap& other);
    void Clear();

    bool Empty() const { return width_ <= 0 || height_ <= 0; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    // Resizes; existing pixels are kept where they fit, new ones are black.
    void SetSize(int width, int height);

    TPixelFormat PixelFormat() const { return format_; }
    void SetPixelFormat(TPixelFormat format);

    // Transparency for drawing: when Transparent(), pixels of TransparentColor() (a toolkit colour,
    // red in the low byte) are not drawn. The colour defaults to the bottom-left pixel.
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool transparent) { transparent_ = transparent; }
    std::uint32_t TransparentColor() const;
    void SetTransparentColor(std::uint32_t color) { transparentColor_ = color; fixedTransparentColor_ = true; }

    // The section and a memory device context with it selected (created on first use).
    HBITMAP Handle() const { return bitmap_.get(); }
    HDC Dc();

    // Pixel access as toolkit colours.
    std::uint32_t GetPixel(int x, int y) const;
    void SetPixel(int x, int y, std::uint32_t color);

    // The pixels as a platform-free image.
    BmpImage ToImage() const;

private:
    void Create(int width, int height, TPixelFormat format);
    void Release();
    std::uint8_t* Row(int y) const;
    int BytesPerPixel() const { return format_ == TPixelFormat::pf24bit ? 3 : 4; }
    int Stride() const { return ((width_ * BytesPerPixel()) + 3) & ~3; }

    int width_ = 0, height_ = 0;
    TPixelFormat format_ = TPixelFormat::pf24bit;
    ScopedBitmap bitmap_;
    std::uint8_t* bits_ = nullptr;  // top-down rows
    ScopedMemDCHandle dc_;
    ScopedSelectObject dcBitmap_;  // the section selected into dc_ (undone before dc_ goes)
    bool transparent_ = false;
    bool fixedTransparentColor_ = false;
    std::uint32_t transparentColor_ = 0;
};

}  // namespace tk
