// Title bar buttons and sections: new values, the collection checks with their error boxes, the
// pictures cut from the title button strip of a built-in style or a skin, and copying.
#include <gtest/gtest.h>

#include <memory>

#include "skin/theme/BuiltInBitmaps.h"
#include "tests/skin/controls/FrameTestSupport.h"
#include "tests/support/WinTest.h"
#include "toolkit/win/Application.h"

namespace {

using B = TsuiTitleBarBtnType;
using A = TsuiTitleBarAlign;

bool SamePixels(const tk::TBitmap& a, const tk::TBitmap& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height() || a.Empty()) return false;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            if (a.GetPixel(x, y) != b.GetPixel(x, y)) return false;
    return true;
}

tk::TBitmap StripPicture(TsuiUIStyle style, int k) {
    tk::TBitmap strip, part;
    LoadBuiltInBitmap(style, 5, &strip);
    ExtractSubImage(strip, part, 18, k);
    return part;
}

class TitleBarItemsTest : public testing::Test {
protected:
    void SetUp() override {
        tk::Application().Initialize();
        bar = std::make_unique<TsuiTitleBar>(nullptr);
    }
    std::unique_ptr<TsuiTitleBar> bar;
};

TEST_F(TitleBarItemsTest, ANewButtonAndTheCloseButtonsPictures) {
    TsuiTitleBarButton* b = bar->Buttons().Add();
    EXPECT_EQ(b->ButtonType(), B::suiCustom);
    EXPECT_TRUE(b->Visible());
    EXPECT_FALSE(b->Transparent());
    EXPECT_EQ(b->Top(), 2);
    EXPECT_EQ(b->UIStyle(), TsuiUIStyle::DeepBlue);
    EXPECT_TRUE(b->PicNormal().Empty());
    EXPECT_FALSE(b->HasAllPictures());
    EXPECT_EQ(b->Index(), 4);
    b->SetButtonType(B::suiClose);
    EXPECT_TRUE(SamePixels(b->PicNormal(), StripPicture(TsuiUIStyle::DeepBlue, 16)));
    EXPECT_TRUE(SamePixels(b->PicMouseOn(), StripPicture(TsuiUIStyle::DeepBlue, 17)));
    EXPECT_TRUE(SamePixels(b->PicMouseDown(), StripPicture(TsuiUIStyle::DeepBlue, 18)));
    EXPECT_EQ(b->Top(), GetBuiltInInt(TsuiUIStyle::DeepBlue, 9));
    // Another style: its own strip, top and transparency.
    b->SetUIStyle(TsuiUIStyle::Protein);
    EXPECT_TRUE(SamePixels(b->PicNormal(), StripPicture(TsuiUIStyle::Protein, 16)));
    EXPECT_TRUE(b->Transparent());
}

TEST_F(TitleBarItemsTest, TheFourButtonsOfANewBarTakeTheirPictureNumbers) {
    ASSERT_EQ(bar->Buttons().Count(), 4);
    const B kinds[] = {B::suiControlBox, B::suiClose, B::suiMax, B::suiMin};
    const int first[] = {1, 16, 7, 13};
    for (int i = 0; i < 4; ++i) {
        TsuiTitleBarButton* b = bar->Buttons().Items(i);
        EXPECT_EQ(b->ButtonType(), kinds[i]);
        EXPECT_TRUE(SamePixels(b->PicNormal(), StripPicture(TsuiUIStyle::DeepBlue, first[i]))) << i;
        EXPECT_TRUE(SamePixels(b->PicMouseDown(), StripPicture(TsuiUIStyle::DeepBlue, first[i] + 2))) << i;
    }
}

TEST_F(TitleBarItemsTest, OnlyOneControlBoxButton) {
    TsuiTitleBarButton* b = bar->Buttons().Items(3);
    {
        qdtest::MessageBoxAnswerer answer(IDOK);
        b->SetButtonType(B::suiControlBox);
        EXPECT_TRUE(answer.Answered());
        EXPECT_EQ(answer.Text(), kOneControlBoxMessage);
    }
    EXPECT_EQ(b->ButtonType(), B::suiMin);
    // Once the first control box is something else, the second one may be.
    bar->Buttons().Items(0)->SetButtonType(B::suiHelp);
    b->SetButtonType(B::suiControlBox);
    EXPECT_EQ(b->ButtonType(), B::suiControlBox);
}

