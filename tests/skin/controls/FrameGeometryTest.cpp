// The frame's arithmetic: button and caption layout, hit tests, insets, the non-client rectangle,
// the maximised bounds, the painted border bands and the outline rows read from pictures; and
// every parameter a skin supplies taken to the extremes a damaged skin can hold (these tests run
// under UBSan too, which stops at any overflow).
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <set>

#include "skin/controls/FrameGeometry.h"

namespace {

using skin::Box;
using skin::TitleButtonInput;
using T = TsuiTitleBarBtnType;

// The four buttons of the main window (control box, close, maximise, minimise), 19 x 19 each.
std::vector<TitleButtonInput> FourButtons(bool maxVisible = true) {
    return {{T::suiControlBox, true, true, 19, 19},
            {T::suiClose, true, true, 19, 19},
            {T::suiMax, maxVisible, true, 19, 19},
            {T::suiMin, true, true, 19, 19}};
}

// The values a skin's 4-byte integer records take at their edges, and around the range the
// geometry works in.
constexpr int kSkinExtremes[] = {INT_MIN, -16385, -1, 0, 1, 16385, INT_MAX};

TEST(TitleButtonPictures, StripNumbersPerKindAndTheRestoreLook) {
    EXPECT_EQ(skin::TitleButtonFirstPicture(T::suiControlBox, false), 1);
    EXPECT_EQ(skin::TitleButtonFirstPicture(T::suiHelp, false), 4);
    EXPECT_EQ(skin::TitleButtonFirstPicture(T::suiMax, false), 7);
    EXPECT_EQ(skin::TitleButtonFirstPicture(T::suiMax, true), 10);
    EXPECT_EQ(skin::TitleButtonFirstPicture(T::suiMin, true), 13);
    EXPECT_EQ(skin::TitleButtonFirstPicture(T::suiClose, false), 16);
    EXPECT_EQ(skin::TitleButtonFirstPicture(T::suiCustom, false), 0);
}

TEST(TitleButtonLayout, CloseFlushOthersOnePixelPlusIntervalApart) {
    // Image 300 wide, right offset 6, inset J = 3: X starts at 297.
    auto layout = skin::LayoutTitleButtons(FourButtons(), 300, 6, 3, 4, 2);
    ASSERT_TRUE(layout.Rects[1]);
    EXPECT_EQ(*layout.Rects[1], (Box{278, 4, 297, 23}));  // close: its width alone
    EXPECT_EQ(*layout.Rects[2], (Box{256, 4, 275, 23}));  // 19 + 1 + 2 further left
    EXPECT_EQ(*layout.Rects[3], (Box{234, 4, 253, 23}));
    EXPECT_FALSE(layout.Rects[0]);  // the control box goes with the icon
    EXPECT_EQ(layout.ControlBox, 0);
    EXPECT_EQ(layout.X, 234);
}

TEST(TitleButtonLayout, HiddenButtonsAndButtonsWithoutAllPicturesTakeNoRoom) {
    auto inputs = FourButtons(false);
    inputs[3].HasAllPictures = false;  // the minimise button lacks a picture
    inputs.push_back({T::suiHelp, true, true, 19, 19});
    auto layout = skin::LayoutTitleButtons(inputs, 300, 0, 0, 0, 0);
    // Flush with the right edge the close button would touch it: it ends one pixel before.
    EXPECT_EQ(*layout.Rects[1], (Box{280, 0, 299, 19}));
    EXPECT_FALSE(layout.Rects[2]);
    EXPECT_FALSE(layout.Rects[3]);
    EXPECT_EQ(*layout.Rects[4], (Box{260, 0, 279, 19}));  // one pixel left of close
    EXPECT_EQ(skin::TitleButtonAt(layout, std::nullopt, 5, 5), -1);
    EXPECT_EQ(skin::TitleButtonAt(layout, std::nullopt, 279, 10), 4);  // edges inclusive
    EXPECT_EQ(skin::TitleButtonAt(layout, std::nullopt, 280, 19), 1);
}

TEST(TitleButtonLayout, AButtonPastTheRightEdgeIsPulledBackInside) {
    // A negative right offset would put the close button beyond the image.
    auto layout = skin::LayoutTitleButtons(FourButtons(), 100, -10, 0, 2, 0);
    EXPECT_EQ(*layout.Rects[1], (Box{80, 2, 99, 21}));  // ends one pixel before the edge
    EXPECT_EQ(layout.Rects[2]->Left, 60);
}

// Whatever the skin's right offset and button top: every button keeps its size, lies inside the
// image, and the buttons follow one another leftwards; an offset that would push them out of the
// image on the right leaves the close button flush with the image's last column but one.
TEST(TitleButtonLayout, SkinOffsetsAndTopsAtTheirExtremes) {
    for (int offset : kSkinExtremes) {
        for (int top : kSkinExtremes) {
            SCOPED_TRACE("offset " + std::to_string(offset) + ", top " + std::to_string(top));
            auto layout = skin::LayoutTitleButtons(FourButtons(), 300, offset, 3, top, 2);
            for (int i = 1; i < 4; ++i) {
                ASSERT_TRUE(layout.Rects[i]);
                EXPECT_EQ(layout.Rects[i]->Width(), 19);
                EXPECT_EQ(layout.Rects[i]->Height(), 19);
                EXPECT_LE(layout.Rects[i]->Right, 299);
                EXPECT_EQ(layout.Rects[i]->Top, layout.Rects[1]->Top);
            }
            EXPECT_LT(layout.Rects[2]->Right, layout.Rects[1]->Left);
            EXPECT_LT(layout.Rects[3]->Right, layout.Rects[2]->Left);
            EXPECT_EQ(layout.X, layout.Rects[3]->Left);
            if (offset <= 3) {
                EXPECT_EQ(layout.Rects[1]->Right, 299);
            }
            if (top >= 0 && top <= 1) {
                EXPECT_EQ(layout.Rects[1]->Top, top);
            }
        }
    }
}

// Whatever the skin's icon offset and top: the icon never starts left of the bar, the control box
// keeps its size and the caption starts after it.
TEST(TitleIconLayout, SkinOffsetsAndTopsAtTheirExtremes) {
    for (int offset : kSkinExtremes) {
        for (int top : kSkinExtremes) {
            SCOPED_TRACE("offset " + std::to_string(offset) + ", top " + std::to_string(top));
            for (bool appIcon : {false, true}) {
                auto icon = skin::LayoutTitleIcon(offset, 3, true, appIcon, top, 19, 17);
                EXPECT_GE(icon.IconX, 0);
                if (offset <= 7) {
                    EXPECT_EQ(icon.IconX, 0);
                }
                ASSERT_TRUE(icon.ControlBox);
                EXPECT_EQ(icon.ControlBox->Width(), 19);
                EXPECT_EQ(icon.ControlBox->Height(), 17);
                EXPECT_EQ(icon.ControlBox->Left, icon.IconX);
                EXPECT_EQ(icon.CaptionX, icon.IconX + (appIcon ? 21 : 24));
            }
            EXPECT_GE(skin::LayoutTitleIcon(offset, 3, false, true, top, 0, 0).CaptionX, 6);
        }
    }
}

TEST(TitleIconLayout, CaptionStartWithAndWithoutTheApplicationIcon) {
    // LeftBtnXOffset 12, J 3: icon at 5.
    auto icon = skin::LayoutTitleIcon(12, 3, true, true, 4, 19, 19);
    EXPECT_EQ(icon.IconX, 5);
    EXPECT_EQ(icon.CaptionX, 26);  // 21 past the icon position
    EXPECT_EQ(*icon.ControlBox, (Box{5, 4, 24, 23}));
    auto picture = skin::LayoutTitleIcon(12, 3, true, false, 4, 19, 19);
    EXPECT_EQ(picture.CaptionX, 5 + 19 + 5);
    // No control box and nothing left of it: the caption starts at 6.
    auto none = skin::LayoutTitleIcon(0, -1, false, true, 4, 0, 0);
    EXPECT_EQ(none.IconX, 0);
    EXPECT_EQ(none.CaptionX, 6);
    EXPECT_EQ(skin::LayoutTitleIcon(2, 3, false, true, 0, 0, 0).CaptionX, 6);
    EXPECT_EQ(skin::LayoutTitleIcon(20, 3, false, true, 0, 0, 0).CaptionX, 13);
}

TEST(TitleButtonHit, TheControlBoxWinsOverAButtonUnderIt) {
    auto layout = skin::LayoutTitleButtons(FourButtons(), 40, 0, 0, 0, 0);
    auto icon = skin::LayoutTitleIcon(4, 0, true, true, 0, 19, 19);
    EXPECT_EQ(skin::TitleButtonAt(layout, icon.ControlBox, 3, 3), 0);
}

int CharWidth(const std::wstring& s) { return static_cast<int>(s.size()) * 7; }

TEST(CaptionShortening, PrefixWithEllipsisOrEllipsisAlone) {
    EXPECT_EQ(skin::ShortenCaption(L"Quiverdir", 63, CharWidth), L"Quiverdir");
    EXPECT_EQ(skin::ShortenCaption(L"Quiverdir", 62, CharWidth), L"Quive...");
    EXPECT_EQ(skin::ShortenCaption(L"Quiverdir", 56, CharWidth), L"Quive...");
    EXPECT_EQ(skin::ShortenCaption(L"Quiverdir", 27, CharWidth), L"...");  // an empty prefix
    EXPECT_EQ(skin::ShortenCaption(L"Quiverdir", 0, CharWidth), L"...");
    EXPECT_EQ(skin::ShortenCaption(L"", -5, CharWidth), L"...");
}

TEST(SystemMenu, ItemsFollowTheVisibleButtons) {
    // The main window: maximise hidden.
    EXPECT_EQ(skin::SystemMenuEnabled(FourButtons(false)), (skin::SystemMenuStates{true, false, true}));
    EXPECT_EQ(skin::SystemMenuEnabled(FourButtons(true)), (skin::SystemMenuStates{true, true, true}));
    auto inputs = FourButtons(true);
    inputs[1].Visible = false;
    inputs[3].HasAllPictures = false;  // pictures do not matter, visibility does
    EXPECT_EQ(skin::SystemMenuEnabled(inputs), (skin::SystemMenuStates{true, true, false}));
    EXPECT_EQ(skin::SystemMenuEnabled({}), (skin::SystemMenuStates{}));
}

TEST(RightToLeft, CaptionEndsTenPixelsBeforeTheButtonsAndMenusMoveRight) {
    EXPECT_EQ(skin::CaptionTextX(false, 26, 300, 80), 26);
    EXPECT_EQ(skin::CaptionTextX(true, 26, 300, 80), 210);  // ends at 290
    EXPECT_EQ(skin::TitleMenuX(false, 0), 0);
    EXPECT_EQ(skin::TitleMenuX(true, 0), 176);
}

TEST(TitleBarPress, DragOnlyOnAFreeSpotOfANormalWindow) {
    EXPECT_EQ(skin::ClassifyTitleBarPress(-1, false, false), skin::TitleBarPress::Drag);
    EXPECT_EQ(skin::ClassifyTitleBarPress(-1, true, false), skin::TitleBarPress::Nothing);
    EXPECT_EQ(skin::ClassifyTitleBarPress(2, false, false), skin::TitleBarPress::Button);
    EXPECT_EQ(skin::ClassifyTitleBarPress(2, true, false), skin::TitleBarPress::Button);
    EXPECT_EQ(skin::ClassifyTitleBarPress(2, true, true), skin::TitleBarPress::Drag);
}

TEST(TitleSections, ImageOffsetAndMinimumWidth) {
    EXPECT_EQ(skin::TitleImageOffset(false, 7), 0);
    EXPECT_EQ(skin::TitleImageOffset(true, 0), 3);
    EXPECT_EQ(skin::TitleImageOffset(true, 7), 7);
    // Three sections: title 1 + max(title 3, 18-picture strip part × buttons + button x).
    EXPECT_EQ(skin::SkinTitleMinWidth(false, 40, 96, 0, 342, 4, 6), 40 + 96);
    EXPECT_EQ(skin::SkinTitleMinWidth(false, 40, 50, 0, 342, 4, 6), 40 + 82);
    EXPECT_EQ(skin::SkinTitleMinWidth(true, 40, 12, 96, 342, 4, 6), 40 + 12 + 16 + 96);
}

// A caption that fills the room it was given makes a caption section that, after one left piece,
// ends 4 pixels before the next piece and the buttons: the two widths agree whatever the bar, the
// buttons, the next piece and the skin's icon offset are.
TEST(TitleSections, ACaptionFillingItsRoomEndsFourPixelsBeforeTheNextPieceAndTheButtons) {
    struct Case { int bar, offset, buttons, next, left; };
    std::vector<Case> cases = {{500, 12, 80, 10, 40}, {300, 0, 0, 0, 0}, {1000, 30, 120, 60, 8}, {90, 12, 80, 10, 40}};
    for (int offset : kSkinExtremes) cases.push_back({500, offset, 80, 10, 40});
    for (const Case& c : cases) {
        SCOPED_TRACE("offset " + std::to_string(c.offset) + ", bar " + std::to_string(c.bar));
        const int room = skin::CaptionFitWidth(c.bar, c.offset, c.buttons, c.next);
        const int section = skin::CaptionSectionWidth(room, c.offset, c.left);
        EXPECT_EQ(c.left + section + c.next + c.buttons + 4, c.bar);
        // More buttons or a wider next piece leave the text that much less room.
        EXPECT_EQ(skin::CaptionFitWidth(c.bar, c.offset, c.buttons + 7, c.next), room - 7);
        EXPECT_EQ(skin::CaptionFitWidth(c.bar, c.offset, c.buttons, c.next + 7), room - 7);
    }
    // An icon offset further left never gives the caption less room, one further right never more.
    for (int offset : kSkinExtremes) {
        if (offset < 12) {
            EXPECT_GE(skin::CaptionFitWidth(500, offset, 80, 10), skin::CaptionFitWidth(500, 12, 80, 10));
        }
        if (offset > 12) {
            EXPECT_LE(skin::CaptionFitWidth(500, offset, 80, 10), skin::CaptionFitWidth(500, 12, 80, 10));
        }
    }
}

// The minimum width never shrinks as the skin puts its buttons further from the right, and never
// goes below the title pieces.
TEST(TitleSections, MinimumWidthGrowsWithTheButtonOffsetAtAnyValue) {
    for (bool five : {false, true}) {
        int previous = INT_MIN;
        for (int x : kSkinExtremes) {
            const int width = skin::SkinTitleMinWidth(five, 40, 50, 30, 342, 4, x);
            EXPECT_GE(width, five ? 40 + 50 + 16 + 30 : 40 + 50) << x;
            EXPECT_GE(width, previous) << x;
            previous = width;
        }
    }
}

TEST(FrameInsets, InsetQueryAnswersAndMeasuredThickness) {
    EXPECT_EQ(skin::FrameInset(2, 3), 4);
    EXPECT_EQ(skin::FrameInset(7, 3), 7);
    EXPECT_EQ(skin::FrameInset(0, 3), 2);  // a 3-pixel dialog frame under a built-in style
    EXPECT_EQ(skin::SanitizeFrameThickness(-1), 4);
    EXPECT_EQ(skin::SanitizeFrameThickness(17), 4);
    EXPECT_EQ(skin::SanitizeFrameThickness(16), 16);
    EXPECT_EQ(skin::SanitizeFrameThickness(0), 0);
    EXPECT_EQ(skin::TitleBandHeight(27, true), 30);
    EXPECT_EQ(skin::TitleBandHeight(27, false), 0);
}

TEST(FrameInsets, NonClientRectangleBeforeTheSystemTakesItsThreePixels) {
    skin::NcCalcInput in;
    in.X = 100, in.Y = 50, in.Cx = 400, in.Cy = 300;
    in.HostLeftFrame = 3, in.HostBottomFrame = 3;
    in.BorderWidth = 1;  // built-in: 3 at the sides, BorderWidth + 1 at the bottom once the system takes 3
    EXPECT_EQ(skin::NcCalcRect(in), (Box{100, 50, 500, 351}));
    in.BorderWidth = 3;
    EXPECT_EQ(skin::NcCalcRect(in).Bottom, 350);
    in.LeftBorder = 4, in.RightBorder = 4, in.BottomBorder = 5;  // a skin with 4-pixel sides, 5-pixel bottom
    EXPECT_EQ(skin::NcCalcRect(in), (Box{101, 50, 499, 348}));
    in.HostLeftFrame = 8, in.HostBottomFrame = 9;  // thicker system frames are pre-expanded
    EXPECT_EQ(skin::NcCalcRect(in), (Box{97, 45, 503, 353}));
}

TEST(FrameInsets, MaximisedBoundsCoverTheWorkAreaAndMore) {
    EXPECT_EQ(skin::MaximizedBounds({0, 0, 1280, 770}), (Box{-2, -2, 1282, 769}));
}

std::set<std::pair<int, int>> Pixels(const std::vector<skin::Band>& bands, skin::BandColor color) {
    std::set<std::pair<int, int>> out;
    for (const auto& b : bands)
        for (int y = b.Rect.Top; y < b.Rect.Bottom; ++y)
            for (int x = b.Rect.Left; x < b.Rect.Right; ++x)
                if (b.Color == color) out.insert({x, y}); else out.erase({x, y});
    return out;
}

TEST(BuiltInBorder, BottomRowsForBorderWidthThreeAndOne) {
    const int w = 50, h = 40;
    auto three = skin::BuiltInBorderBands(w, h, 3, 30, 0, true);
    auto border3 = Pixels(three, skin::BandColor::Border);
    auto client3 = Pixels(three, skin::BandColor::Client);
    for (int y = h - 3; y < h; ++y) EXPECT_TRUE(border3.count({25, y}));
    for (const auto& p : client3) EXPECT_LT(p.second, h - 3);  // nothing of Color below the client area
    auto one = skin::BuiltInBorderBands(w, h, 1, 30, 0, true);
    auto border1 = Pixels(one, skin::BandColor::Border);
    auto client1 = Pixels(one, skin::BandColor::Client);
    EXPECT_TRUE(border1.count({25, h - 1}));
    EXPECT_TRUE(client1.count({25, h - 2}));
    EXPECT_FALSE(client1.count({25, h - 3}));
    EXPECT_TRUE(client1.count({1, 30}));  // inner side bands below the title band
    EXPECT_TRUE(client1.count({2, 30}));
    EXPECT_FALSE(client1.count({1, 29}));
    EXPECT_TRUE(client1.count({w - 2, 35}));
}

TEST(BuiltInBorder, HiddenTitleBarGivesALineAndTwoRowsOfColour) {
    auto bands = skin::BuiltInBorderBands(50, 40, 1, 0, 0, false);
    auto border = Pixels(bands, skin::BandColor::Border);
    auto client = Pixels(bands, skin::BandColor::Client);
    // The line runs across; the inner side bands, painted later from the top, cover it beside the edges.
    for (int x = 3; x < 47; ++x) EXPECT_TRUE(border.count({x, 0}));
    EXPECT_TRUE(border.count({0, 0}));
    EXPECT_TRUE(client.count({1, 0}));
    EXPECT_TRUE(client.count({10, 1}));
    EXPECT_TRUE(client.count({10, 2}));
}

TEST(BuiltInBorder, CornerArcsOnlyForOnePixelBordersAtCornerSizeEleven) {
    EXPECT_TRUE(skin::WantsCornerArcs(1, 11, false));
    EXPECT_FALSE(skin::WantsCornerArcs(1, 13, false));
    EXPECT_FALSE(skin::WantsCornerArcs(1, 0, false));
    EXPECT_FALSE(skin::WantsCornerArcs(3, 11, false));
    EXPECT_FALSE(skin::WantsCornerArcs(1, 11, true));
}

// A 10 x 6 picture whose corners (x < 2 in rows 0 and 1) are transparent (colour 7).
std::uint32_t CornerPicture(int x, int y) { return (y < 2 && (x < 2 || x >= 8)) ? 7u : 1u; }

TEST(PictureRegion, OnlyRowsBetweenTheLimitsAreReadPixelByPixel) {
    std::set<int> rowsRead;
    auto pixel = [&](int x, int y) {
        EXPECT_GE(x, 0);
        EXPECT_LT(x, 10);
        rowsRead.insert(y);
        return CornerPicture(x, y);
    };
    auto rows = skin::PictureRegionRows(10, 6, 10, 100, 1, 3, 7, pixel);
    EXPECT_EQ(rowsRead, (std::set<int>{1, 2, 3}));
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[0], (Box{0, 100, 10, 101}));  // row 0 whole
    EXPECT_EQ(rows[1], (Box{2, 101, 8, 102}));   // row 1 without its corners
    EXPECT_EQ(rows[2], (Box{0, 102, 10, 103}));
    EXPECT_EQ(rows[3], (Box{0, 103, 10, 104}));
    EXPECT_EQ(rows[4], (Box{0, 104, 10, 106}));  // rows below the maximum whole
}

