// Errors raised while a window paints, ticks or handles another message that must not be
// interrupted: no box opens inside the message, the failed paint is not asked for again, the box
// comes once the message has returned, and a failure that repeats is reported once.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/ResourceLedger.h"
#include "tests/support/WinTest.h"
#include "toolkit/Exception.h"
#include "toolkit/win/Application.h"
#include "toolkit/win/Form.h"
#include "toolkit/win/Menus.h"
#include "toolkit/win/Panel.h"
#include "toolkit/win/Timer.h"

namespace {

class CountingPanel : public tk::TPanel {
public:
    using tk::TPanel::TPanel;
    int paints = 0;

protected:
    void Paint(tk::TCanvas& canvas) override {
        ++paints;
        tk::TPanel::Paint(canvas);
    }
};

// A window whose painting fails before it has begun to paint.
class UnpaintableWindow : public tk::TWinControl {
public:
    using tk::TWinControl::TWinControl;
    int paints = 0;
    void WndProc(tk::TMessage& m) override {
        if (m.Msg == WM_PAINT) {
            ++paints;
            throw tk::Exception(L"Cannot paint");
        }
        tk::TWinControl::WndProc(m);
    }
};

class DeferredErrorTest : public testing::Test {
protected:
    void SetUp() override {
        tk::Application().Initialize();
        form.SetClientSize(200, 120);
        panel = new CountingPanel(&form);
        panel->SetParent(&form);
        panel->SetBounds(10, 10, 100, 60);
        form.Show();
        qdtest::PumpIdle();
    }
    void PaintPanelNow() {
        InvalidateRect(panel->Handle(), nullptr, TRUE);
        UpdateWindow(panel->Handle());
    }
    bool AllShown(const qdtest::MessageBoxCounter& boxes, int count) {
        return qdtest::PumpUntil(
            [&] { return boxes.Shown() == count && tk::Application().DeferredErrorCount() == 0; });
    }

