// Flat buttons and speed buttons in real windows: the mouse and keys arrive through the input
// queue and the faces are read back from the screen.
#include <gtest/gtest.h>

#include <algorithm>

#include "flat/FlatButton.h"
#include "flat/HSLUtils.h"
#include "tests/support/RealInput.h"
#include "toolkit/win/Application.h"

namespace {

using namespace realinput;

constexpr COLORREF kFocused = 0xE1EAEB, kDown = 0xC5D6D9, kBorder = 0x8396A0, kWhite = 0xFFFFFF, kBlack = 0;

class FlatButtonTest : public testing::Test {
protected:
    void SetUp() override {
        tk::Application().Initialize();
        tk::Application().SetExceptionHandler([this](const std::wstring& m) { errors.push_back(m); });
        MouseAway();
    }
    void TearDown() override {
        tk::Application().SetExceptionHandler(nullptr);
        EXPECT_TRUE(errors.empty());
    }
    // A button as the dialogs use it: 65 x 25, a caption, every other property at its default.
    TFlatButton* DialogButton(TestForm& form, int left = 20, int top = 20, const wchar_t* caption = L"确定(&O)") {
        auto* b = new TFlatButton(&form);
        b->SetParent(&form);
        b->SetBounds(left, top, 65, 25);
        b->SetCaption(caption);
        b->OnClick = [this](tk::TComponent*) { ++clicks; };
        return b;
    }
    int clicks = 0;
    std::vector<std::wstring> errors;
};

// The box of the caption's black pixels.
RECT CaptionBox(HWND w) { return FindColor(w, RECT{2, 2, 63, 23}, kBlack); }

TEST_F(FlatButtonTest, DialogButtonRestingHotAndPressedFaces) {
    TestForm form;
    TFlatButton* b = DialogButton(form);
    form.ShowUp();
    HWND h = b->Handle();
    const COLORREF face = GetSysColor(COLOR_BTNFACE);

    // Resting: the parent's colour inside a one-pixel border, the caption centred.
    EXPECT_EQ(Pixel(h, 3, 3), face);
    EXPECT_EQ(Pixel(h, 0, 0), kBorder);
    EXPECT_EQ(Pixel(h, 64, 24), kBorder);
    EXPECT_EQ(Pixel(h, 1, 1), face);
    b->SetDefault(true);  // two pixels of border
    EXPECT_EQ(Pixel(h, 1, 1), kBorder);
    EXPECT_EQ(Pixel(h, 63, 23), kBorder);
    b->SetDefault(false);
    EXPECT_EQ(Pixel(h, 1, 1), face);
    const RECT rest = CaptionBox(h);
    ASSERT_LT(rest.left, rest.right);
    EXPECT_LE(std::abs(rest.left - (65 - rest.right)), 2) << rest.left << " " << rest.right;
    EXPECT_LE(std::abs(rest.top - (25 - rest.bottom)), 2) << rest.top << " " << rest.bottom;

    // Hot: the focused face, white top and left, black bottom and right.
    MouseMove(h, 30, 12);
    EXPECT_TRUE(b->MouseInControl());
    EXPECT_EQ(Pixel(h, 3, 3), kFocused);
    EXPECT_EQ(Pixel(h, 0, 0), kWhite);
    EXPECT_EQ(Pixel(h, 0, 20), kWhite);
    EXPECT_EQ(Pixel(h, 64, 0), kBlack);
    EXPECT_EQ(Pixel(h, 64, 24), kBlack);
    EXPECT_EQ(Pixel(h, 10, 24), kBlack);
    EXPECT_EQ(CaptionBox(h).left, rest.left);

    // Pressed: the down face, sunken lines, the caption one pixel down and right.
    MouseDown();
    EXPECT_EQ(Pixel(h, 3, 3), kDown);
    EXPECT_EQ(Pixel(h, 0, 0), kBlack);
    EXPECT_EQ(Pixel(h, 64, 24), kWhite);
    const RECT pressed = CaptionBox(h);
    EXPECT_EQ(pressed.left, rest.left + 1);
    EXPECT_EQ(pressed.top, rest.top + 1);
    MouseUp();
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(Pixel(h, 3, 3), kFocused);  // released over it: hot again

    // Away from it the poll notices within a few ticks and the button rests again.
    MouseAway();
    Settle(350);
    EXPECT_FALSE(b->MouseInControl());
    EXPECT_EQ(Pixel(h, 3, 3), face);
    // A button that gains the focus looks hot; losing it, it rests.
    TFlatButton* other = DialogButton(form, 100, 20, L"取消(&C)");
    other->SetFocus();
    Settle();
    EXPECT_EQ(Pixel(h, 3, 3), face);
    b->SetFocus();
    Settle();
    EXPECT_EQ(Pixel(h, 3, 3), kFocused);
    other->SetFocus();
    Settle();
    EXPECT_EQ(Pixel(h, 3, 3), face);
}


TEST_F(FlatButtonTest, ReleaseOnTheBottomEdgeClicksOnTheRightEdgeDoesNot) {
    TestForm form;
    TFlatButton* b = DialogButton(form);
    form.ShowUp();
    HWND h = b->Handle();
    // The capture brings the release to the button wherever it happens.
    MouseMove(h, 30, 12);
    MouseDown();
    MouseMove(h, 30, 25);  // y = client height: still inside
    EXPECT_EQ(b->State(), TButtonState::bsDown);
    MouseUp();
    EXPECT_EQ(clicks, 1);

    MouseMove(h, 30, 12);
    MouseDown();
    MouseMove(h, 65, 12);  // x = client width: outside
    EXPECT_EQ(b->State(), TButtonState::bsUp);
    EXPECT_EQ(Pixel(h, 3, 3), kFocused);  // still hot while the button is held
    MouseMove(h, 30, 12);  // back inside: pressed again
    EXPECT_EQ(b->State(), TButtonState::bsDown);
    MouseMove(h, 65, 12);
    MouseUp();
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(b->State(), TButtonState::bsUp);
    EXPECT_FALSE(b->MouseInControl());
}

// A strip of images in four colours on a magenta ground (the transparent colour bottom-left).
tk::TBitmap Strip(int width, int height, int images) {
    tk::TBitmap strip(width, height);
    const std::uint32_t colors[] = {0x0000FF, 0x00FF00, 0xFF0000, 0x00FFFF, 0x808080};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int k = std::min(x / (width / images), images - 1);
            const bool ground = y == height - 1 || x % (width / images) == 0;
            strip.SetPixel(x, y, ground ? 0xFF00FF : colors[k]);
        }
    return strip;
}

