// The BMP decoder: the layouts skins use, and malformed files rejected without reading outside
// the buffer.
#include <gtest/gtest.h>

#include <memory>

#include "toolkit/BmpImage.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

void Put16(Bytes& b, std::size_t at, std::uint32_t v) { b[at] = v & 0xFF; b[at + 1] = (v >> 8) & 0xFF; }
void Put32(Bytes& b, std::size_t at, std::uint32_t v) { Put16(b, at, v & 0xFFFF); Put16(b, at + 2, v >> 16); }

// A file with a 40-byte header, the given palette and pixel bytes.
Bytes MakeBmp(int w, int h, int bits, int compression, const std::vector<std::uint32_t>& palette, const Bytes& pixels) {
    const std::size_t offset = 54 + palette.size() * 4;
    Bytes b(offset, 0);
    b[0] = 'B';
    b[1] = 'M';
    Put32(b, 2, static_cast<std::uint32_t>(offset + pixels.size()));
    Put32(b, 10, static_cast<std::uint32_t>(offset));
    Put32(b, 14, 40);
    Put32(b, 18, static_cast<std::uint32_t>(w));
    Put32(b, 22, static_cast<std::uint32_t>(h));
    Put16(b, 26, 1);
    Put16(b, 28, static_cast<std::uint32_t>(bits));
    Put32(b, 30, static_cast<std::uint32_t>(compression));
    Put32(b, 46, static_cast<std::uint32_t>(palette.size()));
    for (std::size_t i = 0; i < palette.size(); ++i) Put32(b, 54 + i * 4, palette[i]);
    b.insert(b.end(), pixels.begin(), pixels.end());
    return b;
}

tk::BmpImage Decode(const Bytes& b) {
    // An exact-size heap copy, so a sanitizer notices any read past the end.
    std::unique_ptr<std::uint8_t[]> copy(new std::uint8_t[b.size() + 1]);
    std::copy(b.begin(), b.end(), copy.get());
    return tk::DecodeBmp(copy.get(), b.size());
}

TEST(BmpImage, TwentyFourBitRoundTripKeepsEveryPixel) {
    tk::BmpImage image;
    image.width = 7;  // rows need padding
    image.height = 4;
    image.pixels.resize(28);
    for (int i = 0; i < 28; ++i) image.pixels[i] = 0x010203u * static_cast<std::uint32_t>(i + 1);
    const tk::BmpImage back = Decode(tk::EncodeBmp24(image));
    EXPECT_EQ(back.width, 7);
    EXPECT_EQ(back.height, 4);
    EXPECT_EQ(back.pixels, image.pixels);
}