    tk::TForm form{nullptr};
    CountingPanel* panel = nullptr;
};

TEST_F(DeferredErrorTest, PaintFailureShowsOneBoxAfterThePaintAndLeavesNothingBehind) {
    qdtest::ResourceLedger ledger;
    qdtest::MessageBoxCounter boxes;
    {
        qdtest::PaintFault fault(1);
        PaintPanelNow();
        ASSERT_EQ(fault.Thrown(), 1);
        EXPECT_EQ(boxes.Shown(), 0) << "a box opened inside the paint";
        EXPECT_EQ(ledger.Held(), 0) << ledger.HeldText();
        ASSERT_TRUE(AllShown(boxes, 1));
    }
    EXPECT_EQ(boxes.Texts(), std::vector<std::wstring>{L"Painting failed"});
    EXPECT_EQ(ledger.Held(), 0) << ledger.HeldText();
}

TEST_F(DeferredErrorTest, RepeatedPaintFailuresShowOneBox) {
    qdtest::MessageBoxCounter boxes;
    qdtest::PaintFault fault(-1, L"Painting keeps failing");  // a text no other test shows
    for (int i = 0; i < 3; ++i) PaintPanelNow();
    ASSERT_TRUE(AllShown(boxes, 1));
    // The same failure after its box was shown is not shown again.
    for (int i = 0; i < 3; ++i) PaintPanelNow();
    EXPECT_EQ(tk::Application().DeferredErrorCount(), 0u);
    qdtest::PumpIdle();
    EXPECT_GE(fault.Thrown(), 6);
    EXPECT_EQ(boxes.Shown(), 1);
    EXPECT_EQ(boxes.MostAtOnce(), 1);
}

TEST_F(DeferredErrorTest, FailedPaintIsValidatedAndNotAskedForAgain) {
    // Errors recorded instead of boxed: no box window covers the window and asks it to paint.
    std::vector<std::wstring> errors;
    tk::Application().SetExceptionHandler([&](const std::wstring& m) { errors.push_back(m); });
    auto* window = new UnpaintableWindow(&form);
    window->SetParent(&form);
    window->SetBounds(120, 10, 60, 60);
    window->HandleNeeded();
    UpdateWindow(window->Handle());
    RECT update{};
    EXPECT_FALSE(GetUpdateRect(window->Handle(), &update, FALSE)) << "the failed paint would come again at once";
    EXPECT_TRUE(errors.empty());
    EXPECT_TRUE(qdtest::PumpUntil([&] { return !errors.empty(); }));
    EXPECT_EQ(window->paints, 1);
    EXPECT_EQ(errors, std::vector<std::wstring>{L"Cannot paint"});
    tk::Application().SetExceptionHandler(nullptr);
}

TEST_F(DeferredErrorTest, TimerThatKeepsFailingShowsOneBox) {
    qdtest::MessageBoxCounter boxes;
    tk::TTimer timer(nullptr);
    int ticks = 0;
    timer.OnTimer = [&](tk::TComponent*) {
        // Fails on the first fifteen ticks; after that nothing keeps boxes coming.
        if (++ticks <= 15) throw tk::Exception(L"Tick failed");
    };
    timer.SetInterval(10);
    timer.SetEnabled(true);
    // Ticks go on while the box is up and after it was answered.
    ASSERT_TRUE(qdtest::PumpUntil([&] { return boxes.Shown() >= 1 && ticks > 15; }));
    timer.SetEnabled(false);
    qdtest::PumpIdle();
    EXPECT_EQ(boxes.Shown(), 1);
    EXPECT_EQ(boxes.MostAtOnce(), 1);
}

// A window of the user-interface thread that another thread posts markers to: a marker handled
// means that every message the user-interface thread posted before it was posted is handled too.
constexpr UINT kFirstMarker = WM_APP + 1, kSecondMarker = WM_APP + 2;
std::atomic<int> markersHandled{0};
std::atomic<int> waitingAtSecondMarker{-1};

LRESULT CALLBACK MarkerProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == kFirstMarker || msg == kSecondMarker) {
        if (msg == kSecondMarker)
            waitingAtSecondMarker = static_cast<int>(tk::Application().DeferredErrorCount());
        ++markersHandled;
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

bool WaitFor(const std::function<bool()>& condition) {
    for (int i = 0; i < 250; ++i) {
        if (condition()) return true;
        Sleep(20);
    }
    return false;
}

TEST_F(DeferredErrorTest, ErrorDrawingAnOpenMenuWaitsUntilTheMenuIsClosed) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &MarkerProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"qd.TestMarker";
    RegisterClassW(&wc);
    HWND marker = CreateWindowW(L"qd.TestMarker", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_NE(marker, nullptr);

    tk::TPopupMenu menu(&form);
    menu.SetOwnerDraw(true);
    tk::TMenuItem* item = menu.Items()->Add(L"Item");
    item->OnMeasureItem = [](tk::TMenuItem*, tk::TCanvas&, int& width, int& height) {
        width = 80;
        height = 20;
    };
    item->OnDrawItem = [](tk::TMenuItem*, tk::TCanvas& canvas, const tk::TRect& r, bool) { canvas.FillRect(r); };

    qdtest::MessageBoxCounter boxes;
    qdtest::PaintFault fault(1, L"The item cannot be drawn");
    std::thread watcher([&] {
        HWND popup = nullptr;
        WaitFor([&] { return (popup = FindWindowW(L"#32768", nullptr)) && IsWindowVisible(popup); });
        WaitFor([&] { return fault.Thrown() >= 1; });
        // Two markers in turn: the second is posted after the failed drawing has returned, so
        // the error's own wake-up message is handled before it.
        PostMessageW(marker, kFirstMarker, 0, 0);
        WaitFor([&] { return markersHandled >= 1; });
        PostMessageW(marker, kSecondMarker, 0, 0);
        WaitFor([&] { return markersHandled >= 2; });
        if (popup) PostMessageW(popup, WM_KEYDOWN, VK_ESCAPE, 0);
    });
    menu.Popup(50, 50);
    watcher.join();
    EXPECT_EQ(fault.Thrown(), 1);
    EXPECT_EQ(waitingAtSecondMarker, 1) << "the error did not wait for the menu";
    ASSERT_TRUE(AllShown(boxes, 1));
    EXPECT_EQ(boxes.Texts(), std::vector<std::wstring>{L"The item cannot be drawn"});
    DestroyWindow(marker);
}

// The messages the tests above do not reach through a window: custom draw notifications (also
// reflected to the control), reflected colour messages, activation; input stays interruptible.
TEST(MustNotInterrupt, CustomDrawColoursAndActivationButNotInput) {
    NMHDR customDraw{nullptr, 0, static_cast<UINT>(NM_CUSTOMDRAW)}, click{nullptr, 0, static_cast<UINT>(NM_CLICK)};
    const auto quiet = [](UINT msg, const NMHDR* header = nullptr) {
        return tk::MustNotInterrupt(msg, 0, reinterpret_cast<LPARAM>(header));
    };
    EXPECT_TRUE(quiet(WM_NOTIFY, &customDraw));
    EXPECT_TRUE(quiet(tk::CN_NOTIFY, &customDraw));
    EXPECT_TRUE(quiet(tk::CN_BASE + WM_CTLCOLORSTATIC));
    EXPECT_TRUE(quiet(WM_NCACTIVATE));
    EXPECT_FALSE(quiet(WM_NOTIFY, &click));
    EXPECT_FALSE(quiet(WM_LBUTTONDOWN));
    EXPECT_FALSE(quiet(WM_KEYDOWN));
    EXPECT_FALSE(quiet(WM_COMMAND));
}

}  // namespace