TEST_F(FlatButtonTest, GlyphStripsSetTheImageCount) {
    TestForm form;
    TFlatButton* b = DialogButton(form);
    b->SetGlyph(Strip(64, 16, 4));
    EXPECT_EQ(b->NumGlyphs(), 4);
    b->SetGlyph(Strip(80, 16, 5));  // five images are too many: one image
    EXPECT_EQ(b->NumGlyphs(), 1);
    b->SetNumGlyphs(2);
    b->SetGlyph(Strip(30, 16, 2));  // not a multiple of the height: the count stays
    EXPECT_EQ(b->NumGlyphs(), 2);
    b->SetGlyph(b->Glyph());  // the same picture: nothing happens
    EXPECT_EQ(b->Glyph().Width(), 30);
    b->SetMargin(3);
    b->SetMargin(-2);  // below -1: ignored
    EXPECT_EQ(b->Margin(), 3);
}

TEST_F(FlatButtonTest, EachStateShowsItsImageOfTheStrip) {
    TestForm form;
    TFlatButton* b = DialogButton(form);
    b->SetCaption(L"");
    b->SetBounds(20, 20, 40, 40);
    b->SetGlyph(Strip(64, 16, 4));
    b->SetGroupIndex(1);
    b->SetAllowAllUp(true);
    form.ShowUp();
    HWND h = b->Handle();
    // Centred: (40 - 16 + 1) / 2 = 12 across and down; a point inside the image.
    const int x = 12 + 8, y = 12 + 8;
    EXPECT_EQ(Pixel(h, x, y), 0x0000FFu);  // up: image 0
    EXPECT_EQ(Pixel(h, 12 + 0, y), GetSysColor(COLOR_BTNFACE));  // its magenta column is left out
    MouseMove(h, 2, 2);
    MouseDown();
    EXPECT_EQ(Pixel(h, x + 1, y + 1), 0xFF0000u);  // pressed: image 2, one pixel down and right
    MouseUp();
    EXPECT_TRUE(b->Down());
    MouseAway();
    Settle(300);
    EXPECT_EQ(Pixel(h, x + 1, y + 1), 0x00FFFFu);  // latched down: image 3
    b->SetEnabled(false);
    Settle();
    EXPECT_EQ(Pixel(h, x, y), 0x00FF00u);  // disabled: image 1
}