TEST(BmpImage, PaletteAndBitFieldLayouts) {
    // 1 bit, 2 x 2, bottom-up: bottom row "10", top row "01".
    const tk::BmpImage mono = Decode(MakeBmp(2, 2, 1, 0, {0x000000, 0xFFFFFF}, {0x80, 0, 0, 0, 0x40, 0, 0, 0}));
    EXPECT_EQ(mono.Pixel(0, 1), 0xFFFFFFu);
    EXPECT_EQ(mono.Pixel(1, 1), 0u);
    EXPECT_EQ(mono.Pixel(1, 0), 0xFFFFFFu);

    // 8 bit, top-down (negative height).
    Bytes top = MakeBmp(2, 2, 8, 0, {0x112233, 0x445566}, {0, 1, 0, 0, 1, 0, 0, 0});
    Put32(top, 22, static_cast<std::uint32_t>(-2));
    const tk::BmpImage pal = Decode(top);
    EXPECT_EQ(pal.Pixel(1, 0), 0x445566u);
    EXPECT_EQ(pal.Pixel(0, 1), 0x445566u);

    // 16 bit with 5-6-5 masks after the header.
    Bytes masks(12);
    Put32(masks, 0, 0xF800);
    Put32(masks, 4, 0x07E0);
    Put32(masks, 8, 0x001F);
    Bytes px = {0x00, 0xF8, 0x1F, 0x00};  // red, blue
    Bytes file = MakeBmp(2, 1, 16, 3, {}, {});
    file.insert(file.end(), masks.begin(), masks.end());
    Put32(file, 10, static_cast<std::uint32_t>(file.size()));
    file.insert(file.end(), px.begin(), px.end());
    const tk::BmpImage rgb565 = Decode(file);
    EXPECT_EQ(rgb565.Pixel(0, 0), 0xFF0000u);
    EXPECT_EQ(rgb565.Pixel(1, 0), 0x0000FFu);

    // 4 bit: the high nibble is the left pixel. 3 x 1: 0x12 0x30 gives colours 1, 2, 3.
    const std::vector<std::uint32_t> four = {0x000000, 0x0000FF, 0x00FF00, 0xFF0000};
    const tk::BmpImage nibbles = Decode(MakeBmp(3, 1, 4, 0, four, {0x12, 0x30, 0, 0}));
    EXPECT_EQ(nibbles.Pixel(0, 0), 0x0000FFu);
    EXPECT_EQ(nibbles.Pixel(1, 0), 0x00FF00u);
    EXPECT_EQ(nibbles.Pixel(2, 0), 0xFF0000u);
    // 4-bit run-length data: a run of three alternating 1, 2; an absolute run 3, 1, 2; end.
    const tk::BmpImage rle4 = Decode(MakeBmp(6, 1, 4, 2, four, {3, 0x12, 0, 3, 0x31, 0x20, 0, 1}));
    const std::uint32_t rle4Expected[] = {0x0000FF, 0x00FF00, 0x0000FF, 0xFF0000, 0x0000FF, 0x00FF00};
    for (int x = 0; x < 6; ++x) EXPECT_EQ(rle4.Pixel(x, 0), rle4Expected[x]) << x;

    // 8-bit run-length data: a run of two, an absolute run of three (padded), end of bitmap.
    const tk::BmpImage rle = Decode(MakeBmp(5, 1, 8, 1, {0x0000FF, 0x00FF00}, {2, 1, 0, 3, 0, 1, 0, 0, 0, 1}));
    EXPECT_EQ(rle.Pixel(1, 0), 0x00FF00u);
    EXPECT_EQ(rle.Pixel(2, 0), 0x0000FFu);
    EXPECT_EQ(rle.Pixel(3, 0), 0x00FF00u);
    EXPECT_EQ(rle.Pixel(4, 0), 0x0000FFu);
}

