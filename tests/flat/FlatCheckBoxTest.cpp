// The flat check box in real windows: fills, mark and caption read back from the screen, toggled
// by the mouse and keys as a person would.
#include <gtest/gtest.h>

#include "flat/FlatCheckBox.h"
#include "tests/support/RealInput.h"
#include "toolkit/win/Application.h"

namespace {

using namespace realinput;

constexpr COLORREF kBorder = 0x8396A0, kDown = 0xC5D6D9, kWhite = 0xFFFFFF, kBlack = 0;

class FlatCheckBoxTest : public testing::Test {
protected:
    void SetUp() override {
        tk::Application().Initialize();
        MouseAway();
    }
    TFlatCheckBox* Box(TestForm& form, int left, int top, int width, int height, const wchar_t* caption) {
        auto* box = new TFlatCheckBox(&form);
        box->SetParent(&form);
        box->SetBounds(left, top, width, height);
        box->SetCaption(caption);
        box->OnClick = [this](tk::TComponent*) { ++clicks; };
        return box;
    }
    int clicks = 0;
};

// Square (1, 3)-(12, 14) of a left-hand box: its inside starts at (2, 4); (3, 11) is never marked.
constexpr int kFillX = 3, kFillY = 11;

TEST_F(FlatCheckBoxTest, RestingFocusedAndPressedFills) {
    TestForm form;
    TFlatCheckBox* box = Box(form, 20, 20, 200, 17, L"在列表中删除一项时要先询问");
    TFlatCheckBox* other = Box(form, 20, 60, 200, 17, L"&Other");
    form.ShowUp();
    HWND h = box->Handle();
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    EXPECT_EQ(Pixel(h, kFillX, kFillY), face);
    EXPECT_EQ(Pixel(h, 1, 3), kBorder);
    EXPECT_EQ(Pixel(h, 11, 13), kBorder);
    EXPECT_EQ(Pixel(h, 0, 0), face);  // background in the parent's colour
    EXPECT_EQ(Pixel(h, 12, 14), face);

    box->SetFocus();
    Settle();
    EXPECT_EQ(Pixel(h, kFillX, kFillY), kWhite);
    other->SetFocus();
    Settle();
    EXPECT_EQ(Pixel(h, kFillX, kFillY), face);

    MouseMove(h, 6, 8);
    EXPECT_TRUE(box->Hot());
    EXPECT_EQ(Pixel(h, kFillX, kFillY), kWhite);  // hot
    MouseDown();
    EXPECT_EQ(Pixel(h, kFillX, kFillY), kDown);
    EXPECT_EQ(clicks, 0);
    MouseUp();
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(box->Checked());
    // The mark: the strokes from (2, 4) and (8, 2) in black, the white fill between them.
    EXPECT_EQ(Pixel(h, 1 + 2, 3 + 4), kBlack);
    EXPECT_EQ(Pixel(h, 1 + 5, 3 + 7), kBlack);
    EXPECT_EQ(Pixel(h, 1 + 8, 3 + 2), kBlack);
    EXPECT_EQ(Pixel(h, 1 + 6, 3 + 8), kWhite);  // the end point of the first stroke is not drawn
    EXPECT_EQ(Pixel(h, 1 + 2, 3 + 2), kWhite);
}

TEST_F(FlatCheckBoxTest, PressMoveOutAndReleaseStillToggles) {
    TestForm form;
    TFlatCheckBox* box = Box(form, 20, 20, 200, 17, L"Box");
    form.ShowUp();
    HWND h = box->Handle();
    MouseMove(h, 6, 8);
    MouseDown();
    MouseMove(h, 100, 80);  // well outside; the poll runs meanwhile
    Settle(300);
    EXPECT_TRUE(box->Hot());
    MouseUp();
    EXPECT_TRUE(box->Checked());
    EXPECT_EQ(clicks, 1);
    Settle(300);
    EXPECT_FALSE(box->Hot());  // then the poll lets it go

    // A right button does nothing at all.
    int downs = 0;
    box->OnMouseDown = [&](tk::TComponent*, UINT, int, int) { ++downs; };
    MouseMove(h, 6, 8);
    INPUT in[2]{};
    in[0].type = in[1].type = INPUT_MOUSE;
    in[0].mi.dwFlags = MOUSEEVENTF_RIGHTDOWN;
    in[1].mi.dwFlags = MOUSEEVENTF_RIGHTUP;
    SendInput(2, in, sizeof(INPUT));
    Settle();
    EXPECT_EQ(downs, 0);
    EXPECT_TRUE(box->Checked());
}

TEST_F(FlatCheckBoxTest, DisabledCheckedBoxShowsAShadowMarkAndAnEmbossedCaption) {
    TestForm form;
    TFlatCheckBox* box = Box(form, 20, 20, 200, 17, L"Disabled");
    box->SetChecked(true);
    box->SetEnabled(false);
    form.ShowUp();
    HWND h = box->Handle();
    EXPECT_EQ(Pixel(h, 1 + 2, 3 + 4), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(Pixel(h, 1 + 8, 3 + 2), GetSysColor(COLOR_BTNSHADOW));
    const RECT caption{16, 1, 199, 16};
    EXPECT_GT(CountColor(h, caption, GetSysColor(COLOR_BTNSHADOW)), 10);
    EXPECT_GT(CountColor(h, caption, GetSysColor(COLOR_BTNHIGHLIGHT)), 10);
    EXPECT_EQ(CountColor(h, caption, kBlack), 0);
    // Clicking it does nothing.
    Click(h, 6, 8);
    EXPECT_TRUE(box->Checked());
    EXPECT_EQ(clicks, 1);  // the one from setting it checked above
}

TEST_F(FlatCheckBoxTest, RightLayoutPutsTheSquareRightAndAlignsTheCaptionBeforeIt) {
    TestForm form;
    TFlatCheckBox* box = Box(form, 20, 20, 200, 17, L"Right");
    box->SetLayout(TCheckBoxLayout::checkboxRight);
    form.ShowUp();
    HWND h = box->Handle();
    EXPECT_EQ(Pixel(h, 200 - 12, 3), kBorder);
    EXPECT_EQ(Pixel(h, 200 - 2, 13), kBorder);
    EXPECT_EQ(Pixel(h, 1, 3), GetSysColor(COLOR_BTNFACE));
    const RECT text = FindColor(h, RECT{0, 0, 186, 17}, kBlack);
    ASSERT_LT(text.left, text.right);
    EXPECT_LE(text.right, 200 - 16);
    EXPECT_GE(text.right, 200 - 16 - 3);
    EXPECT_GT(text.left, 100);
}

TEST_F(FlatCheckBoxTest, LongCaptionWraps) {
    TestForm form;
    TFlatCheckBox* box = Box(form, 20, 20, 120, 50, L"a caption far too long for one line of this box");
    form.ShowUp();
    const RECT text = FindColor(box->Handle(), RECT{16, 0, 120, 50}, kBlack);
    EXPECT_GT(text.bottom, 20);  // a second line
    EXPECT_LE(text.right, 119);
}

TEST_F(FlatCheckBoxTest, CheckedFiresClickOnlyOnAChange) {
    TestForm form;
    TFlatCheckBox* box = Box(form, 20, 20, 200, 17, L"Box");
    box->SetChecked(false);
    EXPECT_EQ(clicks, 0);
    box->SetChecked(true);
    EXPECT_EQ(clicks, 1);
    box->SetChecked(true);
    EXPECT_EQ(clicks, 1);
}

TEST_F(FlatCheckBoxTest, SpaceAndAcceleratorToggle) {
    TestForm form;
    TFlatCheckBox* box = Box(form, 20, 20, 200, 17, L"&Ask first");
    TFlatCheckBox* other = Box(form, 20, 60, 200, 17, L"&Tips");
    form.ShowUp();
    box->SetFocus();
    Settle();
    Key(VK_SPACE);
    EXPECT_TRUE(box->Checked());
    Key(VK_SPACE);
    EXPECT_FALSE(box->Checked());
    AltKey('T');  // the other box's accelerator: focus and toggle
    EXPECT_TRUE(other->Checked());
    EXPECT_TRUE(other->Focused());
    EXPECT_FALSE(box->Checked());
    Key(VK_TAB);  // both are tab stops
    EXPECT_TRUE(box->Focused());
    EXPECT_EQ(clicks, 3);
}

TEST_F(FlatCheckBoxTest, DefaultsAndOwnTimer) {
    TestForm form;
    auto* box = new TFlatCheckBox(&form);
    EXPECT_EQ(box->Width(), 121);
    EXPECT_EQ(box->Height(), 17);
    EXPECT_TRUE(box->TabStop());
    EXPECT_FALSE(box->Checked());
    EXPECT_EQ(box->ColorFocused(), tk::clWhite);
    EXPECT_EQ(box->ColorDown(), 0xC5D6D9u);
    EXPECT_EQ(box->ColorBorder(), 0x8396A0u);
    box->SetParent(&form);
    EXPECT_EQ(box->Color(), tk::clBtnFace);
    ASSERT_NE(TFlatCheckBox::ClassTracker().Timer(), nullptr);
    EXPECT_NE(TFlatCheckBox::ClassTracker().Timer(), TFlatButton::ClassTracker().Timer());
    box->SetUseAdvColors(true);
    EXPECT_EQ(box->ColorDown(), AdvancedColor(tk::clBtnFace, 0, 10, TLightShift::lsDarken));
}

}  // namespace
