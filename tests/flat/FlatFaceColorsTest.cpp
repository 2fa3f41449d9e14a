// The colour properties of the flat buttons and check box, with a stand-in control and stand-in
// system colours.
#include <gtest/gtest.h>

#include "flat/FlatFaceColors.h"

namespace {

constexpr std::uint32_t kSystemFace = 0x8000000F;  // a system colour's code, not RGB
constexpr std::uint32_t kFaceRgb = 0x6080A0;       // what it stands for

std::uint32_t StandInToRgb(std::uint32_t color) { return color == kSystemFace ? kFaceRgb : color; }

class StandInControl : public FlatFaceColors {
public:
    StandInControl() : FlatFaceColors(StandInToRgb, 0xFFFFFF, 0xC5D6D9, 0x8396A0) {}
    std::optional<std::uint32_t> parent = kSystemFace;
    int repaints = 0;

private:
    std::optional<std::uint32_t> ParentFaceColor() const override { return parent; }
    void FaceColorsChanged() override { ++repaints; }
};

TEST(FlatFaceColors, AdvancedColoursFollowTheParentAndDeriveTheShadesFromItsRgb) {
    StandInControl c;
    c.SetColor(0x123456);
    c.repaints = 0;
    c.SetUseAdvColors(true);
    EXPECT_GT(c.repaints, 0);
    EXPECT_TRUE(c.ParentColor());
    EXPECT_EQ(c.Color(), kSystemFace);  // kept as the parent has it
    EXPECT_EQ(c.ColorFocused(), AdvancedColorRgb(kFaceRgb, 0, 10, TLightShift::lsLighten));
    EXPECT_EQ(c.ColorDown(), AdvancedColorRgb(kFaceRgb, 0, 10, TLightShift::lsDarken));
    EXPECT_EQ(c.ColorBorder(), AdvancedColorRgb(kFaceRgb, 0, 50, TLightShift::lsDarken));

    c.SetAdvColorDown(30);
    EXPECT_EQ(c.ColorDown(), AdvancedColorRgb(kFaceRgb, 0, 30, TLightShift::lsDarken));
    // A colour of its own is derived from, until the parent's colour changes: then the parent wins.
    c.SetColor(0x404040);
    EXPECT_FALSE(c.ParentColor());
    EXPECT_EQ(c.ColorFocused(), AdvancedColorRgb(0x404040, 0, 10, TLightShift::lsLighten));
    c.ParentColorChanged();
    EXPECT_TRUE(c.ParentColor());
    EXPECT_EQ(c.ColorFocused(), AdvancedColorRgb(kFaceRgb, 0, 10, TLightShift::lsLighten));

    // Switching off stops following the parent and keeps the derived shades.
    const std::uint32_t border = c.ColorBorder();
    c.SetUseAdvColors(false);
    EXPECT_FALSE(c.ParentColor());
    c.SetAdvColorBorder(90);
    EXPECT_EQ(c.ColorBorder(), border);
}

TEST(FlatFaceColors, PlainColoursFollowTheParentOnlyWhileAsked) {
    StandInControl c;
    ASSERT_TRUE(c.ParentColor());
    c.parent = 0x111111;
    c.ParentColorChanged();
    EXPECT_EQ(c.Color(), 0x111111u);
    c.parent.reset();  // no parent: the colour stays
    c.ParentColorChanged();
    EXPECT_EQ(c.Color(), 0x111111u);

    c.SetColor(0x222222);
    c.parent = 0x333333;
    c.ParentColorChanged();
    EXPECT_EQ(c.Color(), 0x222222u);
    c.SetParentColor(true);
    EXPECT_EQ(c.Color(), 0x333333u);

    c.SetColorFocused(0x123456);
    c.SetAdvColorFocused(40);
    EXPECT_EQ(c.ColorFocused(), 0x123456u);
}

}  // namespace
