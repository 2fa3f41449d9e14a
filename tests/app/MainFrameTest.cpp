// The main window in its skinned frame: with the program's skin beside it, without one, with a
// damaged or encrypted one; its title bar buttons, drag and wake-up driven by the mouse and by the
// wake-up message; the list reaching the frame's bottom.
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <memory>

#include "app/Main.h"
#include "resources/forms/MainFormDesc.h"
#include "skin/theme/BuiltInBitmaps.h"
#include "skin/theme/StyleItems.h"
#include "tests/skin/controls/FrameTestSupport.h"
#include "tests/skin/reader/SkinTestFiles.h"
#include "tests/support/RealInput.h"
#include "tests/support/TempDir.h"
#include "tests/support/WinTest.h"
#include "toolkit/win/Application.h"

namespace {

class MainFrameTest : public testing::Test {
protected:
    void SetUp() override {
        tk::Application().Initialize();
        tk::Application().SetExceptionHandler([this](const std::wstring& m) { errors.push_back(m); });
        frametest::ParkMouse();
    }
    void TearDown() override {
        frametest::ParkMouse();
        tk::Application().SetMainForm(nullptr);
        form.reset();
        tk::Application().SetExceptionHandler(nullptr);
    }
    void Start(const std::wstring& skin = L"Silver.ssk") {
        qd::MainSettings s{key.Path(), L"C:\\Tools\\Quiverdir.exe", (dir / "options.ini").wstring(), L"C:\\windows",
                           L"", {}, skin};
        s.BackupFolder = (dir / "backups").wstring();
        form = std::make_unique<qd::TfrmMain>(nullptr, s);
        tk::Application().SetMainForm(form.get());
        SetForegroundWindow(form->Handle());
        qdtest::PumpIdle();
        bar = form->suiForm1->TitleBar();
        bar->Render();
    }
    POINT BarPoint(int x, int y) {
        POINT p{x, y};
        ClientToScreen(bar->Handle(), &p);
        return p;
    }
    POINT ButtonCentre(int i) {
        const auto& r = *bar->LastButtonLayout().Rects[static_cast<std::size_t>(i)];
        return BarPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
    }
    void Click(POINT p) {
        frametest::MoveMouse(p.x, p.y);
        frametest::PressLeft();
        frametest::ReleaseLeft();
    }
    // The look every variant shares: no system caption, the maximise button never shown, the tool
    // bar in the frame's grey, the list down to the frame's bottom.
    void ExpectFramedLayout() {
        HWND h = form->Handle();
        EXPECT_EQ(GetWindowLongW(h, GWL_STYLE) & WS_CAPTION, 0);
        RECT client;
        GetClientRect(h, &client);
        EXPECT_EQ(client.right, qd::desc::kMainClientWidth);
        EXPECT_EQ(client.bottom, qd::desc::kMainClientHeight);
        EXPECT_EQ(form->lvMain->Top() + form->lvMain->Height(), form->suiForm1->ClientHeight());
        const auto& layout = bar->LastButtonLayout();
        EXPECT_TRUE(layout.Rects[1]);   // close
        EXPECT_FALSE(layout.Rects[2]);  // maximise: hidden
        EXPECT_TRUE(layout.Rects[3]);   // minimise
        EXPECT_EQ(layout.ControlBox, 0);
        // Its system menu: minimise and close, not maximise/restore.
        EXPECT_EQ(bar->SystemMenuEnabled(), (skin::SystemMenuStates{true, false, true}));
        EXPECT_EQ(bar->LastCaptionText(), qd::desc::kMainCaption);
        // A blank spot at the tool bar's right end shows the grey under the bar.
        EXPECT_EQ(frametest::ClientPixel(form->suiToolBar1->Handle(), form->suiToolBar1->Width() - 4, 4), 0xE8E8E8u);
        EXPECT_TRUE(errors.empty());
    }
    void ExpectDeepBlue() {
        EXPECT_FALSE(form->suiFileTheme1->Ready());
        EXPECT_EQ(form->suiForm1->UIStyle(), TsuiUIStyle::FromThemeFile);
        EXPECT_EQ(form->suiForm1->LeftBorderWidth(), 0);
        EXPECT_EQ(SendMessageW(form->Handle(), FrameInsetQuery, 0, 0), form->suiForm1->HostBottomFrame() - 1);
        EXPECT_EQ(bar->TitleFont().Color, tk::clWhite);
        tk::TBitmap middle;
        LoadBuiltInBitmap(TsuiUIStyle::DeepBlue, 11, &middle);
        // The title's stretched middle piece, drawn from 3 rows above the bar on the frame.
        for (int y : {2, 10, 20}) EXPECT_EQ(frametest::ClientPixel(bar->Handle(), 300, y), middle.GetPixel(0, y + 3)) << y;
        EXPECT_EQ(frametest::WindowPixel(form->Handle(), 200, form->Height() - 1), 0x000000u);
        ExpectFramedLayout();
    }

