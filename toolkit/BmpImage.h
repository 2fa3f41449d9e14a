// A platform-free picture: the decoded pixels of a Windows BMP file, and the few operations on it
// that need no device context (cutting a part out of a strip, writing a BMP file back).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "toolkit/Exception.h"

namespace tk {

// A BMP file that cannot be decoded: bad header, sizes, offsets, bit count or compressed data.
class EInvalidGraphic : public Exception { using Exception::Exception; };

struct BmpImage {
    int width = 0;
    int height = 0;
    // Bits per pixel of the file the image came from (1, 4, 8, 16, 24 or 32); 24 for new images.
    int sourceBitCount = 24;
    // Top-down rows, one 32-bit value per pixel laid out as 0x00RRGGBB (the byte order B, G, R, 0
    // of a 32-bit device-independent bitmap in memory).
    std::vector<std::uint32_t> pixels;

    bool Empty() const { return width <= 0 || height <= 0; }
    std::uint32_t Pixel(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    void SetPixel(int x, int y, std::uint32_t rgb) { pixels[static_cast<size_t>(y) * width + x] = rgb; }
};

// The largest picture the decoder accepts, in pixels (width times height) and along one side.
inline constexpr std::int64_t kMaxBmpPixels = 1 << 24;
inline constexpr int kMaxBmpSide = 1 << 14;

// Decodes a complete BMP file (file header "BM" first). Bit counts 1, 4, 8 (uncompressed or RLE),
// 16 and 32 (plain or with bit masks) and 24 are accepted. Anything malformed raises
// EInvalidGraphic; nothing outside [data, data + size) is read.
BmpImage DecodeBmp(const std::uint8_t* data, std::size_t size);
inline BmpImage DecodeBmp(const std::vector<std::uint8_t>& bytes) { return DecodeBmp(bytes.data(), bytes.size()); }

// A 24-bit bottom-up BMP file of the image.
std::vector<std::uint8_t> EncodeBmp24(const BmpImage& image);

// Part index (counted from 1) of count equal-width parts of a picture strip. The part width is the
// width divided by count; the last part is taken as the rightmost part width of the strip, so
// remainder columns are skipped at the left of the last part. An index outside 1..count or a strip
// narrower than count gives an empty image.
BmpImage ExtractPart(const BmpImage& strip, int count, int index);

// Converts between a toolkit colour (red in the low byte) and a pixel value (0x00RRGGBB).
inline std::uint32_t ColorToPixel(std::uint32_t color) {
    return ((color & 0xFF) << 16) | (color & 0xFF00) | ((color >> 16) & 0xFF);
}
inline std::uint32_t PixelToColor(std::uint32_t pixel) { return ColorToPixel(pixel & 0xFFFFFF); }

}  // namespace tk
