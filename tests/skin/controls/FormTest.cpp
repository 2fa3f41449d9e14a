// The form frame on a real dialog-framed window under Wine: caption removal, the non-client
// rectangle, the painted border read back from the window, the outline region, maximised bounds,
// theme removal and the host given back when the frame goes.
#include <gtest/gtest.h>

#include <memory>

#include "skin/theme/StyleItems.h"
#include "tests/skin/controls/FrameTestSupport.h"
#include "tests/support/WinTest.h"
#include "toolkit/win/Application.h"
#include "toolkit/win/Panel.h"

namespace {

using frametest::HostForm;

class FormTest : public testing::Test {
protected:
    void SetUp() override {
        tk::Application().Initialize();
        host = std::make_unique<HostForm>();
    }
    void TearDown() override {
        tk::Application().SetMainForm(nullptr);
        host.reset();
    }
    TsuiForm* Frame() {
        auto* f = new TsuiForm(host.get());
        host->Show();
        qdtest::PumpIdle();
        return f;
    }
    TsuiFileTheme* Silver() {
        auto* theme = new TsuiFileTheme(host.get());
        theme->SetThemeFile(frametest::SilverSkinPath());
        EXPECT_TRUE(theme->Ready());
        return theme;
    }
    // Window size and where the client area sits inside the window.
    struct Insets {
        int left, top, right, bottom, width, height;
    };
    Insets ClientInsets() {
        HWND h = host->Handle();
        RECT w = frametest::WindowBounds(h), c;
        GetClientRect(h, &c);
        POINT o{0, 0};
        ClientToScreen(h, &o);
        return {o.x - w.left, o.y - w.top, w.right - (o.x + c.right), w.bottom - (o.y + c.bottom),
                w.right - w.left, w.bottom - w.top};
    }
    void Repaint(TsuiForm* f) {
        RedrawWindow(host->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        f->PaintFrame();
        qdtest::PumpIdle();
    }
    bool InRegion(int x, int y) {
        const tk::ScopedRegion r(CreateRectRgn(0, 0, 0, 0));
        const int kind = GetWindowRgn(host->Handle(), r.get());
        return kind != ERROR && PtInRegion(r.get(), x, y);
    }

    std::unique_ptr<HostForm> host;
};

TEST_F(FormTest, BuiltInFrameRemovesTheCaptionAndAnswersTheInsetQuery) {
    TsuiForm* f = Frame();
    ASSERT_TRUE(f->Configured());
    HWND h = host->Handle();
    EXPECT_EQ(GetWindowLongW(h, GWL_STYLE) & WS_CAPTION, 0);
    EXPECT_EQ(f->HostBottomFrame(), 3);  // Wine's dialog frame
    EXPECT_EQ(SendMessageW(h, FrameInsetQuery, 0, 0), 2);
    const Insets in = ClientInsets();
    EXPECT_EQ(in.top, 3);
    EXPECT_EQ(in.left, 3);
    EXPECT_EQ(in.right, 3);
    EXPECT_EQ(in.bottom, 2);  // BorderWidth 1 + 1
    EXPECT_EQ(f->Version(), L"6.2");
    f->SetVersion(L"7.0");
    EXPECT_EQ(f->Version(), L"6.2");
    // The frame fills the client area and carries the title bar at its top.
    RECT c;
    GetClientRect(h, &c);
    EXPECT_EQ(f->Width(), c.right);
    EXPECT_EQ(f->Height(), c.bottom);
    EXPECT_EQ(f->TitleBar()->Top(), 0);
    EXPECT_EQ(f->TitleBar()->Width(), c.right);
}

TEST_F(FormTest, BuiltInBottomBorderForBorderWidthOneAndThree) {
    TsuiForm* f = Frame();
    HWND h = host->Handle();
    Repaint(f);
    Insets in = ClientInsets();
    EXPECT_EQ(frametest::WindowPixel(h, in.width / 2, in.height - 1), 0x000000u);  // DeepBlue border black
    EXPECT_EQ(frametest::WindowPixel(h, in.width / 2, in.height - 2), 0xE8E8E8u);  // one row of Color
    EXPECT_EQ(frametest::WindowPixel(h, 0, in.height / 2), 0x000000u);
    EXPECT_EQ(frametest::WindowPixel(h, 1, in.height / 2), 0xE8E8E8u);

    f->SetUIStyle(TsuiUIStyle::WinXP);  // BorderWidth 3
    Repaint(f);
    in = ClientInsets();
    EXPECT_EQ(f->BorderWidth(), 3);
    EXPECT_EQ(in.bottom, 3);
    const COLORREF border = GetBuiltInColor(TsuiUIStyle::WinXP, 16);
    for (int y = in.height - 3; y < in.height; ++y) EXPECT_EQ(frametest::WindowPixel(h, in.width / 2, y), border) << y;
    EXPECT_EQ(frametest::WindowPixel(h, 2, in.height / 2), border);
}

TEST_F(FormTest, CornerArcsOnlyAtCornerSizeEleven) {
    TsuiForm* f = Frame();
    HWND h = host->Handle();
    auto blackInCorner = [&] {
        int n = 0;
        for (int y = 0; y < 6; ++y)
            for (int x = 1; x < 10; ++x)
                if (InRegion(x, y) && frametest::WindowPixel(h, x, y) == f->BorderColor()) ++n;
        return n;
    };
    f->SetUIStyle(TsuiUIStyle::BlueGlass);  // BorderWidth 1, corner 11
    Repaint(f);
    EXPECT_EQ(f->RoundCorner(), 11);
    EXPECT_FALSE(InRegion(0, 0));
    EXPECT_TRUE(InRegion(f->TitleBar()->Width() / 2, 0));
    EXPECT_GT(blackInCorner(), 2);
    f->SetRoundCorner(13);
    Repaint(f);
    EXPECT_EQ(blackInCorner(), 0);
    f->SetUIStyle(TsuiUIStyle::DeepBlue);  // corner 0: a plain rectangle
    Repaint(f);
    EXPECT_TRUE(InRegion(0, 0));
}

TEST_F(FormTest, HiddenTitleBarPaintsALineAndTwoRowsOfColour) {
    TsuiForm* f = Frame();
    HWND h = host->Handle();
    f->SetTitleBarVisible(false);
    EXPECT_FALSE(f->TitleBarVisible());
    EXPECT_EQ(f->RoundCorner(), 0);
    Repaint(f);
    const Insets in = ClientInsets();
    EXPECT_EQ(frametest::WindowPixel(h, in.width / 2, 0), 0x000000u);
    EXPECT_EQ(frametest::WindowPixel(h, in.width / 2, 1), 0xE8E8E8u);
    EXPECT_EQ(frametest::WindowPixel(h, in.width / 2, 2), 0xE8E8E8u);
    f->SetTitleBarVisible(true);
    EXPECT_TRUE(f->TitleBarVisible());
}

TEST_F(FormTest, SkinBordersInsetsAndTitleColours) {
    TsuiForm* f = Frame();
    TsuiFileTheme* theme = Silver();
    f->SetUIStyle(TsuiUIStyle::FromThemeFile);
    f->SetFileTheme(theme);
    Repaint(f);
    HWND h = host->Handle();
    EXPECT_EQ(f->LeftBorderWidth(), 4);
    EXPECT_EQ(f->BottomBorderHeight(), 5);
    EXPECT_EQ(SendMessageW(h, FrameInsetQuery, 0, 0), 4);
    const Insets in = ClientInsets();
    EXPECT_EQ(in.left, 4);
    EXPECT_EQ(in.right, 4);
    EXPECT_EQ(in.bottom, 5);
    EXPECT_EQ(in.top, 3);
    EXPECT_EQ(f->Color(), 0xE8E8E8u);
    // The left border piece, stretched down the window's left edge.
    tk::TBitmap* left = theme->GetThemeBitmap(SKIN2_FORMLEFTBORDER);
    for (int x = 0; x < 4; ++x) EXPECT_EQ(frametest::WindowPixel(h, x, in.height / 2), left->GetPixel(x, 3)) << x;
    // The title bar's middle shows the skin's stretched middle piece.
    tk::TBitmap* middle = theme->GetThemeBitmap(SKIN2_TITLEBAR2);
    const int mx = in.width / 2;
    for (int y : {5, 12, 20}) EXPECT_EQ(frametest::WindowPixel(h, mx, y), middle->GetPixel(0, y)) << y;
    EXPECT_EQ(f->TitleBar()->Height(), middle->Height() - 3);
    EXPECT_EQ(f->TitleBar()->TitleFont().Color, 0x302A26u);  // the skin's title font colour
}

TEST_F(FormTest, SkinOutlineFromTheRegionRows) {
    TsuiForm* f = Frame();
    f->SetUIStyle(TsuiUIStyle::FromThemeFile);
    f->SetFileTheme(Silver());
    Repaint(f);
    const Insets in = ClientInsets();
    // Rounded top corners: the transparent corner pixels of the title are outside.
    EXPECT_FALSE(InRegion(0, 0));
    EXPECT_FALSE(InRegion(1, 1));
    EXPECT_FALSE(InRegion(in.width - 1, 0));
    EXPECT_TRUE(InRegion(in.width / 2, 0));
    EXPECT_TRUE(InRegion(7, 0));
    // Rows below the title's maximum (7) are whole.
    for (int y = 8; y < 30; ++y) {
        EXPECT_TRUE(InRegion(0, y)) << y;
        EXPECT_TRUE(InRegion(in.width - 1, y)) << y;
    }
    // The bottom border's first row (above its minimum) is whole; its last row loses its corners.
    EXPECT_TRUE(InRegion(0, in.height - 5));
    EXPECT_TRUE(InRegion(in.width - 1, in.height - 5));
    EXPECT_FALSE(InRegion(0, in.height - 1));
    EXPECT_TRUE(InRegion(in.width / 2, in.height - 1));
}

TEST_F(FormTest, MaximisedBoundsCoverTheWorkArea) {
    Frame();
    HWND h = host->Handle();
    ShowWindow(h, SW_MAXIMIZE);
    qdtest::PumpIdle();
    RECT work;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const RECT r = frametest::WindowBounds(h);
    EXPECT_EQ(r.left, work.left - 2);
    EXPECT_EQ(r.top, work.top - 2);
    EXPECT_EQ(r.right, work.right + 2);
    EXPECT_EQ(r.bottom, work.bottom - 1);
    ShowWindow(h, SW_RESTORE);
    qdtest::PumpIdle();
    EXPECT_FALSE(IsZoomed(h));
}

// A child control that takes a theme and a style, as every skinned control does.
class ThemedChild : public tk::TCustomPanel {
public:
    using tk::TCustomPanel::TCustomPanel;
    bool PublishesProperty(std::string_view name) const override { return name == "FileTheme" || name == "UIStyle"; }
    std::optional<tk::PropertyValue> GetPublishedProperty(std::string_view name) const override {
        if (name == "FileTheme") return tk::PropertyValue(theme);
        if (name == "UIStyle") return tk::PropertyValue(style);
        return std::nullopt;
    }
    bool SetPublishedProperty(std::string_view name, const tk::PropertyValue& v) override {
        if (name == "FileTheme") theme = std::get<tk::TComponent*>(v);
        if (name == "UIStyle") style = std::get<int>(v);
        return true;
    }
    tk::TComponent* theme = nullptr;
    int style = -1;
};

TEST_F(FormTest, RemovingTheThemeSendsFrameTitleBarAndChildrenToDeepBlue) {
    TsuiForm* f = Frame();
    TsuiFileTheme* theme = Silver();
    auto* child = new ThemedChild(host.get());
    child->SetParent(f);
    f->SetUIStyleAutoUpdateSub(true);
    f->SetUIStyle(TsuiUIStyle::FromThemeFile);
    f->SetFileTheme(theme);
    EXPECT_EQ(child->theme, theme);
    EXPECT_EQ(child->style, 0);
    EXPECT_EQ(f->LeftBorderWidth(), 4);
    delete theme;
    EXPECT_EQ(f->FileTheme(), nullptr);
    EXPECT_EQ(f->UIStyle(), TsuiUIStyle::DeepBlue);
    EXPECT_EQ(f->TitleBar()->FileTheme(), nullptr);
    EXPECT_EQ(f->TitleBar()->UIStyle(), TsuiUIStyle::DeepBlue);
    EXPECT_EQ(child->theme, nullptr);
    EXPECT_EQ(child->style, static_cast<int>(TsuiUIStyle::DeepBlue));
    EXPECT_EQ(f->LeftBorderWidth(), 0);
    EXPECT_EQ(SendMessageW(host->Handle(), FrameInsetQuery, 0, 0), 2);
}

TEST_F(FormTest, AThemeOwnedElsewhereIsHeardOfToo) {
    TsuiForm* f = Frame();
    auto theme = std::make_unique<TsuiFileTheme>(nullptr);
    theme->SetThemeFile(frametest::SilverSkinPath());
    f->SetUIStyle(TsuiUIStyle::FromThemeFile);
    f->SetFileTheme(theme.get());
    EXPECT_EQ(f->TitleBar()->FileTheme(), theme.get());
    theme.reset();
    EXPECT_EQ(f->FileTheme(), nullptr);
    EXPECT_EQ(f->TitleBar()->FileTheme(), nullptr);
}

TEST_F(FormTest, ALoadedThemeReassignsItselfToTheFrame) {
    TsuiForm* f = Frame();
    auto* theme = new TsuiFileTheme(host.get());
    f->SetUIStyle(TsuiUIStyle::FromThemeFile);
    f->SetFileTheme(theme);  // not ready yet: DeepBlue
    EXPECT_EQ(f->LeftBorderWidth(), 0);
    theme->SetThemeFile(frametest::SilverSkinPath());
    EXPECT_EQ(f->LeftBorderWidth(), 4);
    EXPECT_EQ(SendMessageW(host->Handle(), FrameInsetQuery, 0, 0), 4);
    EXPECT_EQ(ClientInsets().left, 4);
}

TEST_F(FormTest, TheHostGetsItsCaptionAndHandlerBackWhenTheFrameGoes) {
    HWND h = host->Handle();
    const LONG_PTR proc = GetWindowLongPtrW(h, GWLP_WNDPROC);
    TsuiForm* f = Frame();
    EXPECT_NE(GetWindowLongPtrW(h, GWLP_WNDPROC), proc);
    delete f;
    EXPECT_EQ(GetWindowLongPtrW(h, GWLP_WNDPROC), proc);
    EXPECT_NE(GetWindowLongW(h, GWL_STYLE) & WS_CAPTION, 0);
    EXPECT_EQ(SendMessageW(h, FrameInsetQuery, 0, 0), 0);
    qdtest::PumpIdle();
    EXPECT_GT(ClientInsets().top, 10);  // the system caption is back
    EXPECT_TRUE(IsWindow(h));
}

TEST_F(FormTest, ASecondFrameStaysUnconfigured) {
    TsuiForm* first = Frame();
    auto* second = new TsuiForm(host.get());
    EXPECT_TRUE(first->Configured());
    EXPECT_FALSE(second->Configured());
    EXPECT_EQ(second->TitleBar(), nullptr);
    delete second;  // leaves the host alone
    EXPECT_EQ(GetWindowLongW(host->Handle(), GWL_STYLE) & WS_CAPTION, 0);
    EXPECT_EQ(SendMessageW(host->Handle(), FrameInsetQuery, 0, 0), 2);
    // A frame whose owner is no form is an ordinary panel.
    TsuiForm loose(nullptr);
    EXPECT_FALSE(loose.Configured());
}

TEST_F(FormTest, FormPanelRefusesTheFrameAndFlattensAPlainPanel) {
    TsuiForm* f = Frame();
    EXPECT_TRUE(f->PublishesProperty("FormPanel"));
    EXPECT_TRUE(f->PublishesProperty("FileTheme"));
    EXPECT_TRUE(f->PublishesProperty("UIStyle"));
    {
        qdtest::MessageBoxAnswerer answer(IDOK);
        f->SetFormPanel(f);
        EXPECT_TRUE(answer.Answered());
        EXPECT_EQ(answer.Text(), kFormPanelSelfMessage);
    }
    EXPECT_EQ(f->FormPanel(), nullptr);
    auto* panel = new tk::TPanel(host.get());
    panel->SetParent(f);
    panel->SetCaption(L"panel");
    f->SetFormPanel(panel);
    EXPECT_EQ(f->FormPanel(), panel);
    EXPECT_EQ(panel->BevelOuter(), tk::TPanelBevel::None);
    EXPECT_EQ(panel->Caption(), L"");
    EXPECT_EQ(panel->Width(), f->Width());
    delete panel;
    EXPECT_EQ(f->FormPanel(), nullptr);
}

TEST_F(FormTest, CaptionGoesToTheTitleBarAndTheHost) {
    TsuiForm* f = Frame();
    EXPECT_EQ(f->Caption(), L"Frame test");
    f->SetCaption(L"新的标题");
    EXPECT_EQ(f->TitleBar()->Caption(), L"新的标题");
    EXPECT_EQ(host->Caption(), L"新的标题");
}

TEST_F(FormTest, AHostCreatedMaximisedGetsItsConstructionBoundsOnItsFirstRestore) {
    HWND h = host->Handle();
    host->Show();
    ShowWindow(h, SW_MAXIMIZE);
    qdtest::PumpIdle();
    const RECT atConstruction = frametest::WindowBounds(h);
    new TsuiForm(host.get());
    qdtest::PumpIdle();
    ShowWindow(h, SW_RESTORE);
    qdtest::PumpIdle();
    EXPECT_FALSE(IsZoomed(h));
    const RECT after = frametest::WindowBounds(h);
    EXPECT_EQ(after.left, atConstruction.left);
    EXPECT_EQ(after.top, atConstruction.top);
    EXPECT_EQ(after.right, atConstruction.right);
    EXPECT_EQ(after.bottom, atConstruction.bottom);
}

TEST_F(FormTest, MenuBarHeightIsKeptButReadsZeroWithoutAMenuBar) {
    TsuiForm* f = Frame();
    f->SetMenuBarHeight(30);
    EXPECT_EQ(f->MenuBarHeight(), 0);
}

TEST_F(FormTest, ActivationSetsTheTitleBarsActiveFlagAndTheMinimumHeight) {
    TsuiForm* f = Frame();
    SetForegroundWindow(host->Handle());
    qdtest::PumpIdle();
    EXPECT_TRUE(f->TitleBar()->FormActive());
    HostForm other;
    other.Show();
    SetForegroundWindow(other.Handle());
    qdtest::PumpIdle();
    EXPECT_FALSE(f->TitleBar()->FormActive());
    EXPECT_EQ(host->MinHeight(), f->TitleBar()->Height() + 3);
    EXPECT_EQ(host->MinWidth(), GetBuiltInInt(TsuiUIStyle::DeepBlue, 13));
}

}  // namespace
