// The menu drawing helpers: handlers over an item tree, frames and fills, separators, the MacOS
// menu pictures, the popup window border and the system menu font.
#include <gtest/gtest.h>

#include "skin/theme/MenuDraw.h"
#include "toolkit/win/BitmapResource.h"
#include "toolkit/win/Scoped.h"

namespace {

constexpr std::uint32_t kBack = 0x00FF00;

struct Surface {
    tk::TBitmap bitmap;
    tk::TCanvas canvas;
    Surface(int w, int h) : bitmap(w, h), canvas(bitmap.Dc()) {
        canvas.SetBrushColor(kBack);
        canvas.FillRect({0, 0, w, h});
    }
    std::uint32_t At(int x, int y) {
        GdiFlush();
        return bitmap.GetPixel(x, y);
    }
};

TEST(MenuDraw, HandlersReachEveryItemOfTheTree) {
    tk::TMenuItem root(nullptr);
    tk::TMenuItem* file = root.Add(L"File");
    tk::TMenuItem* open = file->Add(L"Open");
    tk::TMenuItem* recent = file->Add(L"Recent");
    tk::TMenuItem* deep = recent->Add(L"one.pwb");
    tk::TMenuItem* help = root.Add(L"Help");
    int measured = 0, drawn = 0;
    SetMenuDrawHandlers(
        &root, [&](tk::TMenuItem*, tk::TCanvas&, int&, int&) { ++measured; },
        [&](tk::TMenuItem*, tk::TCanvas&, const tk::TRect&, bool) { ++drawn; });
    Surface s(2, 2);
    int w = 0, h = 0;
    for (tk::TMenuItem* item : {&root, file, open, recent, deep, help}) {
        ASSERT_TRUE(item->OnMeasureItem && item->OnDrawItem);
        item->OnMeasureItem(item, s.canvas, w, h);
        item->OnDrawItem(item, s.canvas, {0, 0, 1, 1}, false);
    }
    EXPECT_EQ(measured, 6);
    EXPECT_EQ(drawn, 6);
    EXPECT_NO_THROW(SetMenuDrawHandlers(nullptr, nullptr, nullptr));
    // A removed sub-item leaves its parent's list.
    delete deep;
    EXPECT_EQ(recent->Count(), 0);
}

TEST(MenuDraw, FrameAndFillInTheGivenColour) {
    Surface s(8, 8);
    FillRectColor(s.canvas, {1, 1, 7, 7}, 0x0000FF);
    FrameRectColor(s.canvas, {1, 1, 7, 7}, 0xFF0000);
    EXPECT_EQ(s.At(1, 1), 0xFF0000u);
    EXPECT_EQ(s.At(6, 6), 0xFF0000u);
    EXPECT_EQ(s.At(6, 3), 0xFF0000u);
    EXPECT_EQ(s.At(3, 3), 0x0000FFu);
    EXPECT_EQ(s.At(7, 7), kBack);
    EXPECT_EQ(s.canvas.BrushColor(), 0xFF0000u);
}

TEST(MenuDraw, SeparatorLeavesTheSideBarFree) {
    Surface s(60, 8);
    DrawMenuSeparator(s.canvas, {0, 1, 60, 8}, 0x0000FF, true, 20);
    EXPECT_EQ(s.At(23, 3), kBack);
    EXPECT_EQ(s.At(24, 3), 0x0000FFu);
    EXPECT_EQ(s.At(57, 3), 0x0000FFu);
    EXPECT_EQ(s.At(58, 3), kBack);  // the end point is not drawn
    EXPECT_EQ(s.At(30, 2), kBack);
    Surface r(60, 8);
    DrawMenuSeparator(r.canvas, {0, 0, 60, 8}, 0x0000FF, false, 20);
    EXPECT_EQ(r.At(1, 2), kBack);
    EXPECT_EQ(r.At(2, 2), 0x0000FFu);
    EXPECT_EQ(r.At(35, 2), 0x0000FFu);
    EXPECT_EQ(r.At(36, 2), kBack);
}

TEST(MenuDraw, MacMenuPicturesStretchTheirTopRows) {
    tk::TBitmap bar, select;
    tk::LoadBitmapResource(bar, L"MACOS_MENU_BAR");
    tk::LoadBitmapResource(select, L"MACOS_MENU_SELECT");
    {
        Surface s(5, 26);
        DrawMacMenuBar12(s.canvas, {1, 1, 5, 25});  // 12 rows over 24: each row twice
        for (int row = 0; row < 12; ++row) {
            EXPECT_EQ(s.At(1, 1 + 2 * row), bar.GetPixel(0, row)) << row;
            EXPECT_EQ(s.At(4, 2 + 2 * row), bar.GetPixel(0, row)) << row;
        }
        EXPECT_EQ(s.At(0, 5), kBack);
        EXPECT_EQ(s.At(2, 25), kBack);
    }
    {
        Surface s(3, 20);
        DrawMacMenuBar20(s.canvas, {0, 0, 3, 20});
        for (int row = 0; row < 20; ++row) EXPECT_EQ(s.At(1, row), bar.GetPixel(0, row)) << row;
    }
    {
        Surface s(3, 20);
        DrawMacMenuSelect(s.canvas, {0, 0, 3, 20});
        for (int row = 0; row < 20; ++row) EXPECT_EQ(s.At(2, row), select.GetPixel(0, row)) << row;
    }
}

TEST(MenuDraw, MenuFontIsTheSystemsMenuFont) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0));
    tk::TFont font;
    font.Name = L"Courier New";
    font.Height = -30;
    font.Color = 0x123456;
    AssignMenuFont(font);
    EXPECT_EQ(font.Name, std::wstring(metrics.lfMenuFont.lfFaceName));
    EXPECT_EQ(font.Height, metrics.lfMenuFont.lfHeight);
    EXPECT_EQ(font.Color, tk::clMenuText);
}

TEST(MenuDraw, PopupFrameRingsTheWindowOnTheScreen) {
    HWND popup = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 100, 100, 40,
                                 30, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(popup, nullptr);
    UpdateWindow(popup);
    DrawPopupWindowFrame(popup, 0x000000, 0x0000FF);
    const tk::ScopedGetDC screen(nullptr);
    auto at = [&](int x, int y) { return static_cast<std::uint32_t>(GetPixel(screen, x, y)); };
    // Window (100, 100) - (140, 130): top row, right column and bottom row in the edge colour.
    EXPECT_EQ(at(101, 100), 0x0000FFu);
    EXPECT_EQ(at(139, 100), 0x0000FFu);
    EXPECT_EQ(at(139, 115), 0x0000FFu);
    EXPECT_EQ(at(120, 129), 0x0000FFu);
    EXPECT_EQ(at(100, 115), 0x000000u);   // the outer ring's left column
    EXPECT_EQ(at(120, 128), 0x000000u);   // its bottom row
    EXPECT_EQ(at(138, 115), 0x000000u);   // its right column
    EXPECT_EQ(at(101, 115), 0xFFFFFFu);   // the white ring inside it
    EXPECT_EQ(at(120, 102), 0xFFFFFFu);
    DestroyWindow(popup);
}

}  // namespace
