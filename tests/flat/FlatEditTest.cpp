// The flat edit in real windows: its frame and face read back from the screen.
#include <gtest/gtest.h>

#include "flat/FlatButton.h"
#include "flat/FlatEdit.h"
#include "tests/support/RealInput.h"
#include "toolkit/win/Application.h"

namespace {

using namespace realinput;

constexpr COLORREF kBorder = 0x8396A0, kFlat = 0xE1EAEB, kWhite = 0xFFFFFF;

class FlatEditTest : public testing::Test {
protected:
    void SetUp() override {
        tk::Application().Initialize();
        MouseAway();
    }
    TFlatEdit* Edit(TestForm& form, int left, int top) {
        auto* e = new TFlatEdit(&form);
        e->SetParent(&form);
        e->SetBounds(left, top, 203, 19);
        e->SetColorFlat(tk::clBtnFace);
        e->SetParentColor(true);
        return e;
    }
};

TEST_F(FlatEditTest, FocusedEditShowsAWhiteFaceInsideTheBorderLine) {
    TestForm form;
    TFlatEdit* a = Edit(form, 20, 20);
    TFlatEdit* b = Edit(form, 20, 60);
    form.ShowUp();
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    HWND h = a->Handle();
    RECT client;
    GetClientRect(h, &client);
    EXPECT_EQ(client.right, 203 - 6);
    EXPECT_EQ(client.bottom, 19 - 6);

    b->SetFocus();
    Settle();
    EXPECT_EQ(WindowPixel(h, 0, 0), kBorder);
    EXPECT_EQ(WindowPixel(h, 1, 1), face);
    EXPECT_EQ(WindowPixel(h, 2, 2), face);
    EXPECT_EQ(Pixel(h, client.right - 2, 2), face);

    a->SetFocus();
    Settle();
    EXPECT_EQ(WindowPixel(h, 0, 0), kBorder);
    EXPECT_EQ(WindowPixel(h, 202, 18), kBorder);
    EXPECT_EQ(WindowPixel(h, 1, 1), kWhite);
    EXPECT_EQ(WindowPixel(h, 2, 2), kWhite);
    EXPECT_EQ(WindowPixel(h, 200, 16), kWhite);
    EXPECT_EQ(Pixel(h, client.right - 2, 2), kWhite);

    b->SetFocus();
    Settle();
    EXPECT_EQ(WindowPixel(h, 1, 1), face);
    EXPECT_EQ(Pixel(h, client.right - 2, 2), face);

    // A disabled edit keeps the flat face.
    a->SetEnabled(false);
    Settle();
    EXPECT_EQ(WindowPixel(h, 1, 1), face);
    EXPECT_EQ(Pixel(h, client.right - 2, 2), face);
}

TEST_F(FlatEditTest, HoverHighlightsOnlyWhileNoOtherFlatEditHasTheFocus) {
    TestForm form;
    TFlatEdit* a = Edit(form, 20, 20);
    TFlatEdit* b = Edit(form, 20, 60);
    auto* button = new TFlatButton(&form);
    button->SetParent(&form);
    button->SetBounds(20, 100, 65, 25);
    form.ShowUp();
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    HWND hb = b->Handle();

    a->SetFocus();
    Settle();
    MouseMove(hb, 50, 5);
    EXPECT_TRUE(b->MouseInControl());
    EXPECT_EQ(WindowPixel(hb, 1, 1), face);
    MouseAway();
    Settle(600);  // the window system reports the leave within its hover time
    EXPECT_FALSE(b->MouseInControl());

    button->SetFocus();
    Settle();
    MouseMove(hb, 50, 5);
    EXPECT_EQ(WindowPixel(hb, 1, 1), kWhite);
    MouseAway();
    Settle(600);
    EXPECT_FALSE(b->MouseInControl());
    EXPECT_EQ(WindowPixel(hb, 1, 1), face);
}

TEST_F(FlatEditTest, ExplicitColorFlatTurnsParentColorOff) {
    TestForm form;
    auto* e = new TFlatEdit(&form);
    EXPECT_TRUE(e->ParentColor());
    EXPECT_EQ(e->ColorFlat(), kFlat);
    e->SetParent(&form);
    EXPECT_EQ(e->ColorFlat(), tk::clBtnFace);  // from the parent
    e->SetColorFlat(0x00AA00);
    EXPECT_FALSE(e->ParentColor());
    form.ShowUp();
    SendMessageW(e->Handle(), WM_SYSCOLORCHANGE, 0, 0);
    EXPECT_EQ(e->ColorFlat(), 0x00AA00u);
    EXPECT_EQ(WindowPixel(e->Handle(), 1, 1), 0x00AA00u);
    e->SetParentColor(true);
    EXPECT_EQ(e->ColorFlat(), tk::clBtnFace);
}

TEST_F(FlatEditTest, HeightFollowsTheFont) {
    TestForm form;
    auto* e = new TFlatEdit(&form);
    e->SetParent(&form);
    e->SetFont({L"MS Sans Serif", 16});  // a cell height of 16 pixels
    TEXTMETRICW tm{};
    {
        const tk::ScopedGetDC screen(nullptr);
        const tk::ScopedSelectObject font(screen, tk::AcquireFont({L"MS Sans Serif", 16}));
        GetTextMetricsW(screen, &tm);
    }
    ASSERT_EQ(tm.tmHeight, 16);
    EXPECT_EQ(e->Height(), 22);
    e->SetFont({L"MS Sans Serif", -11});
    EXPECT_EQ(e->Height(), 19);  // the dialogs' font
    form.ShowUp();
    RECT r;
    GetWindowRect(e->Handle(), &r);
    EXPECT_EQ(r.bottom - r.top, 19);
}

TEST_F(FlatEditTest, TypedTextArrives) {
    TestForm form;
    TFlatEdit* a = Edit(form, 20, 20);
    form.ShowUp();
    a->SetFocus();
    Settle();
    Key('Q');
    Key('D');
    EXPECT_EQ(a->Text(), L"qd");
}

}  // namespace
