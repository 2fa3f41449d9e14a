// The skinned tool bar on a real window: the common control paints into a memory bitmap and the
// faces the bar draws through its custom drawing are read back pixel by pixel.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <memory>

#include "skin/controls/ToolBar.h"
#include "skin/controls/ToolButtonFace.h"
#include "skin/theme/FileTheme.h"
#include "tests/support/WinTest.h"
#include "toolkit/win/Application.h"
#include "toolkit/win/Bitmap.h"
#include "toolkit/win/Form.h"

namespace {

constexpr tk::TColor kBar = 0xE0E0E0;
constexpr tk::TColor kFace = 0xA06030;
constexpr tk::TColor kDown = 0x40C020;
constexpr tk::TColor kBorder = 0x0000FF;

// A stand-in for the skinned form frame: a panel that publishes its "FormPanel" and paints its
// background in one colour.
class FrameStandIn : public tk::TWinControl {
public:
    using tk::TWinControl::TWinControl;
    static constexpr tk::TColor kBackground = 0x2080F0;
    bool PublishesProperty(std::string_view name) const override { return name == "FormPanel"; }
    void WndProc(tk::TMessage& m) override {
        if (m.Msg == WM_ERASEBKGND) {
            tk::TCanvas canvas(reinterpret_cast<HDC>(m.WParam));
            canvas.SetBrushColor(kBackground);
            canvas.FillRect({0, 0, ClientWidth(), ClientHeight()});
            m.Result = 1;
            return;
        }
        tk::TWinControl::WndProc(m);
    }
};

class SkinToolBarTest : public testing::Test {
protected:
    void SetUp() override {
        tk::Application().Initialize();
        form.SetClientSize(400, 80);
        bar = new TsuiToolBar(&form);
        bar->SetParent(&form);
        bar->SetBounds(0, 0, 400, 36);
        bar->SetButtonSize(41, 36);
    }
    tk::TToolButton* Add(const std::wstring& caption, tk::TToolButtonStyle style = tk::TToolButtonStyle::Button) {
        auto* b = new tk::TToolButton(&form);
        b->SetStyle(style);
        b->SetCaption(caption);
        bar->AddButton(b);
        return b;
    }
    void UseTestColours() {
        bar->SetColor(kBar);
        bar->SetButtonColor(kFace);
        bar->SetButtonDownColor(kDown);
        bar->SetButtonBorderColor(kBorder);
    }
    // The bar as the control paints it (erase, then paint with its custom drawing).
    std::unique_ptr<tk::TBitmap> Render() {
        HWND h = bar->Handle();
        RECT client;
        GetClientRect(h, &client);
        auto bitmap = std::make_unique<tk::TBitmap>(client.right, client.bottom);
        SendMessageW(h, WM_ERASEBKGND, reinterpret_cast<WPARAM>(bitmap->Dc()), 0);
        SendMessageW(h, WM_PAINT, reinterpret_cast<WPARAM>(bitmap->Dc()), 0);
        GdiFlush();
        return bitmap;
    }
    RECT ButtonRect(tk::TToolButton* b) {
        RECT r{};
        const LRESULT index = SendMessageW(bar->Handle(), TB_COMMANDTOINDEX, b->CommandId(), 0);
        SendMessageW(bar->Handle(), TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r));
        return r;
    }
    void SetHot(tk::TToolButton* b) {
        const LRESULT index = b ? SendMessageW(bar->Handle(), TB_COMMANDTOINDEX, b->CommandId(), 0) : -1;
        SendMessageW(bar->Handle(), TB_SETHOTITEM, index, 0);
    }
    void Press(tk::TToolButton* b, bool down) {
        SendMessageW(bar->Handle(), TB_PRESSBUTTON, b->CommandId(), MAKELONG(down, 0));
    }
    // A pixel well inside the face, away from caption and image.
    static std::uint32_t FaceAt(const tk::TBitmap& bmp, const RECT& r) { return bmp.GetPixel(r.left + 2, r.bottom - 3); }

    tk::TForm form{nullptr};
    TsuiToolBar* bar = nullptr;
};