    qdtest::TempDir dir;
    qdtest::PrivateKey key;
    std::unique_ptr<qd::TfrmMain> form;
    TsuiTitleBar* bar = nullptr;
    std::vector<std::wstring> errors;
};

TEST_F(MainFrameTest, WithTheSkinBesideTheProgramFrameAndTitleComeFromIt) {
    // Started from another folder: the bare name is found beside the program.
    const std::filesystem::path saved = std::filesystem::current_path();
    std::filesystem::current_path(dir.Path());
    Start();
    std::filesystem::current_path(saved);
    ASSERT_TRUE(form->suiFileTheme1->Ready());
    EXPECT_EQ(form->suiForm1->FileTheme(), form->suiFileTheme1);
    EXPECT_EQ(form->suiForm1->LeftBorderWidth(), 4);
    EXPECT_EQ(SendMessageW(form->Handle(), FrameInsetQuery, 0, 0), 4);
    EXPECT_EQ(bar->TitleFont().Color, 0x302A26u);
    tk::TBitmap* middle = form->suiFileTheme1->GetThemeBitmap(SKIN2_TITLEBAR2);
    EXPECT_EQ(frametest::WindowPixel(form->Handle(), form->Width() / 2, 12), middle->GetPixel(0, 12));
    // The rounded outline of the skin.
    const tk::ScopedRegion r(CreateRectRgn(0, 0, 0, 0));
    ASSERT_NE(GetWindowRgn(form->Handle(), r.get()), ERROR);
    EXPECT_FALSE(PtInRegion(r.get(), 0, 0));
    EXPECT_TRUE(PtInRegion(r.get(), form->Width() / 2, 0));
    // The tool bar keeps its own look: no theme was passed to it.
    ExpectFramedLayout();
}

TEST_F(MainFrameTest, WithoutTheSkinTheWindowIsDeepBlueSilently) {
    Start(L"NoSuchSkin.ssk");
    ExpectDeepBlue();
}

TEST_F(MainFrameTest, ADamagedOrEncryptedSkinGivesDeepBlueSilently) {
    qdtest::WriteFile(dir / "damaged.ssk", skin::Bytes{'S', 'K', 1, 2, 3, 4, 5});
    Start((dir / "damaged.ssk").wstring());
    ExpectDeepBlue();
    form.reset();
    qdtest::WriteFile(dir / "locked.ssk", qdtest::SkinArchive(qdtest::SmallSkinRecords(), "secret"));
    Start((dir / "locked.ssk").wstring());
    ExpectDeepBlue();
}

TEST_F(MainFrameTest, MinimiseAndWakeUpRestoreTheSkinnedWindow) {
    Start();
    Click(ButtonCentre(3));
    ASSERT_TRUE(IsIconic(form->Handle()));
    PostMessageW(form->Handle(), qd::desc::kInstanceWakeup, 0, 0);
    ASSERT_TRUE(qdtest::PumpUntil([&] { return !IsIconic(form->Handle()); }));
    qdtest::PumpIdle();
    EXPECT_EQ(GetWindowLongW(form->Handle(), GWL_STYLE) & WS_CAPTION, 0);
    EXPECT_EQ(SendMessageW(form->Handle(), FrameInsetQuery, 0, 0), 4);
    bar->Render();
    ExpectFramedLayout();
}

TEST_F(MainFrameTest, CloseThroughTheTitleBarEndsTheProgram) {
    Start();
    Click(ButtonCentre(1));
    EXPECT_FALSE(form->Visible());
    EXPECT_TRUE(tk::Application().Terminated());
}

TEST_F(MainFrameTest, EscapeAStrayCancelCommandAndASlideFromMinimiseToCloseLeaveTheWindowAsItIs) {
    Start();
    SetForegroundWindow(form->Handle());
    realinput::Settle();
    ASSERT_EQ(GetActiveWindow(), form->Handle());
    // Escape typed as a person types it, through the application's loop and its dialog manager,
    // which makes it a cancel command (identifier 2), and the same command posted by anyone.
    realinput::Key(VK_ESCAPE);
    PostMessageW(form->Handle(), WM_COMMAND, IDCANCEL, 0);
    PostMessageW(form->Handle(), WM_COMMAND, IDOK, 0);
    realinput::Settle(200);
    EXPECT_FALSE(IsIconic(form->Handle()));
    EXPECT_TRUE(IsWindowVisible(form->Handle()));
    realinput::SaveScreenshot(form->Handle(), "main-after-escape");
    // Pressed on minimise, released on close: neither acts.
    const POINT min = ButtonCentre(3), close = ButtonCentre(1);
    frametest::MoveMouse(min.x, min.y);
    frametest::PressLeft();
    frametest::MoveMouse(close.x, close.y);
    frametest::ReleaseLeft();
    EXPECT_TRUE(form->Visible());
    EXPECT_FALSE(IsIconic(form->Handle()));
    EXPECT_FALSE(tk::Application().Terminated());
}

TEST_F(MainFrameTest, DraggingTheTitleMovesTheWindowAndDoubleClickDoesNothing) {
    Start();
    const RECT before = frametest::WindowBounds(form->Handle());
    const POINT p = BarPoint(bar->Width() / 2, bar->Height() / 2);
    frametest::DragFrom(p.x, p.y, -30, 25);
    const RECT after = frametest::WindowBounds(form->Handle());
    EXPECT_EQ(after.left - before.left, -30);
    EXPECT_EQ(after.top - before.top, 25);
    const POINT q = BarPoint(bar->Width() / 2, bar->Height() / 2);
    POINT c = q;
    ScreenToClient(bar->Handle(), &c);
    frametest::DoubleClickClient(bar->Handle(), c.x, c.y);
    EXPECT_FALSE(IsZoomed(form->Handle()));
}

TEST_F(MainFrameTest, TheSystemMenuOffersMinimiseAndCloseButNotMaximise) {
    Start();
    const auto& icon = *bar->LastIconLayout().ControlBox;
    TsuiTitleBarPopupMenu* menu = bar->SystemMenu();
    EXPECT_EQ(menu->FileTheme(), form->suiFileTheme1);  // drawn in the skin's menu colours
    // Up from nothing chosen lands on the last enabled item: Close.
    frametest::MenuWatcher watcher({VK_UP, VK_RETURN});
    Click(BarPoint((icon.Left + icon.Right) / 2, (icon.Top + icon.Bottom) / 2));
    ASSERT_TRUE(watcher.Join());
    EXPECT_TRUE(menu->MinimizeItem()->Enabled());
    EXPECT_FALSE(menu->MaximizeItem()->Enabled());
    EXPECT_TRUE(menu->CloseItem()->Enabled());
    EXPECT_TRUE(qdtest::PumpUntil([&] { return tk::Application().Terminated(); }, 2000));
    EXPECT_FALSE(form->Visible());
}

TEST_F(MainFrameTest, AltSpaceTypedInTheListOpensTheSkinnedSystemMenuAtTheWindowsCorner) {
    Start();
    realinput::Settle();
    ASSERT_EQ(GetFocus(), form->lvMain->Handle());
    const RECT window = frametest::WindowBounds(form->Handle());
    frametest::MenuWatcher watcher({VK_ESCAPE});
    realinput::KeyDown(VK_MENU);
    realinput::Key(VK_SPACE);
    realinput::KeyUp(VK_MENU);
    ASSERT_TRUE(watcher.Join());
    EXPECT_EQ(watcher.Where().left, window.left);
    EXPECT_EQ(watcher.Where().top, window.top + bar->Height());
    realinput::Settle();
    EXPECT_TRUE(IsWindowVisible(form->Handle()));
    EXPECT_TRUE(errors.empty());
}

TEST_F(MainFrameTest, TheAddDialogIsCentredOnTheFramedWindow) {
    Start();
    RECT placed{};
    qdtest::UiScript script(form->Handle(), [&](DWORD ui) {
        HWND w = qdtest::WaitForTopWindow(ui, L"增加快捷目录");
        if (!w) return;
        GetWindowRect(w, &placed);
        PostMessageW(w, WM_CLOSE, 0, 0);
        qdtest::WaitUntilGone(w);
    });
    form->tbAddClick(form.get());
    script.Join();
    const RECT owner = frametest::WindowBounds(form->Handle());
    ASSERT_GT(placed.right, placed.left);
    EXPECT_NEAR((placed.left + placed.right) / 2, (owner.left + owner.right) / 2, 1);
    EXPECT_NEAR((placed.top + placed.bottom) / 2, (owner.top + owner.bottom) / 2, 1);
    EXPECT_EQ(form->lvMain->Count(), 2);  // closed without adding
}

}  // namespace
