#include "toolkit/BmpImage.h"

#include <algorithm>
#include <array>
#include <bit>
#include <string>

#include "toolkit/LittleEndian.h"

namespace tk {

namespace {

[[noreturn]] void Invalid(const wchar_t* why) { throw EInvalidGraphic(std::wstring(L"Invalid bitmap: ") + why); }

std::int32_t S32(const std::uint8_t* p) { return static_cast<std::int32_t>(LoadLE32(p)); }

// One channel of a bit-field pixel scaled to 8 bits.
struct Channel {
    std::uint32_t mask = 0;
    int shift = 0;
    int bits = 0;

    explicit Channel(std::uint32_t m = 0) : mask(m) {
        if (!m) return;
        shift = std::countr_zero(m);
        bits = std::popcount(m);
        if (bits > 8) {  // keep the top eight bits of a wide channel
            shift += bits - 8;
            bits = 8;
        }
    }
    std::uint32_t Get(std::uint32_t value) const {
        if (!mask) return 0;
        const std::uint32_t v = ((value & mask) >> shift) & ((1u << bits) - 1);
        // Replicate the high bits into the low ones so full scale maps to 255.
        std::uint32_t out = v << (8 - bits);
        for (int filled = bits; filled < 8; filled += bits) out |= out >> bits;
        return out & 0xFF;
    }
};

}  // namespace

BmpImage DecodeBmp(const std::uint8_t* data, std::size_t size) {
    if (size < 14 + 12) Invalid(L"file too short");
    if (data[0] != 'B' || data[1] != 'M') Invalid(L"no BM signature");
    const std::uint32_t pixelOffset = LoadLE32(data + 10);
    const std::uint8_t* info = data + 14;
    const std::uint32_t infoSize = LoadLE32(info);
    if (infoSize != 12 && infoSize < 40) Invalid(L"unknown header size");
    if (infoSize > size - 14) Invalid(L"header beyond the end of the file");

    std::int64_t width, height;
    std::uint32_t planes, bitCount, compression = 0, colorsUsed = 0;
    if (infoSize == 12) {
        width = LoadLE16(info + 4);
        height = static_cast<std::int16_t>(LoadLE16(info + 6));
        planes = LoadLE16(info + 8);
        bitCount = LoadLE16(info + 10);
    } else {
        width = S32(info + 4);
        height = S32(info + 8);
        planes = LoadLE16(info + 12);
        bitCount = LoadLE16(info + 14);
        compression = LoadLE32(info + 16);
        colorsUsed = LoadLE32(info + 32);
    }
    if (planes != 1) Invalid(L"plane count not 1");
    const bool topDown = height < 0;
    if (topDown) height = -height;
    if (width <= 0 || height <= 0 || width > kMaxBmpSide || height > kMaxBmpSide || width * height > kMaxBmpPixels)
        Invalid(L"bad dimensions");

    const bool rle8 = compression == 1, rle4 = compression == 2, bitfields = compression == 3 || compression == 6;
    switch (bitCount) {
        case 1: case 24:
            if (compression != 0) Invalid(L"bad compression");
            break;
        case 4:
            if (compression != 0 && !rle4) Invalid(L"bad compression");
            break;
        case 8:
            if (compression != 0 && !rle8) Invalid(L"bad compression");
            break;
        case 16: case 32:
            if (compression != 0 && !bitfields) Invalid(L"bad compression");
            break;
        default:
            Invalid(L"bad bit count");
    }
    if ((rle8 || rle4) && topDown) Invalid(L"compressed bitmaps are bottom-up");

    // Bit masks: inside a version 2+ header, or three values after a 40-byte header.
    std::uint32_t masks[3] = {0, 0, 0};
    std::size_t tableStart = 14 + infoSize;
    if (bitCount == 16 || bitCount == 32) {
        if (bitfields) {
            if (infoSize >= 52) {
                for (int i = 0; i < 3; ++i) masks[i] = LoadLE32(info + 40 + 4 * i);
            } else {
                if (size - tableStart < 12) Invalid(L"bit masks beyond the end of the file");
                for (int i = 0; i < 3; ++i) masks[i] = LoadLE32(data + tableStart + 4 * i);
                tableStart += 12;
            }
        } else if (bitCount == 16) {
            masks[0] = 0x7C00; masks[1] = 0x03E0; masks[2] = 0x001F;
        } else {
            masks[0] = 0xFF0000; masks[1] = 0xFF00; masks[2] = 0xFF;
        }
    }

    // Palette.
    std::array<std::uint32_t, 256> palette{};
    if (bitCount <= 8) {
        const std::uint32_t maxColors = 1u << bitCount;
        std::uint32_t count = colorsUsed ? colorsUsed : maxColors;
        if (count > maxColors) Invalid(L"palette too large");
        const std::size_t entry = infoSize == 12 ? 3 : 4;
        if (tableStart > size || (size - tableStart) / entry < count) Invalid(L"palette beyond the end of the file");
        for (std::uint32_t i = 0; i < count; ++i) {
            const std::uint8_t* e = data + tableStart + i * entry;
            palette[i] = (static_cast<std::uint32_t>(e[2]) << 16) | (e[1] << 8) | e[0];
        }
    }

    if (pixelOffset >= size) Invalid(L"pixel data beyond the end of the file");
    const std::uint8_t* bits = data + pixelOffset;
    const std::size_t available = size - pixelOffset;

    const std::size_t stride = ((static_cast<std::size_t>(width) * bitCount + 31) / 32) * 4;
    if (!rle8 && !rle4 && available / stride < static_cast<std::size_t>(height)) Invalid(L"pixel data ends early");

    BmpImage image;
    image.width = static_cast<int>(width);
    image.height = static_cast<int>(height);
    image.sourceBitCount = static_cast<int>(bitCount);
    image.pixels.assign(static_cast<std::size_t>(width * height), 0);
    auto row = [&](std::int64_t fileRow) -> std::uint32_t* {
        const std::int64_t y = topDown ? fileRow : height - 1 - fileRow;
        return image.pixels.data() + y * width;
    };

    if (rle8 || rle4) {
        // Run-length data: every write is checked against the picture, every read against the buffer.
        std::size_t i = 0;
        std::int64_t x = 0, y = 0;
        auto need = [&](std::size_t n) {
            if (available - i < n) Invalid(L"compressed data ends early");
        };
        auto put = [&](std::uint32_t index) {
            if (x >= width || y >= height) Invalid(L"compressed data outside the picture");
            row(y)[x++] = palette[index & 0xFF];
        };
        for (;;) {
            need(2);
            const std::uint8_t count = bits[i], value = bits[i + 1];
            i += 2;
            if (count > 0) {
                for (int k = 0; k < count; ++k)
                    put(rle8 ? value : ((k & 1) ? value & 0x0F : value >> 4));
            } else if (value == 0) {  // end of line
                x = 0;
                ++y;
            } else if (value == 1) {  // end of bitmap
                break;
            } else if (value == 2) {  // delta
                need(2);
                x += bits[i];
                y += bits[i + 1];
                i += 2;
                if (x > width || y > height) Invalid(L"compressed data outside the picture");
            } else {  // absolute run of value pixels, padded to a 16-bit boundary
                const std::size_t bytes = rle8 ? value : (value + 1u) / 2;
                const std::size_t padded = (bytes + 1) & ~std::size_t{1};
                need(padded);
                for (int k = 0; k < value; ++k) {
                    const std::uint8_t b = bits[i + (rle8 ? k : k / 2)];
                    put(rle8 ? b : ((k & 1) ? b & 0x0F : b >> 4));
                }
                i += padded;
            }
            if (y > height) Invalid(L"compressed data outside the picture");
        }
        return image;
    }

    const Channel red(masks[0]), green(masks[1]), blue(masks[2]);
    for (std::int64_t r = 0; r < height; ++r) {
        const std::uint8_t* src = bits + r * stride;
        std::uint32_t* dst = row(r);
        for (std::int64_t x = 0; x < width; ++x) {
            switch (bitCount) {
                case 1: dst[x] = palette[(src[x >> 3] >> (7 - (x & 7))) & 1]; break;
                case 4: dst[x] = palette[(src[x >> 1] >> ((x & 1) ? 0 : 4)) & 0x0F]; break;
                case 8: dst[x] = palette[src[x]]; break;
                case 24: {
                    const std::uint8_t* p = src + x * 3;
                    dst[x] = (static_cast<std::uint32_t>(p[2]) << 16) | (p[1] << 8) | p[0];
                    break;
                }
                default: {
                    const std::uint32_t v = bitCount == 16 ? LoadLE16(src + x * 2) : LoadLE32(src + x * 4);
                    dst[x] = (red.Get(v) << 16) | (green.Get(v) << 8) | blue.Get(v);
                }
            }
        }
    }
    return image;
}

std::vector<std::uint8_t> EncodeBmp24(const BmpImage& image) {
    const std::size_t stride = ((static_cast<std::size_t>(image.width) * 24 + 31) / 32) * 4;
    const std::size_t pixelBytes = stride * image.height;
    std::vector<std::uint8_t> out(54 + pixelBytes, 0);
    auto put16 = [&](std::size_t at, std::uint32_t v) { out[at] = v & 0xFF; out[at + 1] = (v >> 8) & 0xFF; };
    auto put32 = [&](std::size_t at, std::uint32_t v) { put16(at, v & 0xFFFF); put16(at + 2, v >> 16); };
    out[0] = 'B';
    out[1] = 'M';
    put32(2, static_cast<std::uint32_t>(out.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<std::uint32_t>(image.width));
    put32(22, static_cast<std::uint32_t>(image.height));
    put16(26, 1);
    put16(28, 24);
    put32(34, static_cast<std::uint32_t>(pixelBytes));
    put32(38, 2835);  // 72 dots per inch
    put32(42, 2835);
    for (int y = 0; y < image.height; ++y) {
        std::uint8_t* dst = out.data() + 54 + (image.height - 1 - y) * stride;
        for (int x = 0; x < image.width; ++x) {
            const std::uint32_t p = image.Pixel(x, y);
            dst[x * 3] = p & 0xFF;
            dst[x * 3 + 1] = (p >> 8) & 0xFF;
            dst[x * 3 + 2] = (p >> 16) & 0xFF;
        }
    }
    return out;
}

BmpImage ExtractPart(const BmpImage& strip, int count, int index) {
    BmpImage part;
    if (count <= 0 || index < 1 || index > count || strip.Empty()) return part;
    const int partWidth = strip.width / count;
    if (partWidth <= 0) return part;
    const int left = index == count ? strip.width - partWidth : partWidth * (index - 1);
    part.width = partWidth;
    part.height = strip.height;
    part.sourceBitCount = strip.sourceBitCount;
    part.pixels.resize(static_cast<std::size_t>(partWidth) * strip.height);
    for (int y = 0; y < strip.height; ++y)
        std::copy_n(strip.pixels.begin() + static_cast<std::ptrdiff_t>(y) * strip.width + left, partWidth,
                    part.pixels.begin() + static_cast<std::ptrdiff_t>(y) * partWidth);
    return part;
}

}  // namespace tk
