// The flat controls' layout arithmetic, called directly.
#include <gtest/gtest.h>

#include "flat/FlatLayout.h"

namespace {

TEST(ButtonLayout, CaptionAloneIsCentred) {
    ButtonLayoutInput in;
    in.Client = {0, 0, 65, 25};
    in.TextWidth = 40;
    in.TextHeight = 13;
    ButtonLayoutResult r = CalcButtonLayout(in);
    // Across: (65 - 40 + 1) / 2 = 13; down: margin (25 - 13 + 1) / 2 = 6 with no spacing.
    EXPECT_EQ(r.TextBounds, (FlatRect{13, 6, 53, 19}));
    in.Offset = {1, 1};
    r = CalcButtonLayout(in);
    EXPECT_EQ(r.TextBounds, (FlatRect{14, 7, 54, 20}));
}

TEST(ButtonLayout, GlyphAndCaptionAlongEachSide) {
    ButtonLayoutInput in;
    in.Client = {0, 0, 100, 40};
    in.GlyphWidth = 16;
    in.GlyphHeight = 16;
    in.TextWidth = 30;
    in.TextHeight = 13;
    in.Layout = TButtonLayout::blGlyphLeft;
    ButtonLayoutResult r = CalcButtonLayout(in);
    // margin (100 - (16 + 4 + 30) + 1) / 2 = 25.
    EXPECT_EQ(r.GlyphPos, (FlatPoint{25, 12}));
    EXPECT_EQ(r.TextBounds, (FlatRect{45, 14, 75, 27}));
    in.Layout = TButtonLayout::blGlyphRight;
    r = CalcButtonLayout(in);
    EXPECT_EQ(r.GlyphPos, (FlatPoint{59, 12}));
    EXPECT_EQ(r.TextBounds.Left, 25);
    in.Layout = TButtonLayout::blGlyphBottom;
    r = CalcButtonLayout(in);
    // margin (40 - (16 + 4 + 13) + 1) / 2 = 4: glyph at 40 - 4 - 16 = 20, text above it.
    EXPECT_EQ(r.GlyphPos, (FlatPoint{42, 20}));
    EXPECT_EQ(r.TextBounds, (FlatRect{35, 3, 65, 16}));

    // Spread evenly: margin and spacing both (100 - 16 - 30) / 3 = 18.
    in.Layout = TButtonLayout::blGlyphLeft;
    in.Spacing = -1;
    r = CalcButtonLayout(in);
    EXPECT_EQ(r.GlyphPos.X, 18);
    EXPECT_EQ(r.TextBounds.Left, 18 + 16 + 18);
    // A margin with spacing -1: spacing ((100 - (10 + 16)) - 30) / 2 = 22.
    in.Margin = 10;
    r = CalcButtonLayout(in);
    EXPECT_EQ(r.GlyphPos.X, 10);
    EXPECT_EQ(r.TextBounds.Left, 10 + 16 + 22);
    // Without a caption the spacing is 0 whatever was asked.
    in.TextWidth = in.TextHeight = 0;
    in.Margin = -1;
    in.Spacing = 7;
    r = CalcButtonLayout(in);
    EXPECT_EQ(r.GlyphPos.X, (100 - 16 + 1) / 2);
}

TEST(ButtonLayout, ImageCountFromTheGlyphsShape) {
    EXPECT_EQ(NumGlyphsForGlyph(64, 16, 1), 4);
    EXPECT_EQ(NumGlyphsForGlyph(80, 16, 3), 1);
    EXPECT_EQ(NumGlyphsForGlyph(30, 16, 2), 2);
    EXPECT_EQ(NumGlyphsForGlyph(16, 16, 3), 1);
    EXPECT_EQ(NumGlyphsForGlyph(0, 0, 3), 3);
}

TEST(ButtonLayout, StripPartsByState) {
    // Three images in 31 pixels: the pressed and latched images run from 20 to the strip's end.
    EXPECT_EQ(GlyphSourceRect(3, 31, 16, TButtonState::bsDown), (FlatRect{20, 0, 31, 16}));
    EXPECT_EQ(GlyphSourceRect(3, 31, 16, TButtonState::bsExclusive), (FlatRect{20, 0, 31, 16}));
    EXPECT_EQ(GlyphSourceRect(3, 31, 16, TButtonState::bsDisabled), (FlatRect{10, 0, 20, 16}));
    EXPECT_EQ(GlyphSourceRect(2, 33, 16, TButtonState::bsDisabled), (FlatRect{16, 0, 33, 16}));
    EXPECT_EQ(GlyphSourceRect(2, 32, 16, TButtonState::bsDown), (FlatRect{0, 0, 16, 16}));
    EXPECT_EQ(GlyphSourceRect(4, 64, 16, TButtonState::bsDown), (FlatRect{32, 0, 48, 16}));
    EXPECT_EQ(GlyphSourceRect(4, 66, 16, TButtonState::bsExclusive), (FlatRect{48, 0, 66, 16}));
    EXPECT_EQ(GlyphSourceRect(1, 30, 16, TButtonState::bsDisabled), (FlatRect{0, 0, 30, 16}));
}

TEST(ButtonLayout, FacesAndBorders) {
    const ButtonColors c{1, 2, 3, 4, 5, 6};
    EXPECT_EQ(ButtonFaceColor(TButtonState::bsUp, true, c), 2u);
    EXPECT_EQ(ButtonFaceColor(TButtonState::bsUp, false, c), 1u);
    EXPECT_EQ(ButtonFaceColor(TButtonState::bsDisabled, true, c), 1u);
    EXPECT_EQ(ButtonFaceColor(TButtonState::bsDown, false, c), 3u);
    EXPECT_EQ(ButtonFaceColor(TButtonState::bsExclusive, true, c), 2u);
    EXPECT_EQ(ButtonFaceColor(TButtonState::bsExclusive, false, c), 3u);
    EXPECT_EQ(ButtonBevel(TButtonState::bsUp, false, true, c).Width, 2);
    EXPECT_EQ(ButtonBevel(TButtonState::bsUp, true, true, c).Width, 1);
    EXPECT_EQ(ButtonBevel(TButtonState::bsUp, true, false, c).Top, 5u);
    EXPECT_EQ(ButtonBevel(TButtonState::bsDisabled, false, true, c).Width, 1);
    EXPECT_EQ(ButtonBevel(TButtonState::bsExclusive, false, false, c).Top, 6u);
    EXPECT_EQ(ButtonBevel(TButtonState::bsDown, false, false, c).Bottom, 5u);
}

TEST(ButtonLayout, ReleaseEdges) {
    EXPECT_TRUE(InsideForRelease(0, 0, 65, 25));
    EXPECT_TRUE(InsideForRelease(64, 25, 65, 25));  // the bottom edge counts
    EXPECT_FALSE(InsideForRelease(65, 10, 65, 25));  // the right edge does not
    EXPECT_FALSE(InsideForRelease(10, 26, 65, 25));
    EXPECT_FALSE(InsideForRelease(-1, 10, 65, 25));
}

TEST(CheckBoxLayout, SquareAndCaptionOnEitherSide) {
    const FlatRect client{0, 0, 291, 17};
    EXPECT_EQ(CheckBoxSquare(client, false), (FlatRect{1, 3, 12, 14}));
    EXPECT_EQ(CheckBoxCaptionRect(client, false), (FlatRect{16, 1, 290, 16}));
    EXPECT_EQ(CheckBoxCaptionFormat(false), 0x10u);
    EXPECT_EQ(CheckBoxSquare(client, true), (FlatRect{279, 3, 290, 14}));
    EXPECT_EQ(CheckBoxCaptionRect(client, true), (FlatRect{1, 1, 275, 16}));
    EXPECT_EQ(CheckBoxCaptionFormat(true), 0x12u);
    EXPECT_EQ(CheckBoxFill(false, false, true, 1, 2, 3), 1u);  // pressed alone does not show
    EXPECT_EQ(CheckBoxFill(true, false, false, 1, 2, 3), 2u);
    EXPECT_EQ(CheckBoxFill(false, true, true, 1, 2, 3), 3u);
    EXPECT_EQ(FlatEditHeight(13), 19);
}

}  // namespace