TEST_F(FlatButtonTest, DisabledSingleGlyphIsEmbossedAndTwoImageGlyphUsesItsSecond) {
    TestForm form;
    TFlatButton* b = DialogButton(form);
    b->SetCaption(L"");
    b->SetBounds(20, 20, 40, 40);
    // A black square on a magenta ground.
    tk::TBitmap glyph(16, 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) glyph.SetPixel(x, y, x >= 4 && x < 10 && y >= 4 && y < 10 ? 0 : 0xFF00FF);
    b->SetGlyph(glyph);
    b->SetEnabled(false);
    form.ShowUp();
    HWND h = b->Handle();
    const int gx = 12, gy = 12;
    EXPECT_EQ(Pixel(h, gx + 6, gy + 6), GetSysColor(COLOR_BTNSHADOW));      // the square in shadow
    EXPECT_EQ(Pixel(h, gx + 10, gy + 10), GetSysColor(COLOR_BTNHIGHLIGHT));  // its highlight below right
    EXPECT_EQ(Pixel(h, gx + 1, gy + 1), GetSysColor(COLOR_BTNFACE));       // no magenta anywhere
    EXPECT_EQ(CountColor(h, RECT{0, 0, 40, 40}, 0xFF00FF), 0);

    tk::TBitmap pair(32, 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 32; ++x) pair.SetPixel(x, y, y == 15 ? 0xFF00FF : x < 16 ? 0x0000FF : 0x00FF00);
    b->SetGlyph(pair);
    EXPECT_EQ(b->NumGlyphs(), 2);
    Settle();
    EXPECT_EQ(Pixel(h, gx + 6, gy + 6), 0x00FF00u);  // image 1 as it is
}

TEST_F(FlatButtonTest, GroupedButtonsWithAndWithoutAllowAllUp) {
    TestForm form;
    TFlatSpeedButton* a = new TFlatSpeedButton(&form);
    TFlatSpeedButton* c = new TFlatSpeedButton(&form);
    for (auto* s : {a, c}) {
        s->SetParent(&form);
        s->SetGroupIndex(3);
        s->OnClick = [this](tk::TComponent*) { ++clicks; };
    }
    a->SetBounds(20, 20, 25, 25);
    c->SetBounds(60, 20, 25, 25);
    form.ShowUp();

    Click(a->Handle(), 10, 10);
    EXPECT_TRUE(a->Down());
    Click(a->Handle(), 10, 10);  // a down button of a group that needs one down stays down
    EXPECT_TRUE(a->Down());
    Click(c->Handle(), 10, 10);  // the latch moves
    EXPECT_TRUE(c->Down());
    EXPECT_FALSE(a->Down());
    EXPECT_EQ(clicks, 3);
    EXPECT_EQ(a->State(), TButtonState::bsUp);

    // The group message from anywhere else (a stray pointer, another window) changes nothing.
    SendMessageW(a->Handle(), CM_BUTTONPRESSED, 3, 0x12345678);
    SendMessageW(a->Handle(), CM_BUTTONPRESSED, 3, reinterpret_cast<LPARAM>(&form));
    EXPECT_TRUE(c->Down());
    EXPECT_FALSE(a->AllowAllUp());

    a->SetAllowAllUp(true);  // announced to the group
    EXPECT_TRUE(c->AllowAllUp());
    Click(c->Handle(), 10, 10);
    EXPECT_FALSE(c->Down());
    EXPECT_FALSE(a->Down());

    // Setting Down in code follows the same rules; an ungrouped button is never down.
    a->SetDown(true);
    c->SetDown(true);
    EXPECT_FALSE(a->Down());
    EXPECT_EQ(a->State(), TButtonState::bsUp);
    TFlatSpeedButton* loose = new TFlatSpeedButton(&form);
    loose->SetParent(&form);
    loose->SetDown(true);
    EXPECT_FALSE(loose->Down());
}

