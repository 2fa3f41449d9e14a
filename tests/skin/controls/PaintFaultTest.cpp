// Failures inside the skinned frame's painting and the menu bar's drop-down: the window contexts,
// objects and the menu filter hook are all given back, one box tells of the error, and the bar
// drops down again afterwards.
#include <gtest/gtest.h>

#include <memory>

#include "skin/controls/MainMenu.h"
#include "tests/skin/controls/FrameTestSupport.h"
#include "tests/support/ResourceLedger.h"
#include "tests/support/RealInput.h"
#include "tests/support/WinTest.h"
#include "toolkit/Exception.h"
#include "toolkit/win/Application.h"

namespace {

using frametest::HostForm;

// A main menu whose submenus fail to build while failures remain.
class FailingMenu : public TsuiMainMenu {
public:
    using TsuiMainMenu::TsuiMainMenu;
    mutable int failures = 0;
    bool OwnerDraw() const override {
        if (failures > 0) {
            --failures;
            throw tk::Exception(L"The submenu cannot be built");
        }
        return TsuiMainMenu::OwnerDraw();
    }
};

class FrameFaultTest : public testing::Test {
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
    std::unique_ptr<HostForm> host;
    TsuiForm* frame = nullptr;
};

TEST_F(FrameFaultTest, FramePaintFailureGivesTheWindowContextBackAndShowsOneBox) {
    qdtest::ResourceLedger ledger;
    qdtest::MessageBoxCounter boxes;
    {
        qdtest::PaintFault fault(1, L"The frame cannot be painted");
        RedrawWindow(host->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW | RDW_NOCHILDREN);
        ASSERT_EQ(fault.Thrown(), 1);
        EXPECT_EQ(boxes.Shown(), 0) << "a box opened inside the frame's painting";
        EXPECT_EQ(ledger.Held(), 0) << ledger.HeldText();
        ASSERT_TRUE(qdtest::PumpUntil(
            [&] { return boxes.Shown() == 1 && tk::Application().DeferredErrorCount() == 0; }));
    }
    qdtest::PumpIdle();
    EXPECT_EQ(boxes.Texts(), std::vector<std::wstring>{L"The frame cannot be painted"});
    EXPECT_EQ(ledger.Held(), 0) << ledger.HeldText();
}

TEST_F(FrameFaultTest, MenuBarDropsDownAgainAfterADropDownFailed) {
    auto* menu = new FailingMenu(host.get());
    menu->Items()->Add(L"&File")->Add(L"Open");
    menu->Items()->Add(L"&Edit")->Add(L"Undo");
    menu->Loaded();
    frame->SetMenu(menu);
    qdtest::PumpIdle();
    TsuiMenuBar* bar = frame->MenuBar();
    const tk::TRect r = bar->ButtonRect(bar->MenuButtons().at(0));
    const int x = (r.Left + r.Right) / 2, y = (r.Top + r.Bottom) / 2;

    qdtest::ResourceLedger ledger;
    qdtest::MessageBoxCounter boxes;
    menu->failures = 1;
    frametest::ClickClient(bar->Handle(), x, y);
    ASSERT_TRUE(qdtest::PumpUntil([&] { return boxes.Shown() == 1; }));
    EXPECT_EQ(boxes.Texts(), std::vector<std::wstring>{L"The submenu cannot be built"});
    EXPECT_EQ(menu->failures, 0);
    EXPECT_EQ(bar->DroppedButton(), nullptr);
    EXPECT_EQ(ledger.Held(), 0) << ledger.HeldText();  // the menu filter hook is gone

    frametest::MenuWatcher watcher({VK_ESCAPE});
    frametest::ClickClient(bar->Handle(), x, y);
    EXPECT_TRUE(watcher.Join()) << "the bar no longer drops down";
    qdtest::PumpIdle();
    EXPECT_EQ(boxes.Shown(), 1);
    EXPECT_EQ(ledger.Held(), 0) << ledger.HeldText();
}

}  // namespace
