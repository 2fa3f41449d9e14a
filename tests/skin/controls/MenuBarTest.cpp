// The form frame's menu bar on a real framed window under Wine: buttons built from the attached
// main menu and following its changes, the bar's painting read back from the window, keys and
// clicks as a person sends them, and the height the bar takes from the frame's content.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>

#include "skin/controls/MainMenu.h"
#include "skin/theme/StyleItems.h"
#include "tests/skin/controls/FrameTestSupport.h"
#include "tests/support/RealInput.h"
#include "tests/support/WinTest.h"
#include "toolkit/win/Application.h"
#include "toolkit/win/StdCtrls.h"

namespace {

using frametest::HostForm;

// Closes any popup menu that shows within the time and says whether one showed.
class MenuCloser {
public:
    explicit MenuCloser(int milliseconds) {
        thread_ = std::thread([this, milliseconds] {
            for (int waited = 0; waited < milliseconds; waited += 20) {
                Sleep(20);
                HWND popup = FindWindowW(L"#32768", nullptr);
                if (popup && IsWindowVisible(popup)) {
                    seen_ = true;
                    Sleep(100);
                    PostMessageW(popup, WM_KEYDOWN, VK_ESCAPE, 0);
                    return;
                }
            }
        });
    }
    ~MenuCloser() { Join(); }
    bool Join() {
        if (thread_.joinable()) thread_.join();
        return seen_;
    }

private:
    std::atomic<bool> seen_{false};
    std::thread thread_;
};

class MenuBarTest : public testing::Test {
protected:
    void SetUp() override {
        tk::Application().Initialize();
        host = std::make_unique<HostForm>();
        frame = new TsuiForm(host.get());
        host->Show();
        SetForegroundWindow(host->Handle());
        qdtest::PumpIdle();
    }
    void TearDown() override {
        realinput::MouseAway();
        host.reset();
    }
    // A main menu of the host with the top-level captions, each with one sub-item.
    TsuiMainMenu* MakeMenu(std::initializer_list<const wchar_t*> captions) {
        auto* menu = new TsuiMainMenu(host.get());
        for (const wchar_t* c : captions) menu->Items()->Add(c)->Add(L"Sub-item");
        menu->Loaded();
        return menu;
    }
    std::vector<std::wstring> Captions() {
        std::vector<std::wstring> result;
        for (TsuiMenuBarButton* b : frame->MenuBar()->MenuButtons()) result.push_back(b->Caption());
        return result;
    }
    // The screen rectangle of a bar button.
    RECT ScreenRect(int index) {
        TsuiMenuBar* bar = frame->MenuBar();
        const tk::TRect r = bar->ButtonRect(bar->MenuButtons().at(static_cast<size_t>(index)));
        POINT a{r.Left, r.Top}, b{r.Right, r.Bottom};
        ClientToScreen(bar->Handle(), &a);
        ClientToScreen(bar->Handle(), &b);
        return {a.x, a.y, b.x, b.y};
    }
    void Repaint() {
        RedrawWindow(frame->MenuBar()->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        qdtest::PumpIdle();
    }

    std::unique_ptr<HostForm> host;
    TsuiForm* frame = nullptr;
};

TEST_F(MenuBarTest, ButtonsFollowTheAttachedMenu) {
    EXPECT_EQ(frame->MenuBar(), nullptr);
    TsuiMainMenu* first = MakeMenu({L"&File", L"&Edit", L"&Help"});
    frame->SetMenu(first);
    ASSERT_NE(frame->MenuBar(), nullptr);
    EXPECT_EQ(first->Form(), frame);
    EXPECT_EQ(Captions(), (std::vector<std::wstring>{L"&File", L"&Edit", L"&Help"}));
    const std::vector<TsuiMenuBarButton*> buttons = frame->MenuBar()->MenuButtons();
    for (size_t i = 0; i < buttons.size(); ++i) {
        EXPECT_TRUE(buttons[i]->Grouped());
        EXPECT_EQ(buttons[i]->MenuItem(), first->Items()->Items(static_cast<int>(i)));
    }
    // Shown left to right in menu order, side by side.
    EXPECT_LT(ScreenRect(0).right, ScreenRect(1).right);
    EXPECT_EQ(ScreenRect(0).right, ScreenRect(1).left);
    EXPECT_LT(ScreenRect(1).right, ScreenRect(2).right);

    // Another menu replaces the buttons; the first menu no longer points at the frame.
    TsuiMainMenu* second = MakeMenu({L"&Tools", L"&Window"});
    frame->SetMenu(second);
    EXPECT_EQ(Captions(), (std::vector<std::wstring>{L"&Tools", L"&Window"}));
    EXPECT_EQ(first->Form(), nullptr);
    EXPECT_EQ(second->Form(), frame);

    // A changed caption or enabled state shows at the menu's change notification.
    second->Items()->Items(0)->SetCaption(L"&Options");
    second->Items()->Items(1)->SetEnabled(false);
    EXPECT_EQ(Captions(), (std::vector<std::wstring>{L"&Options", L"&Window"}));
    HWND bar = frame->MenuBar()->Handle();
    const int id = frame->MenuBar()->MenuButtons()[1]->CommandId();
    EXPECT_EQ(SendMessageW(bar, TB_GETSTATE, id, 0) & TBSTATE_ENABLED, 0);
    second->Items()->Items(1)->SetEnabled(true);
    EXPECT_NE(SendMessageW(bar, TB_GETSTATE, id, 0) & TBSTATE_ENABLED, 0);

    // The menu and the frame hear of each other's end.
    delete second;
    EXPECT_EQ(frame->Menu(), nullptr);
    EXPECT_EQ(frame->MenuBar(), nullptr);
    frame->SetMenu(first);
    delete frame;
    frame = nullptr;
    EXPECT_EQ(first->Form(), nullptr);
}

TEST_F(MenuBarTest, HeightSettingAndTheContentArea) {
    const int titleHeight = frame->TitleBar()->Height();
    frame->SetMenuBarHeight(30);
    EXPECT_EQ(frame->MenuBarHeight(), 0);  // no bar yet
    EXPECT_EQ(frame->ContentTop(), titleHeight);
    int changes = 0;
    frame->OnContentTopChanged = [&](tk::TComponent*) { ++changes; };
    frame->SetMenu(MakeMenu({L"&File"}));
    EXPECT_EQ(frame->MenuBarHeight(), 30);
    EXPECT_EQ(frame->MenuBar()->Height(), 30);
    EXPECT_EQ(frame->MenuBar()->Top(), titleHeight);
    EXPECT_EQ(frame->ContentTop(), titleHeight + 30);
    EXPECT_EQ(frame->MenuBar()->Width(), frame->ClientWidth());
    const tk::TRect r = frame->MenuBar()->ButtonRect(frame->MenuBar()->MenuButtons()[0]);
    EXPECT_EQ(r.Height(), 30);
    // The host cannot be made shorter than its bars.
    EXPECT_GE(host->MinHeight(), titleHeight + 30);

    frame->SetMenu(nullptr);
    EXPECT_EQ(frame->MenuBar(), nullptr);
    EXPECT_EQ(frame->MenuBarHeight(), 0);
    EXPECT_EQ(frame->ContentTop(), titleHeight);  // the height goes back to the content
    EXPECT_EQ(changes, 2);
}

TEST_F(MenuBarTest, BackgroundIsPlainOrAGradientAndDisabledCaptionsAreGrey) {
    TsuiMainMenu* menu = MakeMenu({L"&File", L"&Gone"});
    menu->Items()->Items(1)->SetEnabled(false);
    frame->SetMenu(menu);
    HWND bar = frame->MenuBar()->Handle();
    const int w = frame->MenuBar()->Width(), h = frame->MenuBar()->Height();
    const int x = w - 5;  // right of the buttons

    frame->SetMenuBarColor(RGB(200, 40, 40));
    frame->SetMenuBarToColor(RGB(200, 40, 40));
    Repaint();
    EXPECT_EQ(realinput::Pixel(bar, x, 0), RGB(200, 40, 40));
    EXPECT_EQ(realinput::Pixel(bar, x, h - 1), RGB(200, 40, 40));

    frame->SetMenuBarToColor(RGB(40, 40, 200));
    Repaint();
    const COLORREF top = realinput::Pixel(bar, x, 0), bottom = realinput::Pixel(bar, x, h - 1);
    EXPECT_GT(GetRValue(top), 180);
    EXPECT_LT(GetBValue(top), 60);
    EXPECT_LT(GetRValue(bottom), 60);
    EXPECT_GT(GetBValue(bottom), 180);
    const COLORREF middle = realinput::Pixel(bar, x, h / 2);
    EXPECT_GT(GetRValue(middle), 60);
    EXPECT_LT(GetRValue(middle), 180);

    // The disabled item's caption in grey; the enabled one's in the style's colour.
    const tk::TRect gone = frame->MenuBar()->ButtonRect(frame->MenuBar()->MenuButtons()[1]);
    const tk::TRect file = frame->MenuBar()->ButtonRect(frame->MenuBar()->MenuButtons()[0]);
    EXPECT_GT(realinput::CountColor(bar, {gone.Left, gone.Top, gone.Right, gone.Bottom}, 0x808080), 10);
    EXPECT_EQ(realinput::CountColor(bar, {file.Left, file.Top, file.Right, file.Bottom}, 0x808080), 0);
}

TEST_F(MenuBarTest, HotButtonIsMarkedAndDrawnSelected) {
    frame->SetMenu(MakeMenu({L"&File", L"&View"}));
    TsuiMenuBar* bar = frame->MenuBar();
    TsuiMenuBarButton* file = bar->MenuButtons()[0];
    const tk::TRect r = bar->ButtonRect(file);
    EXPECT_EQ(file->Tag, 0);
    realinput::MouseMove(bar->Handle(), (r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
    realinput::Settle(200);
    EXPECT_EQ(file->Tag, kMenuBarHotTag);
    // DeepBlue's selected face fills the button.
    const COLORREF face = GetBuiltInColor(TsuiUIStyle::DeepBlue, 19);
    EXPECT_GT(realinput::CountColor(bar->Handle(), {r.Left, r.Top, r.Right, r.Bottom}, face), r.Width() * 4);

    // While a button is hot a plain letter opens the item whose accelerator it is.
    MenuCloser closer(3000);
    realinput::Key('V');
    realinput::Settle(300);
    EXPECT_TRUE(closer.Join());
}

TEST_F(MenuBarTest, PlainLetterDoesNothingAltWithTheAcceleratorOpens) {
    TsuiMainMenu* menu = MakeMenu({L"&File", L"&View", L"&Help"});
    frame->SetMenu(menu);
    auto* edit = new tk::TEdit(host.get());
    edit->SetParent(frame);
    edit->SetBounds(10, frame->ContentTop() + 10, 120, 21);
    qdtest::PumpIdle();
    SetFocus(edit->Handle());
    realinput::MouseAway();
    realinput::Settle(100);
    {
        MenuCloser closer(1000);
        realinput::Key('V');
        realinput::Settle(200);
        EXPECT_FALSE(closer.Join());
    }
    EXPECT_EQ(edit->Text(), L"v");  // the letter went to the edit

    frametest::MenuWatcher watcher({VK_ESCAPE});
    realinput::AltKey('V');
    realinput::Settle(300);
    ASSERT_TRUE(watcher.Join());
    // The View submenu, dropped below the View button.
    EXPECT_EQ(watcher.Where().left, ScreenRect(1).left);
    EXPECT_EQ(watcher.Where().top, ScreenRect(1).bottom);
}

TEST_F(MenuBarTest, ArrowKeysMoveBetweenTheSubmenus) {
    frame->SetMenu(MakeMenu({L"&File", L"&View", L"&Help"}));
    TsuiMenuBar* bar = frame->MenuBar();
    std::vector<int> opened;
    std::thread watch([&] {
        // Records where each submenu shows, then moves on: Right twice (wrapping to File), Left.
        const WPARAM keys[] = {VK_RIGHT, VK_RIGHT, VK_LEFT, VK_ESCAPE};
        HWND last = nullptr;
        for (WPARAM key : keys) {
            HWND popup = nullptr;
            for (int i = 0; i < 150 && !popup; ++i) {
                Sleep(20);
                HWND p = FindWindowW(L"#32768", nullptr);
                RECT r{};
                if (p && IsWindowVisible(p) && GetWindowRect(p, &r) && (p != last || opened.empty() || r.left != opened.back()))
                    popup = p;
            }
            if (!popup) return;
            RECT r;
            GetWindowRect(popup, &r);
            opened.push_back(r.left);
            last = popup;
            Sleep(150);
            PostMessageW(popup, WM_KEYDOWN, key, 0);
        }
    });
    realinput::AltKey('V');
    realinput::Settle(300);
    watch.join();
    (void)bar;
    ASSERT_EQ(opened.size(), 4u);
    EXPECT_EQ(opened[0], ScreenRect(1).left);  // View
    EXPECT_EQ(opened[1], ScreenRect(2).left);  // Help
    EXPECT_EQ(opened[2], ScreenRect(0).left);  // File, wrapped round
    EXPECT_EQ(opened[3], ScreenRect(2).left);  // Help again
}

TEST_F(MenuBarTest, AltWithTheAcceleratorThenEnterChoosesTheFirstItemOfTheDroppedMenu) {
    auto* menu = new TsuiMainMenu(host.get());
    menu->Items()->Add(L"&File")->Add(L"Sub-item");
    tk::TMenuItem* view = menu->Items()->Add(L"&View");
    int large = 0, small = 0;
    view->Add(L"&Large icons")->OnClick = [&](tk::TComponent*) { ++large; };
    view->Add(L"&Small icons")->OnClick = [&](tk::TComponent*) { ++small; };
    menu->Loaded();
    frame->SetMenu(menu);
    qdtest::PumpIdle();
    realinput::MouseAway();

    // A person's keys: Alt+V, then Enter once the submenu shows with its first item highlighted.
    std::atomic<bool> highlighted{false};
    const RECT bar = ScreenRect(1);
    std::thread person([&] {
        HWND popup = nullptr;
        for (int i = 0; i < 250 && !popup; ++i) {
            Sleep(20);
            HWND p = FindWindowW(L"#32768", nullptr);
            if (p && IsWindowVisible(p)) popup = p;
        }
        if (!popup) return;
        HMENU shown = reinterpret_cast<HMENU>(SendMessageW(popup, 0x01E1 /* MN_GETHMENU */, 0, 0));
        for (int i = 0; i < 100 && !highlighted; ++i) {
            highlighted = shown && (GetMenuState(shown, 0, MF_BYPOSITION) & MF_HILITE);
            if (!highlighted) Sleep(20);
        }
        RECT area{};
        GetWindowRect(popup, &area);
        realinput::SaveScreenArea({bar.left - 40, bar.top - 40, area.right + 40, area.bottom + 40},
                                  "menu-bar-dropped-from-keyboard");
        realinput::SendKeyOnly(VK_RETURN);
    });
    realinput::AltKey('V');
    EXPECT_TRUE(qdtest::PumpUntil([&] { return large + small > 0 && !frame->MenuBar()->DroppedButton(); }, 10000));
    person.join();
    EXPECT_TRUE(highlighted.load()) << "the dropped menu highlighted nothing";
    EXPECT_EQ(large, 1);
    EXPECT_EQ(small, 0);
}

TEST_F(MenuBarTest, ShortcutWorksFromAnEditOfTheActiveHost) {
    TsuiMainMenu* menu = MakeMenu({L"&File"});
    int runs = 0;
    tk::TMenuItem* quit = menu->Items()->Items(0)->Add(L"E&xit");
    quit->SetShortCut(static_cast<tk::TShortCut>(tk::scCtrl | 'Q'));
    quit->OnClick = [&](tk::TComponent*) { ++runs; };
    frame->SetMenu(menu);
    auto* edit = new tk::TEdit(host.get());
    edit->SetParent(frame);
    edit->SetBounds(10, frame->ContentTop() + 10, 120, 21);
    qdtest::PumpIdle();
    SetFocus(edit->Handle());
    realinput::Settle(100);

    realinput::KeyDown(VK_CONTROL);
    realinput::Key('Q');
    realinput::KeyUp(VK_CONTROL);
    realinput::Settle(150);
    EXPECT_EQ(runs, 1);
    // Q alone is no shortcut: it is typed into the edit.
    realinput::Key('Q');
    realinput::Settle(150);
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(edit->Text(), L"q");
    // A disabled item's shortcut does nothing.
    quit->SetEnabled(false);
    realinput::KeyDown(VK_CONTROL);
    realinput::Key('Q');
    realinput::KeyUp(VK_CONTROL);
    realinput::Settle(150);
    EXPECT_EQ(runs, 1);
}

TEST(MenuAcceleratorTest, LetterAfterASingleAmpersand) {
    EXPECT_EQ(MenuAccelerator(L"&File"), L'F');
    EXPECT_EQ(MenuAccelerator(L"E&xit"), L'X');
    EXPECT_EQ(MenuAccelerator(L"Save && &quit"), L'Q');
    EXPECT_EQ(MenuAccelerator(L"A && B"), 0);
    EXPECT_EQ(MenuAccelerator(L"Trailing&"), 0);
    EXPECT_EQ(MenuAccelerator(L""), 0);
}

TEST(MenuShortCutTest, FoundBelowEnabledItemsOnly) {
    tk::TMainMenu menu(nullptr);
    tk::TMenuItem* file = menu.Items()->Add(L"&File");
    tk::TMenuItem* save = file->Add(L"&Save");
    save->SetShortCut(static_cast<tk::TShortCut>(tk::scCtrl | 'S'));
    tk::TMenuItem* deep = file->Add(L"&More")->Add(L"&Print");
    deep->SetShortCut(static_cast<tk::TShortCut>(tk::scCtrl | 'P'));
    EXPECT_EQ(tk::FindItemByShortCut(menu.Items(), tk::scCtrl | 'S'), save);
    EXPECT_EQ(tk::FindItemByShortCut(menu.Items(), tk::scCtrl | 'P'), deep);  // in a submenu
    EXPECT_EQ(tk::FindItemByShortCut(menu.Items(), 'S'), nullptr);            // the modifiers count
    EXPECT_EQ(tk::FindItemByShortCut(menu.Items(), 0), nullptr);              // items without one
    file->SetEnabled(false);
    EXPECT_EQ(tk::FindItemByShortCut(menu.Items(), tk::scCtrl | 'S'), nullptr);
    file->SetEnabled(true);
    int runs = 0;
    save->OnClick = [&](tk::TComponent*) { ++runs; };
    EXPECT_TRUE(menu.DispatchShortCut(tk::scCtrl | 'S'));
    EXPECT_FALSE(menu.DispatchShortCut(tk::scShift | 'S'));
    EXPECT_EQ(runs, 1);
}

}  // namespace
