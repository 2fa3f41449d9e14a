// The flat controls' drawing routines, checked by pixels in memory bitmaps, and their colour
// derivation from system colours.
#include <gtest/gtest.h>

#include "flat/FlatUtilitys.h"
#include "flat/HSLUtils.h"
#include "toolkit/win/Form.h"

namespace {

constexpr std::uint32_t kWhite = 0xFFFFFF, kTop = 0x0000FF, kBottom = 0xFF0000;

std::uint32_t At(tk::TBitmap& b, int x, int y) {
    GdiFlush();
    return b.GetPixel(x, y);
}

TEST(AdvancedColor, SystemColoursAreConvertedFirst) {
    const std::uint32_t face = GetSysColor(COLOR_BTNFACE);
    const tk::TColor lighter = AdvancedColor(tk::clBtnFace, tk::clBtnShadow, 30, TLightShift::lsLighten);
    EXPECT_EQ(lighter, AdvancedColorRgb(face, 0, 30, TLightShift::lsLighten));
    EXPECT_EQ(lighter & 0xFF000000u, 0u);
    EXPECT_EQ(AdvancedColor(0xE1EAEB, 0, 10, TLightShift::lsLighten), 0x557B80u);
    // Amount 0: the fallback as given, even a system colour.
    EXPECT_EQ(AdvancedColor(tk::clBtnFace, tk::clBtnShadow, 0, TLightShift::lsDarken), tk::clBtnShadow);
}

TEST(BevelFrame, RingsFromTheOutsideIn) {
    tk::TBitmap b(12, 12);
    tk::TCanvas c(b.Dc());
    c.SetBrushColor(kWhite);
    c.FillRect({0, 0, 12, 12});
    tk::TRect r{0, 0, 10, 10};
    DrawBevelFrame(c, r, kTop, kBottom, 2);
    EXPECT_EQ(r.Right, 10);  // the caller's rectangle is not changed
    // Outer ring along x 0..9, y 0..9: top and left in the top colour, right and bottom in the
    // bottom colour (which is drawn last, so it owns the corners it reaches).
    EXPECT_EQ(At(b, 0, 0), kTop);
    EXPECT_EQ(At(b, 8, 0), kTop);
    EXPECT_EQ(At(b, 0, 8), kTop);
    EXPECT_EQ(At(b, 9, 0), kBottom);
    EXPECT_EQ(At(b, 9, 9), kBottom);
    EXPECT_EQ(At(b, 0, 9), kBottom);
    EXPECT_EQ(At(b, 5, 9), kBottom);
    // Inner ring along x 1..8, y 1..8.
    EXPECT_EQ(At(b, 1, 1), kTop);
    EXPECT_EQ(At(b, 7, 1), kTop);
    EXPECT_EQ(At(b, 1, 7), kTop);
    EXPECT_EQ(At(b, 8, 1), kBottom);
    EXPECT_EQ(At(b, 8, 8), kBottom);
    EXPECT_EQ(At(b, 1, 8), kBottom);
    // Nothing inside the rings or outside the rectangle.
    EXPECT_EQ(At(b, 2, 2), kWhite);
    EXPECT_EQ(At(b, 7, 7), kWhite);
    EXPECT_EQ(At(b, 10, 5), kWhite);
    EXPECT_EQ(At(b, 5, 10), kWhite);

    DrawBevelFrame(c, {0, 0, 12, 12}, kTop, kBottom, 0);
    EXPECT_EQ(At(b, 11, 11), kWhite);
}

TEST(DisabledGlyph, OutlinePixelsBecomeShadowWithHighlightBelowRight) {
    constexpr std::uint32_t back = 0x00FF00, highlight = 0xFFFF00, shadow = 0x800080;
    tk::TBitmap glyph(6, 5);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x) glyph.SetPixel(x, y, 0x3366CC);
    glyph.SetPixel(1, 1, 0x000000);
    glyph.SetPixel(2, 1, 0x000000);
    glyph.SetPixel(5, 4, 0x000000);  // its highlight falls outside the picture

    auto result = MakeDisabledGlyph(glyph, tk::clBlack, back, highlight, shadow, true);
    ASSERT_EQ(result->Width(), 6);
    ASSERT_EQ(result->Height(), 5);
    EXPECT_EQ(At(*result, 1, 1), shadow);
    EXPECT_EQ(At(*result, 2, 1), shadow);
    EXPECT_EQ(At(*result, 5, 4), shadow);
    EXPECT_EQ(At(*result, 2, 2), highlight);
    EXPECT_EQ(At(*result, 3, 2), highlight);
    EXPECT_EQ(At(*result, 0, 0), back);
    EXPECT_EQ(At(*result, 1, 2), back);
    EXPECT_EQ(At(*result, 4, 3), back);
    EXPECT_EQ(At(glyph, 1, 1), 0x000000u);  // the source is left alone

    auto flat = MakeDisabledGlyph(glyph, tk::clBlack, back, highlight, shadow, false);
    EXPECT_EQ(At(*flat, 1, 1), shadow);
    EXPECT_EQ(At(*flat, 2, 2), back);

    // A glyph without the outline colour: the back colour only.
    auto empty = MakeDisabledGlyph(glyph, 0x010203, back, highlight, shadow, true);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x) EXPECT_EQ(At(*empty, x, y), back) << x << "," << y;

    tk::TBitmap none;
    EXPECT_TRUE(MakeDisabledGlyph(none, tk::clBlack, back, highlight, shadow, true)->Empty());
}

class TRedForm : public tk::TForm {
public:
    using tk::TForm::TForm;
    void WndProc(tk::TMessage& m) override {
        if (m.Msg == WM_ERASEBKGND) {
            tk::TCanvas c(reinterpret_cast<HDC>(m.WParam));
            c.SetBrushColor(0x0000FF);
            c.FillRect({0, 0, 20, 20});
            m.Result = 1;
            return;
        }
        tk::TForm::WndProc(m);
    }
};

TEST(ParentBackground, CopyParentBackgroundPaintsTheParentUnderTheControl) {
    TRedForm form(nullptr);
    form.SetClientSize(50, 50);
    form.HandleNeeded();
    tk::TControl control(&form);
    control.SetParent(&form);
    control.SetBounds(15, 15, 10, 10);
    tk::TBitmap b(10, 10);
    tk::TCanvas c(b.Dc());
    c.SetBrushColor(kWhite);
    c.FillRect({0, 0, 10, 10});
    CopyParentBackground(control, c);
    EXPECT_EQ(At(b, 0, 0), 0x0000FFu);
    EXPECT_EQ(At(b, 4, 4), 0x0000FFu);
    EXPECT_EQ(At(b, 5, 5), kWhite);  // the parent's (20, 20) and beyond were not painted red
    tk::TControl orphan(nullptr);
    CopyParentBackground(orphan, c);
}

}  // namespace
