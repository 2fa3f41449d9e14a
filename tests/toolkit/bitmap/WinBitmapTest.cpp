// The DIB section bitmap: loading from BMP bytes, colour order, copies, pixel format changes and
// drawing through GDI.
#include <gtest/gtest.h>

#include "toolkit/win/Bitmap.h"
#include "toolkit/win/Scoped.h"

namespace {

tk::BmpImage Sample() {
    tk::BmpImage image;
    image.width = 3;
    image.height = 2;
    image.pixels = {0xFF0000, 0x00FF00, 0x0000FF, 0x102030, 0x405060, 0x708090};
    return image;
}

TEST(TBitmap, LoadsBmpBytesWithColoursRedInTheLowByte) {
    const auto bytes = tk::EncodeBmp24(Sample());
    tk::TBitmap bmp;
    bmp.LoadFromBytes(bytes.data(), bytes.size());
    ASSERT_EQ(bmp.Width(), 3);
    ASSERT_EQ(bmp.Height(), 2);
    EXPECT_EQ(bmp.GetPixel(0, 0), 0x0000FFu);  // pure red as a toolkit colour
    EXPECT_EQ(bmp.GetPixel(2, 0), 0xFF0000u);  // pure blue
    EXPECT_EQ(bmp.TransparentColor(), 0x302010u);  // bottom-left pixel unless set
    EXPECT_EQ(bmp.ToImage().pixels, Sample().pixels);
    EXPECT_THROW(bmp.LoadFromBytes(bytes.data(), 20), tk::EInvalidGraphic);
}

TEST(TBitmap, CopiesAreIndependentAndFormatChangesKeepPixels) {
    tk::TBitmap a(Sample());
    a.SetTransparent(true);
    a.SetTransparentColor(0xFF00FF);
    tk::TBitmap b(a);
    b.SetPixel(1, 1, 0x123456);
    EXPECT_EQ(a.GetPixel(1, 1), tk::PixelToColor(0x405060));
    EXPECT_TRUE(b.Transparent());
    EXPECT_EQ(b.TransparentColor(), 0xFF00FFu);
    b.SetPixelFormat(tk::TPixelFormat::pf32bit);
    EXPECT_EQ(b.PixelFormat(), tk::TPixelFormat::pf32bit);
    EXPECT_EQ(b.GetPixel(1, 1), 0x123456u);
    tk::TBitmap empty;
    b.Assign(empty);
    EXPECT_TRUE(b.Empty());
}

TEST(TBitmap, GdiDrawsIntoTheSection) {
    tk::TBitmap bmp(4, 4);
    const tk::ScopedBrush brush(CreateSolidBrush(RGB(10, 20, 30)));
    RECT r{1, 1, 3, 3};
    FillRect(bmp.Dc(), &r, brush.get());
    EXPECT_EQ(bmp.GetPixel(2, 2), static_cast<std::uint32_t>(RGB(10, 20, 30)));
    EXPECT_EQ(bmp.GetPixel(0, 0), 0u);
}

}  // namespace