TEST_F(SkinToolBarTest, HotPressedCheckedAndPlainFaces) {
    UseTestColours();
    tk::TToolButton* plain = Add(L"a");
    tk::TToolButton* pressed = Add(L"b");
    tk::TToolButton* check = Add(L"c", tk::TToolButtonStyle::Check);
    tk::TToolButton* disabled = Add(L"d", tk::TToolButtonStyle::Check);
    tk::TToolButton* separator = Add(L"", tk::TToolButtonStyle::Separator);
    bar->Handle();
    check->SetDown(true);
    SendMessageW(bar->Handle(), TB_CHECKBUTTON, disabled->CommandId(), MAKELONG(TRUE, 0));
    SendMessageW(bar->Handle(), TB_ENABLEBUTTON, disabled->CommandId(), MAKELONG(FALSE, 0));

    // Pressed and under the mouse: the down colour in the border colour's frame.
    Press(pressed, true);
    SetHot(pressed);
    auto bmp = Render();
    const RECT rp = ButtonRect(pressed);
    EXPECT_EQ(FaceAt(*bmp, rp), kDown);
    EXPECT_EQ(bmp->GetPixel(rp.left, rp.top), kBorder);
    EXPECT_EQ(bmp->GetPixel(rp.right - 1, rp.bottom - 1), kBorder);
    // A checked button is raised even when the mouse is elsewhere.
    EXPECT_EQ(FaceAt(*bmp, ButtonRect(check)), kFace);
    // Plain buttons, separators and disabled (even checked) buttons are the control's: the bar's
    // colour shows through them.
    EXPECT_EQ(FaceAt(*bmp, ButtonRect(plain)), kBar);
    for (tk::TToolButton* b : {plain, separator, disabled}) {
        const RECT r = ButtonRect(b);
        for (int x = r.left; x < r.right; ++x)
            for (int y = r.top; y < r.bottom; ++y) {
                const std::uint32_t c = bmp->GetPixel(x, y);
                ASSERT_TRUE(c != kFace && c != kBorder && c != kDown) << b->Caption() << " " << x << "," << y;
            }
    }

    // Pressed while the mouse has moved off: the raised colour.
    SetHot(nullptr);
    bmp = Render();
    EXPECT_EQ(FaceAt(*bmp, rp), kFace);
    // Checked and under the mouse: still raised, never the down colour.
    SetHot(check);
    bmp = Render();
    EXPECT_EQ(FaceAt(*bmp, ButtonRect(check)), kFace);
    EXPECT_EQ(FaceAt(*bmp, rp), kFace);
    // A plain button under the mouse is raised.
    Press(pressed, false);
    SetHot(plain);
    bmp = Render();
    EXPECT_EQ(FaceAt(*bmp, ButtonRect(plain)), kFace);
    EXPECT_EQ(FaceAt(*bmp, rp), kBar);
}