TEST_F(FlatButtonTest, SpaceOnAGroupedButtonLatchesItAndKeepsItLatched) {
    TestForm form;
    TFlatButton* b = DialogButton(form);
    b->SetGroupIndex(1);
    form.ShowUp();
    b->SetFocus();
    Settle();
    KeyDown(VK_SPACE);
    EXPECT_TRUE(b->Down());
    EXPECT_EQ(clicks, 0);
    KeyUp(VK_SPACE);
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(b->Down());
    Key(VK_SPACE);
    EXPECT_EQ(clicks, 2);
    EXPECT_TRUE(b->Down());

    // An ungrouped button: pressed while the key is held, clicked when it is let go.
    TFlatButton* plain = DialogButton(form, 100, 20, L"取消(&C)");
    plain->SetFocus();
    Settle();
    KeyDown(VK_SPACE);
    EXPECT_EQ(plain->State(), TButtonState::bsDown);
    KeyUp(VK_SPACE);
    EXPECT_EQ(plain->State(), TButtonState::bsUp);
    EXPECT_EQ(clicks, 3);
    // Enter does not click a button, not even a Default one.
    plain->SetDefault(true);
    Key(VK_RETURN);
    EXPECT_EQ(clicks, 3);
}

TEST_F(FlatButtonTest, AcceleratorClicksAndGroupedGoesDown) {
    TestForm form;
    TFlatButton* ok = DialogButton(form);
    TFlatButton* cancel = DialogButton(form, 100, 20, L"取消(&C)");
    int cancels = 0;
    cancel->OnClick = [&](tk::TComponent*) { ++cancels; };
    cancel->SetGroupIndex(2);
    form.ShowUp();
    ok->SetFocus();
    Settle();
    AltKey('C');
    EXPECT_EQ(cancels, 1);
    EXPECT_TRUE(cancel->Down());
    AltKey('O');
    EXPECT_EQ(clicks, 1);
    ok->SetEnabled(false);
    AltKey('O');  // a disabled button takes no accelerator
    EXPECT_EQ(clicks, 1);
}

TEST_F(FlatButtonTest, DoubleClickFiresOnlyWhileDown) {
    TestForm form;
    TFlatButton* b = DialogButton(form);
    int doubles = 0;
    b->OnDblClick = [&](tk::TComponent*) { ++doubles; };
    form.ShowUp();
    DoubleClick(b->Handle(), 30, 12);
    EXPECT_EQ(doubles, 0);
    EXPECT_EQ(clicks, 2);

    b->SetGroupIndex(1);
    b->SetDown(true);
    DoubleClick(b->Handle(), 30, 12);
    EXPECT_EQ(doubles, 1);
}

TEST_F(FlatButtonTest, ClickHandsTheModalResultToTheForm) {
    TestForm form;
    TFlatButton* cancel = DialogButton(form, 100, 20, L"取消(&C)");
    cancel->SetModalResult(tk::mrCancel);
    TFlatButton* ok = DialogButton(form);
    // A handler that sets the result itself runs after the button's own (0) was handed over.
    ok->OnClick = [&](tk::TComponent*) { EXPECT_EQ(form.ModalResult(), 0); };
    HWND h = cancel->Handle();
    HWND okWindow = ok->Handle();
    // Modal run: press OK (no result), then Cancel (result 2).
    bool pressed = false;
    int idle = tk::Application().AddIdleHandler([&] {
        if (pressed || !IsWindowVisible(form.Handle())) return;
        pressed = true;
        Click(okWindow, 30, 12);
        Click(h, 30, 12);
    });
    EXPECT_EQ(form.ShowModal(), tk::mrCancel);
    tk::Application().RemoveIdleHandler(idle);
    TFlatButton orphan(nullptr);  // no form: nothing to hand over, the click still fires
    int orphanClicks = 0;
    orphan.OnClick = [&](tk::TComponent*) { ++orphanClicks; };
    orphan.Click();
    EXPECT_EQ(orphanClicks, 1);
}