TEST(PictureRegion, LimitsOutsideThePictureNeverReadOutsideIt) {
    int reads = 0;
    auto pixel = [&](int x, int y) {
        EXPECT_TRUE(x >= 0 && x < 10 && y >= 0 && y < 6) << x << "," << y;
        ++reads;
        return CornerPicture(x, y);
    };
    auto rows = skin::PictureRegionRows(10, 6, 10, 0, 4, 40, 7, pixel);  // maximum past the picture
    EXPECT_GT(reads, 0);
    EXPECT_EQ(rows.front(), (Box{0, 0, 10, 4}));
    rows = skin::PictureRegionRows(10, 6, 10, 0, -1, -1, 7, pixel);  // no limits: the whole picture
    EXPECT_EQ(rows[0], (Box{2, 0, 8, 1}));
    EXPECT_EQ(rows.size(), 6u);
    rows = skin::PictureRegionRows(10, 6, 4, 0, -7, 2, 7, pixel);  // narrower window, odd minimum
    for (const auto& r : rows) EXPECT_LE(r.Right, 4);
    EXPECT_TRUE(skin::PictureRegionRows(10, 0, 10, 0, 0, 3, 7, pixel).empty());
}

// Every pair of outline limits a skin can hold, on a 10 x 6 picture with transparent corners in
// rows 0 and 1. The rows scanned pixel by pixel are those from the minimum (-1: from 0) to the
// maximum when the minimum is the smaller (else to the end), held to the picture: the
// outline then covers exactly the opaque pixels of the scanned rows and every pixel of the others,
// and no pixel outside the picture is read.
TEST(PictureRegion, EveryPairOfSkinLimitsCoversTheModelsPixels) {
    const int w = 10, h = 6;
    const int limits[] = {INT_MIN, -16385, -2, -1, 0, 1, 3, h - 1, h, h + 1, 16385, INT_MAX};
    for (int minY : limits) {
        for (int maxY : limits) {
            SCOPED_TRACE("limits " + std::to_string(minY) + ".." + std::to_string(maxY));
            const std::int64_t from = std::clamp<std::int64_t>(minY == -1 ? 0 : minY, 0, h);
            const std::int64_t to = minY < maxY ? std::clamp<std::int64_t>(std::int64_t{maxY} + 1, from, h) : h;
            std::set<int> rowsRead;
            auto pixel = [&](int x, int y) {
                EXPECT_TRUE(x >= 0 && x < w && y >= 0 && y < h) << x << "," << y;
                rowsRead.insert(y);
                return CornerPicture(x, y);
            };
            const auto rows = skin::PictureRegionRows(w, h, w, 50, minY, maxY, 7, pixel);
            std::set<std::pair<int, int>> covered;
            for (const Box& r : rows) {
                ASSERT_TRUE(r.Left >= 0 && r.Right <= w && r.Top >= 50 && r.Bottom <= 50 + h && r.Left < r.Right &&
                            r.Top < r.Bottom);
                for (int y = r.Top; y < r.Bottom; ++y)
                    for (int x = r.Left; x < r.Right; ++x) EXPECT_TRUE(covered.insert({x, y - 50}).second);
            }
            std::set<std::pair<int, int>> expected;
            std::set<int> scanned;
            for (int y = 0; y < h; ++y) {
                const bool scan = y >= from && y < to;
                if (scan) scanned.insert(y);
                for (int x = 0; x < w; ++x)
                    if (!scan || CornerPicture(x, y) != 7u) expected.insert({x, y});
            }
            EXPECT_EQ(covered, expected);
            EXPECT_EQ(rowsRead, scanned);
        }
    }
}

TEST(PictureRegion, AWhollyTransparentRowAddsNothing) {
    auto rows = skin::PictureRegionRows(3, 1, 3, 0, 0, 1, 5, [](int, int) { return 5u; });
    EXPECT_TRUE(rows.empty());
}

}  // namespace