TEST_F(TitleBarItemsTest, SectionsStretchAutoSizeAndOnlyOneClient) {
    bar->Sections().Clear();
    TsuiTitleBarSection* s = bar->Sections().Add();
    EXPECT_EQ(s->Width(), 10);
    EXPECT_EQ(s->Align(), A::suiLeft);
    EXPECT_FALSE(s->Stretch());
    s->SetAlign(A::suiClient);
    EXPECT_TRUE(s->Stretch());
    s->SetStretch(false);
    EXPECT_TRUE(s->Stretch());  // a client section always stretches
    s->SetAlign(A::suiRight);
    EXPECT_TRUE(s->Stretch());  // and keeps it when it changes away
    s->SetAlign(A::suiClient);
    TsuiTitleBarSection* t = bar->Sections().Add();
    {
        qdtest::MessageBoxAnswerer answer(IDOK);
        t->SetAlign(A::suiClient);
        EXPECT_EQ(answer.Text(), kOneClientSectionMessage);
    }
    EXPECT_EQ(t->Align(), A::suiLeft);
    tk::TBitmap picture(33, 20);
    t->SetPicture(picture);
    EXPECT_EQ(t->Width(), 10);  // AutoSize off: the width stays
    t->SetAutoSize(false);
    EXPECT_EQ(t->Width(), 33);  // writing AutoSize takes the picture's width whatever the value
    t->SetWidth(5);
    t->SetAutoSize(true);
    tk::TBitmap wider(40, 20);
    t->SetPicture(wider);
    EXPECT_EQ(t->Width(), 40);
}

TEST_F(TitleBarItemsTest, CopyingButtonsAndSections) {
    TsuiTitleBar other(nullptr);
    other.Buttons().Items(2)->SetVisible(false);
    other.Buttons().Items(3)->SetUIStyle(TsuiUIStyle::WinXP);
    bar->SetButtons(other.Buttons());
    ASSERT_EQ(bar->Buttons().Count(), 4);
    EXPECT_FALSE(bar->Buttons().Items(2)->Visible());
    EXPECT_EQ(bar->Buttons().Items(3)->UIStyle(), TsuiUIStyle::WinXP);
    EXPECT_TRUE(SamePixels(bar->Buttons().Items(3)->PicNormal(), StripPicture(TsuiUIStyle::WinXP, 13)));
    EXPECT_EQ(bar->Buttons().Items(0)->TitleBar(), bar.get());

    other.Sections().Items(0)->SetCapSec(true);
    bar->SetSections(other.Sections());
    ASSERT_EQ(bar->Sections().Count(), other.Sections().Count());
    EXPECT_TRUE(bar->Sections().Items(0)->CapSec());
    EXPECT_EQ(bar->Sections().Items(2)->Align(), A::suiClient);
    EXPECT_TRUE(SamePixels(bar->Sections().Items(1)->Picture(), other.Sections().Items(1)->Picture()));
}

TEST_F(TitleBarItemsTest, SkinPicturesComeFromTheSkinsStrip) {
    TsuiFileTheme theme(nullptr);
    theme.SetThemeFile(frametest::SilverSkinPath());
    ASSERT_TRUE(theme.Ready());
    bar->SetFileTheme(&theme);
    bar->SetUIStyle(TsuiUIStyle::FromThemeFile);
    TsuiTitleBarButton* close = bar->Buttons().Items(1);
    tk::TBitmap expected;
    theme.CopyThemeBitmap(SKIN2_TITLEBUTTONS, &expected, 17, 18);
    EXPECT_TRUE(SamePixels(close->PicMouseOn(), expected));
    EXPECT_TRUE(close->Transparent());      // SKIN2_TITLEBTNTRANS
    EXPECT_EQ(close->Top(), 6);             // SKIN2_TITLEBARBUTTONPOSY
    EXPECT_EQ(close->UIStyle(), TsuiUIStyle::FromThemeFile);
    // The skin's sections: left, client, right (three-piece title).
    ASSERT_EQ(bar->Sections().Count(), 3);
    EXPECT_EQ(bar->Sections().Items(1)->Align(), A::suiClient);
    EXPECT_EQ(bar->Sections().Items(2)->Align(), A::suiRight);
    EXPECT_EQ(bar->LeftBtnXOffset(), 12);
    EXPECT_EQ(bar->RightBtnXOffset(), 6);
}

}  // namespace
