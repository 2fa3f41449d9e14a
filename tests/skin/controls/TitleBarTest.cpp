// The title bar on a framed window, driven by the mouse as a person moves it: button places, hot
// and pressed pictures, clicks of each kind, drag, double click, the caption's fitting and colour.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <vector>

#include "skin/theme/BuiltInBitmaps.h"
#include "tests/skin/controls/FrameTestSupport.h"
#include "tests/support/WinTest.h"
#include "toolkit/win/Scoped.h"
#include "toolkit/win/Application.h"

namespace {

using B = TsuiTitleBarBtnType;
using frametest::HostForm;

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

class TitleBarTest : public testing::Test {
protected:
    void SetUp() override {
        tk::Application().Initialize();
        frametest::ParkMouse();
        MakeHost();
    }
    // A new framed window in front, its title painted.
    void MakeHost() {
        host.reset();
        host = std::make_unique<HostForm>();
        frame = new TsuiForm(host.get());
        bar = frame->TitleBar();
        host->Show();
        SetForegroundWindow(host->Handle());
        qdtest::PumpIdle();
        bar->Render();
    }
    void TearDown() override {
        frametest::ParkMouse();
        tk::Application().SetMainForm(nullptr);
        host.reset();
    }
    // The screen point at the middle of button i as the last paint placed it.
    POINT ButtonCentre(int i) {
        const auto& r = *bar->LastButtonLayout().Rects[static_cast<std::size_t>(i)];
        POINT p{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
        ClientToScreen(bar->Handle(), &p);
        return p;
    }
    POINT BarPoint(int x, int y) {
        POINT p{x, y};
        ClientToScreen(bar->Handle(), &p);
        return p;
    }
    POINT FreeSpot() {
        POINT p{bar->Width() / 2, bar->Height() / 2};
        ClientToScreen(bar->Handle(), &p);
        return p;
    }
    void Click(POINT p) {
        frametest::MoveMouse(p.x, p.y);
        frametest::PressLeft();
        frametest::ReleaseLeft();
    }
    // A point of the button's pictures where the normal one and the other differ, below the rows
    // that lie above the bar on a frame (the button top is -1 under DeepBlue).
    bool DifferingPixel(TsuiTitleBarButton* b, tk::TBitmap& other, POINT& at) {
        for (int y = 3; y < b->PicNormal().Height(); ++y)
            for (int x = 0; x < b->PicNormal().Width(); ++x)
                if (b->PicNormal().GetPixel(x, y) != other.GetPixel(x, y)) {
                    at = {x, y};
                    return true;
                }
        return false;
    }
    COLORREF BarPixel(int x, int y) { return frametest::ClientPixel(bar->Handle(), x, y); }

    std::unique_ptr<HostForm> host;
    TsuiForm* frame = nullptr;
    TsuiTitleBar* bar = nullptr;
};

TEST_F(TitleBarTest, ButtonsSitRightToLeftCloseAtTheEdge) {
    const auto& layout = bar->LastButtonLayout();
    const int w = bar->Width();
    const auto close = *layout.Rects[1], max = *layout.Rects[2], min = *layout.Rects[3];
    // J = inset 2 − 1; DeepBlue's right offset is 0: the close button would end past the image.
    EXPECT_EQ(close.Right, w - 1);
    EXPECT_EQ(max.Right, close.Left - 1);
    EXPECT_EQ(min.Right, max.Left - 1);
    EXPECT_EQ(close.Top, bar->ButtonTop());
    bar->SetButtonInterval(4);
    bar->Render();
    EXPECT_EQ(bar->LastButtonLayout().Rects[2]->Right, close.Left - 5);
    EXPECT_EQ(bar->LastButtonLayout().Rects[1]->Right, w - 1);  // close keeps no interval
    // A hidden maximise button takes no room.
    bar->Buttons().Items(2)->SetVisible(false);
    bar->Render();
    EXPECT_FALSE(bar->LastButtonLayout().Rects[2]);
    EXPECT_EQ(bar->LastButtonLayout().Rects[3]->Right, close.Left - 5);
}

TEST_F(TitleBarTest, HotAndPressedPicturesFollowTheCursor) {
    TsuiTitleBarButton* min = bar->Buttons().Items(3);
    POINT on{}, down{};
    ASSERT_TRUE(DifferingPixel(min, min->PicMouseOn(), on));
    ASSERT_TRUE(DifferingPixel(min, min->PicMouseDown(), down));
    const auto r = *bar->LastButtonLayout().Rects[3];
    EXPECT_EQ(BarPixel(r.Left + on.x, r.Top + on.y), min->PicNormal().GetPixel(on.x, on.y));
    const POINT c = ButtonCentre(3);
    frametest::MoveMouse(c.x, c.y);
    EXPECT_EQ(bar->HotButton(), 3);
    EXPECT_EQ(BarPixel(r.Left + on.x, r.Top + on.y), min->PicMouseOn().GetPixel(on.x, on.y));
    frametest::PressLeft();
    EXPECT_TRUE(bar->MouseIsDown());
    EXPECT_EQ(BarPixel(r.Left + down.x, r.Top + down.y), min->PicMouseDown().GetPixel(down.x, down.y));
    // Pulled off the button it shows normal, back on it pressed again; over another button that
    // one stays normal too, since a release there clicks nothing.
    frametest::MoveMouse(c.x, c.y + 60);
    EXPECT_EQ(bar->HotButton(), -1);
    EXPECT_EQ(BarPixel(r.Left + on.x, r.Top + on.y), min->PicNormal().GetPixel(on.x, on.y));
    frametest::MoveMouse(c.x, c.y);
    EXPECT_EQ(BarPixel(r.Left + down.x, r.Top + down.y), min->PicMouseDown().GetPixel(down.x, down.y));
    TsuiTitleBarButton* close = bar->Buttons().Items(1);
    POINT closeDown{};
    ASSERT_TRUE(DifferingPixel(close, close->PicMouseDown(), closeDown));
    const auto cr = *bar->LastButtonLayout().Rects[1];
    const POINT cc = ButtonCentre(1);
    frametest::MoveMouse(cc.x, cc.y);
    EXPECT_EQ(bar->HotButton(), 1);
    EXPECT_EQ(BarPixel(cr.Left + closeDown.x, cr.Top + closeDown.y), close->PicNormal().GetPixel(closeDown.x, closeDown.y));
    EXPECT_EQ(BarPixel(r.Left + on.x, r.Top + on.y), min->PicNormal().GetPixel(on.x, on.y));
    frametest::MoveMouse(c.x, c.y + 60);
    frametest::ReleaseLeft();
    EXPECT_FALSE(bar->MouseIsDown());
    EXPECT_FALSE(IsIconic(host->Handle()));
}

// The platform's rule for buttons: one acts when the left button goes down and comes up on it; a
// slide off cancels and a slide back on arms it again.
TEST_F(TitleBarTest, AButtonActsOnlyWhenPressedAndReleasedOnIt) {
    enum Spot { Min, Close, OffTheBar, None };
    struct Case {
        const char* name;
        Spot press;
        std::vector<Spot> slide;
        bool closes, minimises;
    } cases[] = {
        {"press and release on close", Close, {}, true, false},
        {"press on minimise, release on close", Min, {Close}, false, false},
        {"press on close, release on minimise", Close, {Min}, false, false},
        {"release on close with no press on the bar", None, {Close}, false, false},
        {"press on minimise, release off the bar", Min, {OffTheBar}, false, false},
        {"press on close, off the bar and back on", Close, {OffTheBar, Close}, true, false},
        {"press on minimise, over close and back", Min, {Close, Min}, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MakeHost();
        auto where = [&](Spot spot) {
            if (spot == OffTheBar) {
                const POINT p = ButtonCentre(3);
                return POINT{p.x, p.y + 80};
            }
            return ButtonCentre(spot == Min ? 3 : 1);
        };
        if (c.press != None) {
            const POINT p = where(c.press);
            frametest::MoveMouse(p.x, p.y);
            frametest::PressLeft();
        }
        for (Spot spot : c.slide) {
            const POINT p = where(spot);
            frametest::MoveMouse(p.x, p.y);
        }
        frametest::ReleaseLeft();
        EXPECT_EQ(!host->Visible(), c.closes);
        EXPECT_EQ(IsIconic(host->Handle()) != FALSE, c.minimises);
        EXPECT_EQ(bar->PressedButton(), -1);
        frametest::ParkMouse();
    }
}

TEST_F(TitleBarTest, APressEndsWhenAnotherWindowTakesTheMouse) {
    const POINT close = ButtonCentre(1);
    frametest::MoveMouse(close.x, close.y);
    frametest::PressLeft();
    ASSERT_EQ(bar->PressedButton(), 1);
    tk::MouseCapture other;
    other.Take(host->Handle());  // as a box or a menu coming up would
    frametest::PumpFor(60);
    EXPECT_EQ(bar->PressedButton(), -1);
    EXPECT_FALSE(bar->MouseIsDown());
    frametest::ReleaseLeft();
    other.Release();
    frametest::ReleaseLeft();  // a later release on the button, with no press of its own
    EXPECT_TRUE(host->Visible());
}

TEST_F(TitleBarTest, MinimiseActsOnTheApplicationFromTheMainWindowOnly) {
    Click(ButtonCentre(3));
    EXPECT_TRUE(IsIconic(host->Handle()));
    EXPECT_TRUE(host->SystemCommands.empty());  // another form: only itself, no system command
    ShowWindow(host->Handle(), SW_RESTORE);
    qdtest::PumpIdle();
    bar->Render();
    tk::Application().SetMainForm(host.get());
    Click(ButtonCentre(3));
    EXPECT_TRUE(IsIconic(host->Handle()));
    ASSERT_FALSE(host->SystemCommands.empty());
    EXPECT_EQ(host->SystemCommands.front(), static_cast<WPARAM>(SC_MINIMIZE));
}

TEST_F(TitleBarTest, MaximiseSwapsToTheRestorePicturesAndBack) {
    TsuiTitleBarButton* max = bar->Buttons().Items(2);
    EXPECT_TRUE(SamePixels(max->PicNormal(), StripPicture(TsuiUIStyle::DeepBlue, 7)));
    Click(ButtonCentre(2));
    ASSERT_TRUE(IsZoomed(host->Handle()));
    EXPECT_TRUE(SamePixels(max->PicNormal(), StripPicture(TsuiUIStyle::DeepBlue, 10)));
    EXPECT_TRUE(SamePixels(max->PicMouseDown(), StripPicture(TsuiUIStyle::DeepBlue, 12)));
    RECT work;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_EQ(frametest::WindowBounds(host->Handle()).left, work.left - 2);
    bar->Render();
    Click(ButtonCentre(2));
    EXPECT_FALSE(IsZoomed(host->Handle()));
    EXPECT_TRUE(SamePixels(max->PicNormal(), StripPicture(TsuiUIStyle::DeepBlue, 7)));
}

TEST_F(TitleBarTest, DraggingAFreeSpotMovesTheWindowExceptWhenMaximised) {
    const RECT before = frametest::WindowBounds(host->Handle());
    const POINT p = FreeSpot();
    frametest::DragFrom(p.x, p.y, 40, 30);
    const RECT after = frametest::WindowBounds(host->Handle());
    EXPECT_EQ(after.left - before.left, 40);
    EXPECT_EQ(after.top - before.top, 30);
    ShowWindow(host->Handle(), SW_MAXIMIZE);
    qdtest::PumpIdle();
    const RECT maxed = frametest::WindowBounds(host->Handle());
    const POINT q = FreeSpot();
    frametest::MoveMouse(q.x, q.y);
    frametest::PressLeft();
    frametest::MoveMouse(q.x + 40, q.y + 30);
    frametest::ReleaseLeft();
    const RECT still = frametest::WindowBounds(host->Handle());
    EXPECT_EQ(still.left, maxed.left);
    EXPECT_EQ(still.top, maxed.top);
}

TEST_F(TitleBarTest, DoubleClickMaximisesOnlyWithAVisibleMaximiseButton) {
    const POINT p = FreeSpot();
    POINT client = p;
    ScreenToClient(bar->Handle(), &client);
    frametest::DoubleClickClient(bar->Handle(), client.x, client.y);
    EXPECT_TRUE(IsZoomed(host->Handle()));
    frametest::DoubleClickClient(bar->Handle(), client.x, client.y);
    EXPECT_FALSE(IsZoomed(host->Handle()));
    bar->Buttons().Items(2)->SetVisible(false);
    bar->Render();
    frametest::DoubleClickClient(bar->Handle(), client.x, client.y);
    EXPECT_FALSE(IsZoomed(host->Handle()));
}

TEST_F(TitleBarTest, CaptionIsCutWithAnEllipsisAndStartsPastTheIcon) {
    bar->SetCaption(std::wstring(200, L'W'));
    bar->Render();
    const std::wstring shown = bar->LastCaptionText();
    ASSERT_GE(shown.size(), 3u);
    EXPECT_EQ(shown.substr(shown.size() - 3), L"...");
    EXPECT_LT(shown.size(), 200u);
    const auto& icon = bar->LastIconLayout();
    EXPECT_EQ(icon.CaptionX, icon.IconX + 21);
    bar->SetDrawAppIcon(false);
    bar->Render();
    EXPECT_EQ(bar->LastIconLayout().CaptionX, icon.IconX + bar->Buttons().Items(0)->PicNormal().Width() + 5);
    bar->SetCaption(L"Short");
    bar->Render();
    EXPECT_EQ(bar->LastCaptionText(), L"Short");
}

TEST_F(TitleBarTest, ACaptionSectionIsFittedToTheCaption) {
    tk::TBitmap left, middle, right;
    LoadBuiltInBitmap(TsuiUIStyle::DeepBlue, 10, &left);
    LoadBuiltInBitmap(TsuiUIStyle::DeepBlue, 11, &middle);
    LoadBuiltInBitmap(TsuiUIStyle::DeepBlue, 12, &right);
    bar->Sections().Clear();
    bar->Sections().Add()->SetPicture(left);
    TsuiTitleBarSection* caption = bar->Sections().Add();
    caption->SetPicture(middle);
    caption->SetCapSec(true);
    TsuiTitleBarSection* client = bar->Sections().Add();
    client->SetPicture(middle);
    client->SetAlign(TsuiTitleBarAlign::suiClient);
    TsuiTitleBarSection* end = bar->Sections().Add();
    end->SetPicture(right);
    end->SetAlign(TsuiTitleBarAlign::suiRight);
    bar->SetCaption(L"Hello");
    bar->Render();
    EXPECT_EQ(bar->FittedCaption(), L"Hello");
    EXPECT_EQ(bar->LastCaptionText(), L"Hello");
    bar->SetCaption(std::wstring(300, L'W'));
    bar->Render();
    const std::wstring fitted = bar->FittedCaption();
    ASSERT_GT(fitted.size(), 3u);
    EXPECT_EQ(fitted.substr(fitted.size() - 3), L"...");
    EXPECT_EQ(bar->LastCaptionText(), fitted);
    // Without a caption section nothing is fitted: the plain shortening applies.
    caption->SetCapSec(false);
    bar->Render();
    EXPECT_TRUE(bar->FittedCaption().empty());
}

TEST_F(TitleBarTest, InactiveCaptionColour) {
    bar->SetCaption(L"MMMMMMMM");
    bar->SetInactiveCaptionColor(0x00FF00);
    auto count = [&](COLORREF colour) {
        int n = 0;
        for (int y = 0; y < bar->Height(); ++y)
            for (int x = 0; x < 150; ++x)
                if (BarPixel(x, y) == colour) ++n;
        return n;
    };
    bar->SetFormActive(false);
    bar->Render();
    EXPECT_GT(count(0x00FF00), 10);
    bar->SetFormActive(true);
    bar->Render();
    EXPECT_EQ(count(0x00FF00), 0);
    EXPECT_GT(count(0xFFFFFF), 10);  // DeepBlue's white caption
}

TEST_F(TitleBarTest, HelpAndCustomButtonsRaiseTheirEvents) {
    TsuiTitleBarButton* help = bar->Buttons().Add();
    help->SetButtonType(B::suiHelp);
    TsuiTitleBarButton* custom = bar->Buttons().Add();
    custom->SetPicNormal(StripPicture(TsuiUIStyle::DeepBlue, 4));
    custom->SetPicMouseOn(StripPicture(TsuiUIStyle::DeepBlue, 5));
    custom->SetPicMouseDown(StripPicture(TsuiUIStyle::DeepBlue, 6));
    int helpIndex = -1, customIndex = -1, customClicks = 0;
    tk::TComponent* sender = nullptr;
    bar->OnHelpBtnClick = [&](tk::TComponent* s, int i) { helpIndex = i; sender = s; };
    bar->OnCustomBtnsClick = [&](tk::TComponent*, int i) {
        customIndex = i;
        ++customClicks;
    };
    bar->Render();
    Click(ButtonCentre(4));
    EXPECT_EQ(helpIndex, 4);
    EXPECT_EQ(sender, bar);
    Click(ButtonCentre(5));
    EXPECT_EQ(customIndex, 5);
    // A double click on a button is two clicks, as on the platform's buttons.
    POINT c = ButtonCentre(5);
    ScreenToClient(bar->Handle(), &c);
    frametest::DoubleClickClient(bar->Handle(), c.x, c.y);
    EXPECT_EQ(customClicks, 3);
    EXPECT_TRUE(host->Visible());
}

TEST_F(TitleBarTest, SystemMenuCommandsActOnTheForm) {
    EXPECT_EQ(bar->SystemMenuEnabled(), (skin::SystemMenuStates{true, true, true}));
    bar->SystemMaximizeRestore();
    EXPECT_TRUE(IsZoomed(host->Handle()));
    bar->SystemMaximizeRestore();
    EXPECT_FALSE(IsZoomed(host->Handle()));
    bar->Buttons().Items(2)->SetVisible(false);
    EXPECT_EQ(bar->SystemMenuEnabled(), (skin::SystemMenuStates{true, false, true}));
    bar->SystemMaximizeRestore();  // no visible maximise button: nothing
    EXPECT_FALSE(IsZoomed(host->Handle()));
    bar->SystemMinimize();
    EXPECT_TRUE(IsIconic(host->Handle()));
    ShowWindow(host->Handle(), SW_RESTORE);
    bar->SystemClose();
    EXPECT_FALSE(host->Visible());
}

TEST_F(TitleBarTest, TheSystemMenusItemsAndTheirEnabledStates) {
    TsuiTitleBarPopupMenu* menu = bar->SystemMenu();
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(menu->Items()->Count(), 4);
    EXPECT_EQ(menu->Items()->Items(0)->Caption(), L"Mi&nimize");
    EXPECT_EQ(menu->Items()->Items(1)->Caption(), L"Ma&ximize/Restore");
    EXPECT_TRUE(menu->Items()->Items(2)->IsLine());
    EXPECT_EQ(menu->Items()->Items(3)->Caption(), L"&Close");
    EXPECT_EQ(menu->UIStyle(), TsuiUIStyle::DeepBlue);
    bar->Buttons().Items(2)->SetVisible(false);
    bar->Buttons().Items(1)->SetVisible(false);
    {
        frametest::MenuWatcher watcher({VK_ESCAPE});
        bar->PopupSystemMenuAt(200, 200);
        EXPECT_TRUE(watcher.Join());
    }
    EXPECT_TRUE(menu->MinimizeItem()->Enabled());
    EXPECT_FALSE(menu->MaximizeItem()->Enabled());
    EXPECT_FALSE(menu->CloseItem()->Enabled());
    bar->Buttons().Items(2)->SetVisible(true);
    bar->Buttons().Items(1)->SetVisible(true);
    {
        // Down to Maximize/Restore and choose it.
        frametest::MenuWatcher watcher({VK_DOWN, VK_DOWN, VK_RETURN});
        bar->PopupSystemMenuAt(200, 200);
        EXPECT_TRUE(watcher.Join());
    }
    EXPECT_TRUE(menu->MaximizeItem()->Enabled());
    EXPECT_TRUE(IsZoomed(host->Handle()));
}

TEST_F(TitleBarTest, ClickingTheIconPopsTheSystemMenuUpBelowTheBar) {
    const auto& icon = *bar->LastIconLayout().ControlBox;
    POINT below{0, bar->Height()};
    ClientToScreen(bar->Handle(), &below);
    frametest::MenuWatcher watcher({VK_DOWN, VK_RETURN});  // Minimize
    Click(BarPoint((icon.Left + icon.Right) / 2, (icon.Top + icon.Bottom) / 2));
    ASSERT_TRUE(watcher.Join());
    EXPECT_EQ(watcher.Where().left, below.x);
    EXPECT_EQ(watcher.Where().top, below.y);
    EXPECT_TRUE(qdtest::PumpUntil([&] { return IsIconic(host->Handle()) != FALSE; }, 2000));
}

TEST_F(TitleBarTest, AltSpacePopsTheSystemMenuUpAtTheWindowsCorner) {
    RECT window = frametest::WindowBounds(host->Handle());
    frametest::MenuWatcher watcher({VK_ESCAPE});
    PostMessageW(host->Handle(), WM_SYSCHAR, VK_SPACE, 1 << 29);
    // Through the application's loop, whose message hook sees the key before it is dispatched.
    tk::Application().ProcessMessages();
    ASSERT_TRUE(watcher.Join());
    EXPECT_EQ(watcher.Where().left, window.left);
    EXPECT_EQ(watcher.Where().top, window.top + bar->Height());
}

TEST_F(TitleBarTest, AutoSizeFollowsSectionZero) {
    const int h = bar->Sections().Items(0)->Picture().Height() - 3;
    bar->SetHeight(50);
    bar->SetAutoSize(false);
    EXPECT_EQ(bar->Height(), h);
    bar->Sections().Clear();
    bar->SetAutoSize(true);
    EXPECT_FALSE(bar->AutoSize());
    EXPECT_EQ(bar->Height(), h);
}

// A frame of its own kind: a panel that answers the title bar's two questions and counts them.
class CountingFrame : public tk::TCustomPanel, public TsuiTitleBarFrameHost {
public:
    using tk::TCustomPanel::TCustomPanel;
    void PaintFrame() override { ++paints; }
    int TitleBarInset() const override {
        ++insetQuestions;
        return 7;
    }
    int paints = 0;
    mutable int insetQuestions = 0;
};

TEST(TitleBarFrameHost, ABarOnAnyFrameHostTakesItsInsetAndAsksItToPaint) {
    tk::Application().Initialize();
    HostForm form;  // no skinned frame on it: only the panel answers
    auto* frame = new CountingFrame(&form);
    frame->SetParent(&form);
    frame->SetBounds(0, 0, 400, 200);
    auto* bar = new TsuiTitleBar(frame);
    bar->SetParent(frame);
    bar->SetBounds(0, 0, 400, 30);
    bar->SetUIStyle(TsuiUIStyle::DeepBlue);
    form.Show();
    qdtest::PumpIdle();
    ASSERT_TRUE(bar->OnFrame());
    EXPECT_EQ(bar->FrameHost(), frame);
    // On a frame the bar sits 3 rows into the title image, which reaches the inset past each side.
    EXPECT_EQ(bar->Height(), bar->Sections().Items(0)->Picture().Height() - 3);
    bar->Render();
    EXPECT_GT(frame->insetQuestions, 0);
    EXPECT_EQ(bar->RawTitleImage().Width(), bar->Width() + 2 * 7);
    EXPECT_EQ(bar->RawTitleImage().Height(), bar->Height() + 3);
    // The built-in sections hold no caption section: the frame is not asked to paint.
    EXPECT_EQ(frame->paints, 0);
    bar->Sections().Items(0)->SetCapSec(true);
    bar->Render();
    EXPECT_GT(frame->paints, 0);
}

}  // namespace
