// Colour conversions between RGB and HSL, and the lighter and darker colours derived from them.
#include <gtest/gtest.h>

#include "flat/FlatTypes.h"
#include "flat/HSLUtils.h"

namespace {

std::uint32_t Rgb(int r, int g, int b) { return static_cast<std::uint32_t>(r | (g << 8) | (b << 16)); }

TEST(HSLUtils, RoundingTakesTiesToEven) {
    EXPECT_EQ(RoundHalfEven(127.5), 128);
    EXPECT_EQ(RoundHalfEven(126.5), 126);
    EXPECT_EQ(RoundHalfEven(126.5000001), 127);
    EXPECT_EQ(RoundHalfEven(0.4999), 0);
    EXPECT_EQ(RoundHalfEven(-0.5), 0);
    EXPECT_EQ(RoundHalfEven(-1.5), -2);
}

TEST(HSLUtils, GreysHaveNoHueOrSaturation) {
    for (int v : {0, 1, 127, 128, 200, 255}) {
        double h = -1, s = -1, l = -1;
        ColorToHsl(Rgb(v, v, v), h, s, l);
        EXPECT_EQ(h, 0.0);
        EXPECT_EQ(s, 0.0);
        EXPECT_DOUBLE_EQ(l, v / 255.0);
        EXPECT_EQ(HslToColor(0.7, 0, l), Rgb(v, v, v));  // S = 0: the grey, whatever the hue
    }
    EXPECT_EQ(HslToColor(0, 0, 0.5), Rgb(128, 128, 128));  // 127.5 rounds to even 128
    int h, s, l;
    ColorToHslScaled(0xFFFFFF, h, s, l);
    EXPECT_EQ(h, 0);
    EXPECT_EQ(s, 0);
    EXPECT_EQ(l, 240);
    ColorToHslScaled(0x000000, h, s, l);
    EXPECT_EQ(h, 0);
    EXPECT_EQ(s, 0);
    EXPECT_EQ(l, 0);
}

TEST(HSLUtils, HueFollowsTheLargestChannel) {
    double h, s, l;
    ColorToHsl(Rgb(255, 0, 0), h, s, l);
    EXPECT_DOUBLE_EQ(h, 0.0);
    EXPECT_DOUBLE_EQ(s, 1.0);
    EXPECT_DOUBLE_EQ(l, 0.5);
    ColorToHsl(Rgb(0, 255, 0), h, s, l);
    EXPECT_DOUBLE_EQ(h, 1.0 / 3);
    ColorToHsl(Rgb(0, 0, 255), h, s, l);
    EXPECT_DOUBLE_EQ(h, 2.0 / 3);
    ColorToHsl(Rgb(255, 0, 128), h, s, l);  // red largest, blue above green: negative hue wraps
    EXPECT_GT(h, 0.9);
    EXPECT_LT(h, 1.0);
    ColorToHsl(Rgb(200, 220, 255), h, s, l);  // light colour: the saturation of the upper half
    EXPECT_DOUBLE_EQ(s, (55 / 255.0) / (2 - 455 / 255.0));
    // Round trips of saturated and light colours.
    for (std::uint32_t c : {Rgb(255, 0, 0), Rgb(12, 200, 99), Rgb(250, 240, 10), Rgb(1, 2, 3), Rgb(200, 220, 255)}) {
        ColorToHsl(c, h, s, l);
        EXPECT_EQ(HslToColor(h, s, l), c);
    }
}

TEST(HSLUtils, ScaledValuesOfTheLightGreyGreen) {
    // 0xE1EAEB: red 235, green 234, blue 225.
    int h, s, l;
    ColorToHslScaled(0xE1EAEB, h, s, l);
    EXPECT_EQ(h, 36);
    EXPECT_EQ(s, 48);
    EXPECT_EQ(l, 216);
    // The red channel of (36, 48, 100) lands on 127.5 and rounds to 128.
    EXPECT_EQ(HslScaledToColor(36, 48, 100), Rgb(128, 123, 85));
    EXPECT_EQ(HslScaledToColor(36, 48, 100), 0x557B80u);
}

TEST(AdvancedColor, LightensToACapOf100AndDarkensToZero) {
    constexpr std::uint32_t base = 0xE1EAEB, fallback = 0x123456;
    // Lightening by 10: L 216 + 10 + 10 exceeds 100, so L becomes 100: darker than the base.
    EXPECT_EQ(AdvancedColorRgb(base, fallback, 10, TLightShift::lsLighten), 0x557B80u);
    // Darkening by 10: 216 + 10 - 10 = 216, the base's own lightness; by 50: 176.
    EXPECT_EQ(AdvancedColorRgb(base, fallback, 10, TLightShift::lsDarken), HslScaledToColor(36, 48, 216));
    EXPECT_EQ(AdvancedColorRgb(base, fallback, 50, TLightShift::lsDarken), HslScaledToColor(36, 48, 176));
    // A dark colour: lightening stays below the cap; darkening past 0 stops at 0 (black).
    int h, s, l;
    ColorToHslScaled(0x200000, h, s, l);
    EXPECT_EQ(AdvancedColorRgb(0x200000, fallback, 20, TLightShift::lsLighten), HslScaledToColor(h, s, l + 30));
    EXPECT_EQ(AdvancedColorRgb(0x200000, fallback, 100, TLightShift::lsDarken), 0x000000u);
    // Amount 0: the fallback, unchanged, in either direction.
    EXPECT_EQ(AdvancedColorRgb(base, fallback, 0, TLightShift::lsLighten), fallback);
    EXPECT_EQ(AdvancedColorRgb(base, fallback, 0, TLightShift::lsDarken), fallback);
}

}  // namespace
