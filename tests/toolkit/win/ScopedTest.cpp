// The scoped owners of Win32 resources: whatever ends their scope, a throw included, gives back
// what they hold, as the program's own calls to the system show.
#include <gtest/gtest.h>

#include <windows.h>

#include <stdexcept>

#include "tests/support/ResourceLedger.h"
#include "tests/support/WinTest.h"
#include "toolkit/win/Application.h"
#include "toolkit/win/Form.h"
#include "toolkit/win/Scoped.h"

namespace {

int hookCalls = 0;

LRESULT CALLBACK CountingHook(int code, WPARAM wParam, LPARAM lParam) {
    ++hookCalls;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST(ScopedOwners, GiveEverythingBackWhenAThrowLeavesTheScope) {
    tk::Application().Initialize();
    tk::TForm form(nullptr);
    form.SetClientSize(120, 80);
    form.Show();
    qdtest::PumpIdle();
    HWND window = form.Handle();
    // Watching starts before this function's first call of a watched function: the compiler may
    // load a function's address once per function.
    const qdtest::ResourceLedger watching;

    // A context that outlives the scope, to see that what is selected into it comes back.
    const tk::ScopedGetDC outer(window);
    const HGDIOBJ brushBefore = GetCurrentObject(outer, OBJ_BRUSH);
    const HGDIOBJ penBefore = GetCurrentObject(outer, OBJ_PEN);

    qdtest::ResourceLedger ledger;
    HMENU menu = nullptr;
    hookCalls = 0;
    try {
        const tk::ScopedGetDC client(window);
        const tk::ScopedWindowDC whole(window);
        const tk::ScopedWindowDC screen(nullptr);
        const tk::ScopedMemDC memory(client);
        const tk::ScopedBitmap bitmap(CreateCompatibleBitmap(client, 8, 8));
        const tk::ScopedSelectObject bitmapInMemory(memory, bitmap.get());
        const tk::ScopedBrush brush(CreateSolidBrush(RGB(1, 2, 3)));
        const tk::ScopedPen pen(CreatePen(PS_SOLID, 1, RGB(4, 5, 6)));
        tk::ScopedSelectObject selectedBrush(outer, brush.get());
        selectedBrush.Select(outer, GetStockObject(BLACK_BRUSH));  // a second selection, same kind
        const tk::ScopedSelectObject selectedPen(outer, pen.get());
        const tk::ScopedSaveDC saved(outer);
        SetViewportOrgEx(outer, 5, 5, nullptr);
        const tk::ScopedRegion region(CreateRectRgn(0, 0, 4, 4));
        const tk::ScopedHook hook(WH_CALLWNDPROC, &CountingHook);
        const tk::ScopedMenu popup(CreatePopupMenu());
        menu = popup.get();
        ASSERT_EQ(ledger.Held(), 9) << ledger.HeldText();
        SendMessageW(window, WM_NULL, 0, 0);
        ASSERT_GT(hookCalls, 0);
        ASSERT_EQ(GetCurrentObject(outer, OBJ_PEN), pen.get());
        throw std::runtime_error("painting failed");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(ledger.Held(), 0) << ledger.HeldText();
    EXPECT_EQ(GetCurrentObject(outer, OBJ_BRUSH), brushBefore);  // the first one back, not the second
    EXPECT_EQ(GetCurrentObject(outer, OBJ_PEN), penBefore);
    POINT origin{};
    GetViewportOrgEx(outer, &origin);
    EXPECT_EQ(origin.x, 0);
    EXPECT_FALSE(IsMenu(menu));
    const int callsAfter = hookCalls;
    SendMessageW(window, WM_NULL, 0, 0);
    EXPECT_EQ(hookCalls, callsAfter);  // the hook is gone
}

TEST(ScopedOwners, HandedOverObjectsStayAndMovedOwnersFreeOnce) {
    qdtest::ResourceLedger ledger;
    HRGN kept = nullptr;
    {
        tk::ScopedRegion region(CreateRectRgn(0, 0, 2, 2));
        tk::ScopedRegion moved(std::move(region));
        EXPECT_FALSE(region);
        kept = moved.release();
    }
    EXPECT_EQ(GetObjectType(kept), static_cast<DWORD>(OBJ_REGION));  // released, not deleted
    { tk::ScopedRegion last(kept); }
    EXPECT_EQ(ledger.Held(), 0) << ledger.HeldText();
}

TEST(MouseCapture, HeldUntilReleasedAndNeverTakenBackFromAnotherWindow) {
    tk::Application().Initialize();
    tk::TForm a(nullptr), b(nullptr);
    a.Show();
    b.Show();
    qdtest::PumpIdle();
    {
        tk::MouseCapture capture;
        capture.Take(a.Handle());
        EXPECT_EQ(GetCapture(), a.Handle());
        EXPECT_TRUE(capture.Held());
    }
    EXPECT_EQ(GetCapture(), nullptr);  // the end of the owner gives it back

    tk::MouseCapture capture, other;
    capture.Take(a.Handle());
    other.Take(b.Handle());  // something else took it meanwhile
    EXPECT_FALSE(capture.Held());
    capture.Release();
    EXPECT_EQ(GetCapture(), b.Handle());
}

}  // namespace
