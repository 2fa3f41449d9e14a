#include "toolkit/win/Bitmap.h"

#include <algorithm>
#include <cstring>

namespace tk {

TBitmap::TBitmap(int width, int height, TPixelFormat format) { Create(width, height, format); }

TBitmap::TBitmap(const BmpImage& image) { Assign(image); }

TBitmap::TBitmap(const TBitmap& other) { Assign(other); }

TBitmap& TBitmap::operator=(const TBitmap& other) {
    if (this != &other) Assign(other);
    return *this;
}

TBitmap::~TBitmap() { Release(); }

void TBitmap::Release() {
    dcBitmap_.Restore();
    dc_.reset();
    bitmap_.reset();
    bits_ = nullptr;
    width_ = height_ = 0;
}

void TBitmap::Create(int width, int height, TPixelFormat format) {
    Release();
    format_ = format;
    if (width <= 0 || height <= 0) return;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = format == TPixelFormat::pf24bit ? 24 : 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap_.reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap_ || !bits) {
        bitmap_.reset();
        throw EInvalidGraphic(L"Out of system resources");
    }
    bits_ = static_cast<std::uint8_t*>(bits);
    width_ = width;
    height_ = height;
    std::memset(bits_, 0, static_cast<std::size_t>(Stride()) * height_);
}

void TBitmap::Clear() {
    Release();
    transparent_ = false;
}

std::uint8_t* TBitmap::Row(int y) const { return bits_ + static_cast<std::size_t>(y) * Stride(); }

void TBitmap::LoadFromBytes(const std::uint8_t* data, std::size_t size) { Assign(DecodeBmp(data, size)); }

void TBitmap::Assign(const BmpImage& image) {
    if (image.Empty()) {
        Clear();
        return;
    }
    Create(image.width, image.height, image.sourceBitCount == 32 ? TPixelFormat::pf32bit : TPixelFormat::pf24bit);
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x) SetPixel(x, y, PixelToColor(image.Pixel(x, y)));
}

void TBitmap::Assign(const TBitmap& other) {
    if (&other == this) return;
    if (other.Empty()) {
        Clear();
    } else {
        Create(other.width_, other.height_, other.format_);
        std::memcpy(bits_, other.bits_, static_cast<std::size_t>(Stride()) * height_);
    }
    transparent_ = other.transparent_;
    fixedTransparentColor_ = other.fixedTransparentColor_;
    transparentColor_ = other.transparentColor_;
}

void TBitmap::SetSize(int width, int height) {
    if (width == width_ && height == height_) return;
    const TBitmap old(*this);
    Create(width, height, format_);
    const int w = std::min(width_, old.width_), h = std::min(height_, old.height_);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) SetPixel(x, y, old.GetPixel(x, y));
}

void TBitmap::SetPixelFormat(TPixelFormat format) {
    if (format == format_) return;
    if (Empty()) {
        format_ = format;
        return;
    }
    const TBitmap old(*this);
    Create(old.width_, old.height_, format);
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x) SetPixel(x, y, old.GetPixel(x, y));
}

std::uint32_t TBitmap::TransparentColor() const {
    if (fixedTransparentColor_ || Empty()) return transparentColor_;
    return GetPixel(0, height_ - 1);
}

HDC TBitmap::Dc() {
    if (!dc_ && bitmap_) {
        dc_.reset(CreateCompatibleDC(nullptr));
        dcBitmap_.Select(dc_.get(), bitmap_.get());
    }
    return dc_.get();
}

std::uint32_t TBitmap::GetPixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
    if (dc_) GdiFlush();
    const std::uint8_t* p = Row(y) + x * BytesPerPixel();
    return p[2] | (p[1] << 8) | (p[0] << 16);  // B, G, R in memory; red in the colour's low byte
}

void TBitmap::SetPixel(int x, int y, std::uint32_t color) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    if (dc_) GdiFlush();
    std::uint8_t* p = Row(y) + x * BytesPerPixel();
    p[0] = (color >> 16) & 0xFF;
    p[1] = (color >> 8) & 0xFF;
    p[2] = color & 0xFF;
    if (BytesPerPixel() == 4) p[3] = 0;
}

BmpImage TBitmap::ToImage() const {
    BmpImage image;
    if (Empty()) return image;
    image.width = width_;
    image.height = height_;
    image.sourceBitCount = format_ == TPixelFormat::pf24bit ? 24 : 32;
    image.pixels.resize(static_cast<std::size_t>(width_) * height_);
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x) image.SetPixel(x, y, ColorToPixel(GetPixel(x, y)));
    return image;
}

}  // namespace tk