TEST_F(FlatButtonTest, AdvancedColoursOnTheLightDefaultComeOutDark) {
    TestForm form;
    TFlatButton* b = DialogButton(form);
    EXPECT_EQ(b->Color(), tk::clBtnFace);  // the parent's colour
    b->SetUseAdvColors(true);
    EXPECT_TRUE(b->ParentColor());
    int h, s, l, fh, fs, fl;
    ColorToHslScaled(tk::ColorToRGB(b->Color()), h, s, l);
    ColorToHslScaled(b->ColorFocused(), fh, fs, fl);
    ASSERT_GT(l, 200);
    EXPECT_EQ(fl, 100);  // the lighten cap: darker than the face it lightens
    EXPECT_EQ(b->ColorFocused(), AdvancedColor(tk::clBtnFace, 0, 10, TLightShift::lsLighten));
    EXPECT_EQ(b->ColorDown(), AdvancedColor(tk::clBtnFace, 0, 10, TLightShift::lsDarken));
    EXPECT_EQ(b->ColorBorder(), AdvancedColor(tk::clBtnFace, 0, 50, TLightShift::lsDarken));
    // Without UseAdvColors a colour set stays as set.
    TFlatButton* plain = DialogButton(form, 100, 20);
    plain->SetColorFocused(0x123456);
    plain->SetAdvColorFocused(40);
    EXPECT_EQ(plain->ColorFocused(), 0x123456u);
}

TEST_F(FlatButtonTest, OneTimerPerClassLivesWithItsInstances) {
    EXPECT_EQ(TFlatButton::ClassTracker().Timer(), nullptr);
    {
        TestForm form;
        DialogButton(form);
        DialogButton(form, 100, 20);
        ASSERT_NE(TFlatButton::ClassTracker().Timer(), nullptr);
        EXPECT_EQ(TFlatButton::ClassTracker().Timer()->Interval(), 100u);
        EXPECT_FALSE(TFlatButton::ClassTracker().Timer()->Enabled());
        EXPECT_EQ(TFlatSpeedButton::ClassTracker().Timer(), nullptr);  // the speed buttons have their own
        form.ShowUp();
        MouseMove(static_cast<TFlatButton*>(form.Components()[0])->Handle(), 5, 5);
        EXPECT_TRUE(TFlatButton::ClassTracker().Timer()->Enabled());
    }
    // The tracked button went with its form: no timer, no tracked button left behind.
    EXPECT_EQ(TFlatButton::ClassTracker().Timer(), nullptr);
    EXPECT_EQ(TFlatButton::ClassTracker().Tracked(), nullptr);
}

TEST_F(FlatButtonTest, SpeedButtonLeavesTheFocusWhereItIsAndKeepsAOnePixelBorder) {
    TestForm form;
    TFlatButton* focused = DialogButton(form);
    auto* browse = new TFlatSpeedButton(&form);
    browse->SetParent(&form);
    browse->SetBounds(120, 20, 22, 22);
    browse->SetCaption(L"...");
    browse->SetFont({L"MS Sans Serif", -20, RGB(0, 0, 0), true});
    int browses = 0;
    browse->OnClick = [&](tk::TComponent*) { ++browses; };
    form.ShowUp();
    focused->SetFocus();
    Settle();
    Click(browse->Handle(), 11, 11);
    EXPECT_EQ(browses, 1);
    EXPECT_TRUE(focused->Focused());
    MouseAway();
    Settle(300);
    HWND h = browse->Handle();
    EXPECT_EQ(Pixel(h, 0, 0), kBorder);
    EXPECT_EQ(Pixel(h, 1, 1), GetSysColor(COLOR_BTNFACE));
    EXPECT_GT(CountColor(h, RECT{2, 2, 20, 20}, kBlack), 6);  // the bold dots
    // Seen through: the parent's background instead of a face.
    browse->SetTransparentMode(TTransparentMode::tmAlways);
    browse->SetColor(0x0000FF);
    Settle();
    EXPECT_EQ(Pixel(h, 3, 3), GetSysColor(COLOR_BTNFACE));
    browse->SetTransparentMode(TTransparentMode::tmNone);
    Settle();
    EXPECT_EQ(Pixel(h, 3, 3), 0x0000FFu);
}

}  // namespace