TEST_F(SkinToolBarTest, AButtonHeldDownByTheMouseShowsTheDownColour) {
    UseTestColours();
    Add(L"a");
    tk::TToolButton* b = Add(L"b");
    form.Show();
    qdtest::PumpIdle();
    const RECT r = ButtonRect(b);
    const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    SendMessageW(bar->Handle(), WM_MOUSEMOVE, 0, at);
    SendMessageW(bar->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    EXPECT_EQ(FaceAt(*Render(), r), kDown);
    SendMessageW(bar->Handle(), WM_LBUTTONUP, 0, at);
    // Released and the mouse gone: a button still pressed is raised.
    SendMessageW(bar->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(390, 30));
    Press(b, true);
    EXPECT_EQ(FaceAt(*Render(), r), kFace);
}

TEST_F(SkinToolBarTest, HotDropDownButtonsCarryTheirMarkAndDivider) {
    UseTestColours();
    Add(L"");
    tk::TToolButton* drop = Add(L"", tk::TToolButtonStyle::DropDown);
    bar->Handle();
    SetHot(drop);
    auto bmp = Render();
    const RECT r = ButtonRect(drop);
    const int y = r.top + (r.bottom - r.top) / 2;
    EXPECT_EQ(bmp->GetPixel(r.right - 14, r.top + 3), tk::clBlack) << "divider";
    EXPECT_EQ(bmp->GetPixel(r.right - 7, y), tk::clBlack) << "arrow";
    EXPECT_EQ(bmp->GetPixel(r.right - 10, y), kFace);

    // Pressed but not under the mouse: the face without mark or divider.
    Press(drop, true);
    SetHot(nullptr);
    bmp = Render();
    EXPECT_EQ(bmp->GetPixel(r.right - 14, r.top + 3), kFace);
    EXPECT_EQ(bmp->GetPixel(r.right - 7, y), kFace);
}

TEST_F(SkinToolBarTest, CaptionsAreCentredOnTheirWidthWithoutAmpersands) {
    // Layout alone: "&&" counts for nothing, halves truncate toward zero.
    skin::ToolFaceInput in;
    in.bounds = {10, 0, 51, 36};
    in.captionWidth = 20;
    skin::ToolFaceLayout l = skin::LayoutToolFace(in);
    EXPECT_EQ(l.caption.Left, 10 + (41 - 20) / 2);
    EXPECT_EQ(l.caption.Top, 4);
    in.pressed = true;
    EXPECT_EQ(skin::LayoutToolFace(in).caption.Top, 5);
    in.captionWidth = 60;  // wider than the button
    EXPECT_EQ(skin::LayoutToolFace(in).caption.Left, 10 + (41 - 60) / 2);
    EXPECT_EQ((41 - 60) / 2, -9);
    in.hasImages = true;
    in.imageWidth = in.imageHeight = 16;
    in.dropDown = true;
    l = skin::LayoutToolFace(in);
    EXPECT_EQ(l.image.x, 10 + (41 - 14 - 16) / 2);
    EXPECT_EQ(l.image.y, 3);
    EXPECT_EQ(l.caption.Top, 20);
    in.list = true;
    l = skin::LayoutToolFace(in);
    EXPECT_EQ(l.image.x, 15);
    EXPECT_EQ(l.caption.Left, 10 + 16 + 7);
    EXPECT_EQ(l.caption.Top, 4);
    in.showCaptions = false;
    EXPECT_FALSE(skin::LayoutToolFace(in).drawCaption);
    EXPECT_EQ(skin::StripAmpersands(L"A&&B&c"), L"ABc");

    // On the control: a caption wider than its button starts left of the button.
    UseTestColours();
    Add(L"");
    tk::TToolButton* wide = Add(L"WWWWWWWWWWWW");
    bar->Handle();
    SetHot(wide);
    auto bmp = Render();
    const RECT r = ButtonRect(wide);
    bool inkLeft = false;
    for (int x = r.left - 8; x < r.left && !inkLeft; ++x)
        for (int y = r.top + 4; y < r.top + 18 && !inkLeft; ++y) inkLeft = bmp->GetPixel(x, y) != kBar;
    EXPECT_TRUE(inkLeft) << "the caption did not reach left of the button";
}

TEST_F(SkinToolBarTest, AmpersandPairsAreMeasuredWithoutThemAndShowOne) {
    UseTestColours();
    tk::TToolButton* amp = Add(L"&&");
    bar->Handle();
    SetHot(amp);
    auto bmp = Render();
    const RECT r = ButtonRect(amp);
    // One "&" is drawn from the middle of the face (the empty measured text centres at W / 2).
    const int start = r.left + (r.right - r.left) / 2;
    bool ink = false;
    for (int x = start; x < start + 10 && !ink; ++x)
        for (int y = r.top + 4; y < r.top + 18 && !ink; ++y) ink = bmp->GetPixel(x, y) != kFace;
    EXPECT_TRUE(ink);
    for (int x = r.left + 2; x < start; ++x)
        for (int y = r.top + 4; y < r.top + 18; ++y) ASSERT_EQ(bmp->GetPixel(x, y), kFace) << x << "," << y;
}

TEST_F(SkinToolBarTest, BuiltInStylesAndTheGradientOfAThemeFile) {
    bar->SetUIStyle(TsuiUIStyle::WinXP);
    EXPECT_EQ(bar->Color(), 0xDEEBEFu);
    EXPECT_EQ(bar->ButtonBorderColor(), 0xC66931u);
    EXPECT_EQ(bar->ButtonColor(), 0xEFD3C6u);
    EXPECT_EQ(bar->ButtonDownColor(), 0xE1AC93u);
    EXPECT_FALSE(bar->Transparent());
    // FromThemeFile without a ready theme is DeepBlue.
    bar->SetUIStyle(TsuiUIStyle::FromThemeFile);
    EXPECT_EQ(bar->Color(), 0xE8E8E8u);
    EXPECT_EQ(bar->ButtonColor(), 0xEFEFEFu);
    EXPECT_EQ(bar->BarStartColor(), bar->BarEndColor());

    // A theme of the form: loading it has the bar read it again.
    auto* theme = new TsuiFileTheme(&form);
    bar->SetFileTheme(theme);
    EXPECT_EQ(bar->Color(), 0xE8E8E8u);
    theme->SetThemeFile(qdtest::WindowsPath(QD_SILVER_SKIN));
    ASSERT_TRUE(theme->Ready());
    const auto start = static_cast<tk::TColor>(theme->GetThemeColor(SKIN2_TOOLBARSTARTCOLOR));
    const auto end = static_cast<tk::TColor>(theme->GetThemeColor(SKIN2_TOOLBARENDCOLOR));
    EXPECT_EQ(bar->Color(), start);
    EXPECT_EQ(bar->ButtonColor(), start);
    EXPECT_EQ(bar->ButtonBorderColor(), static_cast<tk::TColor>(theme->GetThemeColor(SKIN2_TOOLBARBORDERCOLOR)));
    EXPECT_EQ(bar->ButtonDownColor(), static_cast<tk::TColor>(theme->GetThemeColor(SKIN2_TOOLBARDOWNCOLOR)));
    ASSERT_NE(start, end) << "the test skin should have a gradient";
    auto bmp = Render();
    EXPECT_EQ(bmp->GetPixel(300, 0), start);
    EXPECT_EQ(bmp->GetPixel(300, bmp->Height() - 1), end);
}

TEST_F(SkinToolBarTest, MacOSShowsTheFrameBehindOnlyOnAFrame) {
    bar->SetUIStyle(TsuiUIStyle::MacOS);
    EXPECT_FALSE(bar->Transparent());
    EXPECT_EQ(Render()->GetPixel(300, 10), 0xE7E7E7u);

    auto* frame = new FrameStandIn(&form);
    frame->SetParent(&form);
    frame->SetBounds(0, 0, 400, 80);
    auto* onFrame = new TsuiToolBar(&form);
    onFrame->SetParent(frame);
    onFrame->SetBounds(0, 20, 400, 36);
    onFrame->SetUIStyle(TsuiUIStyle::MacOS);
    EXPECT_TRUE(onFrame->Transparent());
    EXPECT_EQ(onFrame->BarStartColor(), onFrame->BarEndColor());
    bar = onFrame;
    EXPECT_EQ(Render()->GetPixel(300, 10), FrameStandIn::kBackground);
    // Another style on the frame is opaque again.
    onFrame->SetUIStyle(TsuiUIStyle::WinXP);
    EXPECT_FALSE(onFrame->Transparent());
    EXPECT_EQ(Render()->GetPixel(300, 10), 0xDEEBEFu);
}

TEST_F(SkinToolBarTest, TheEndOfTheThemeLeavesDeepBlueWhoeverOwnedIt) {
    auto theme = std::make_unique<TsuiFileTheme>(nullptr);  // owned by no form
    bar->SetFileTheme(theme.get());
    bar->SetUIStyle(TsuiUIStyle::WinXP);
    theme.reset();
    EXPECT_EQ(bar->FileTheme(), nullptr);
    EXPECT_EQ(bar->UIStyle(), TsuiUIStyle::DeepBlue);
    EXPECT_EQ(bar->Color(), 0xE8E8E8u);
    EXPECT_EQ(bar->ButtonBorderColor(), 0x474747u);

    // Through the published properties, as a theme or a frame hands them out.
    auto* owned = new TsuiFileTheme(&form);
    EXPECT_TRUE(bar->SetPublishedProperty("FileTheme", static_cast<tk::TComponent*>(owned)));
    EXPECT_TRUE(bar->SetPublishedProperty("UIStyle", static_cast<int>(TsuiUIStyle::Protein)));
    EXPECT_FALSE(bar->SetPublishedProperty("UIStyle", 9));
    EXPECT_FALSE(bar->SetPublishedProperty("FileTheme", static_cast<tk::TComponent*>(&form)));
    EXPECT_EQ(std::get<tk::TComponent*>(*bar->GetPublishedProperty("FileTheme")), owned);
    EXPECT_EQ(std::get<int>(*bar->GetPublishedProperty("UIStyle")), static_cast<int>(TsuiUIStyle::Protein));
    delete owned;
    EXPECT_EQ(bar->FileTheme(), nullptr);
    EXPECT_EQ(bar->UIStyle(), TsuiUIStyle::DeepBlue);
}

}  // namespace