TEST(BmpImage, MalformedFilesAreRejected) {
    const Bytes good = MakeBmp(2, 2, 24, 0, {}, Bytes(16, 0x80));
    auto with32 = [&](std::size_t at, std::uint32_t v) { Bytes b = good; Put32(b, at, v); return b; };
    auto with16 = [&](std::size_t at, std::uint32_t v) { Bytes b = good; Put16(b, at, v); return b; };
    struct Case { const char* what; Bytes file; };
    const Case cases[] = {
        {"no BM", with16(0, 0x4D41)},
        {"header size 20", with32(14, 20)},
        {"header larger than the file", with32(14, 4000)},
        {"width 0", with32(18, 0)},
        {"negative width", with32(18, static_cast<std::uint32_t>(-3))},
        {"height 0", with32(22, 0)},
        {"huge picture", with32(18, 20000)},
        {"too many pixels", [&] { Bytes b = with32(18, 5000); Put32(b, 22, 5000); return b; }()},
        {"two planes", with16(26, 2)},
        {"bit count 7", with16(28, 7)},
        {"24 bit with RLE", with32(30, 1)},
        {"pixel offset beyond the end", with32(10, 5000)},
        {"pixel data short", Bytes(good.begin(), good.end() - 1)},
        {"palette beyond the end", MakeBmp(1, 1, 8, 0, {}, {0, 0, 0, 0})},
        {"palette over 256 colours", [&] { Bytes b = MakeBmp(1, 1, 8, 0, {0}, {0, 0, 0, 0}); Put32(b, 46, 300); return b; }()},
        {"run past the row end", MakeBmp(2, 1, 8, 1, {0}, {3, 0, 0, 1})},
        {"run past the last row", MakeBmp(2, 1, 8, 1, {0}, {0, 0, 0, 0, 2, 0, 0, 1})},
        {"delta out of the picture", MakeBmp(2, 2, 8, 1, {0}, {0, 2, 9, 9, 0, 1})},
        {"absolute run past the data", MakeBmp(4, 1, 8, 1, {0}, {0, 4, 0})},
        {"run data without end", MakeBmp(4, 1, 8, 1, {0}, {1, 0})},
        {"RLE4 nibbles past the row", MakeBmp(2, 1, 4, 2, {0}, {5, 0x11, 0, 1})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_THROW(Decode(c.file), tk::EInvalidGraphic);
    }
}

// Files complete and consistent in everything but one rule, so that only that rule refuses them.
TEST(BmpImage, FilesBreakingOneRuleAreRejected) {
    const std::vector<std::uint32_t> two = {0, 0xFFFFFF}, sixteen(16, 0x123456);
    const Bytes rle = {2, 1, 0, 1};  // a run of two pixels of colour 1, end of bitmap
    struct Case { const char* what; Bytes file; };
    const Case cases[] = {
        {"1 bit with bit fields", MakeBmp(2, 1, 1, 3, two, {0x40, 0, 0, 0})},
        {"24 bit with bit fields", MakeBmp(1, 1, 24, 3, {}, {1, 2, 3, 0})},
        {"4 bit with 8-bit run-length data", MakeBmp(2, 1, 4, 1, sixteen, rle)},
        {"8 bit with 4-bit run-length data", MakeBmp(2, 1, 8, 2, two, {2, 0x11, 0, 1})},
        {"16 bit with run-length data", MakeBmp(2, 1, 16, 1, {}, rle)},
        {"bit count 2", MakeBmp(2, 1, 2, 0, {0, 0, 0, 0}, {0, 0, 0, 0})},
        {"width over the side limit", MakeBmp(tk::kMaxBmpSide + 1, 1, 1, 0, two, Bytes((tk::kMaxBmpSide / 32 + 1) * 4, 0))},
        {"delta past the right edge", MakeBmp(2, 2, 8, 1, two, {0, 2, 9, 0, 0, 1})},
        {"end-of-line codes past the last row", MakeBmp(2, 1, 8, 1, two, {0, 0, 0, 0, 0, 0, 0, 1})},
        {"8-bit run-length data top-down", [&] { Bytes b = MakeBmp(2, 1, 8, 1, two, rle); Put32(b, 22, static_cast<std::uint32_t>(-1)); return b; }()},
        {"bit masks cut short", [&] {
             Bytes b = MakeBmp(1, 1, 16, 3, {}, {0, 0, 0, 0, 0, 0});  // masks need 12 bytes, 6 follow
             Put32(b, 10, 56);
             return b;
         }()},
        {"palette of 300 colours present", [&] {
             Bytes b = MakeBmp(1, 1, 8, 0, std::vector<std::uint32_t>(300, 0x808080), {0, 0, 0, 0});
             return b;
         }()},
        {"pixels over the limit", MakeBmp(4097, 4097, 1, 0, two, Bytes(std::size_t{(4097 + 31) / 32 * 4} * 4097, 0))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_THROW(Decode(c.file), tk::EInvalidGraphic);
    }
}

TEST(BmpImage, EveryTruncationIsRejected) {
    tk::BmpImage image;
    image.width = 3;
    image.height = 3;
    image.pixels.assign(9, 0x123456);
    const Bytes files[] = {tk::EncodeBmp24(image), MakeBmp(5, 1, 8, 1, {0x0000FF, 0x00FF00}, {2, 1, 0, 3, 0, 1, 0, 0, 0, 1})};
    for (const Bytes& file : files)
        for (std::size_t n = 0; n < file.size(); ++n)
            EXPECT_THROW(Decode(Bytes(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(n))), tk::EInvalidGraphic)
                << n;
}

TEST(BmpImage, ExtractPartSkipsRemainderColumnsLeftOfTheLastPart) {
    tk::BmpImage strip;
    strip.width = 100;
    strip.height = 2;
    strip.pixels.resize(200);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 100; ++x) strip.SetPixel(x, y, static_cast<std::uint32_t>(x));
    const tk::BmpImage p1 = tk::ExtractPart(strip, 3, 1), p2 = tk::ExtractPart(strip, 3, 2), p3 = tk::ExtractPart(strip, 3, 3);
    EXPECT_EQ(p1.width, 33);
    EXPECT_EQ(p1.Pixel(32, 1), 32u);
    EXPECT_EQ(p2.Pixel(0, 0), 33u);
    EXPECT_EQ(p2.Pixel(32, 0), 65u);
    EXPECT_EQ(p3.Pixel(0, 0), 67u);
    EXPECT_EQ(p3.Pixel(32, 1), 99u);
    EXPECT_TRUE(tk::ExtractPart(strip, 3, 4).Empty());
    EXPECT_TRUE(tk::ExtractPart(strip, 200, 1).Empty());
}

}  // namespace
