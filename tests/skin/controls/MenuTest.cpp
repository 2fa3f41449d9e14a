// The skinned menus: their styles and theme, the handlers their items get, and their items drawn
// by those handlers into bitmaps and by the platform's own popup menu on the screen.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <cstring>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <thread>

#include "skin/controls/MainMenu.h"
#include "skin/controls/PopupMenu.h"
#include "skin/theme/StyleItems.h"
#include "skin/theme/FileTheme.h"
#include "tests/support/WinTest.h"
#include "toolkit/win/Application.h"
#include "toolkit/BmpImage.h"
#include "toolkit/win/BitmapResource.h"
#include "toolkit/win/Form.h"

namespace {

constexpr std::uint32_t kGround = 0x00FF00;

struct Surface {
    tk::TBitmap bitmap;
    tk::TCanvas canvas;
    Surface(int w, int h) : bitmap(w, h), canvas(bitmap.Dc()) {
        canvas.SetBrushColor(kGround);
        canvas.FillRect({0, 0, w, h});
    }
    std::uint32_t At(int x, int y) {
        GdiFlush();
        return bitmap.GetPixel(x, y);
    }
    bool Has(const tk::TRect& r, std::uint32_t color) {
        GdiFlush();
        for (int y = r.Top; y < r.Bottom; ++y)
            for (int x = r.Left; x < r.Right; ++x)
                if (bitmap.GetPixel(x, y) == color) return true;
        return false;
    }
};

// Draws an item into the surface through the handler its menu gave it, as the native menu asks.
void DrawItem(tk::TMenuItem* item, Surface& s, const tk::TRect& r, bool selected) {
    ASSERT_TRUE(item->OnDrawItem);
    item->OnDrawItem(item, s.canvas, r, selected);
}

class SkinMenuTest : public testing::Test {
protected:
    void SetUp() override { tk::Application().Initialize(); }
    tk::TForm form{nullptr};
};

TEST_F(SkinMenuTest, StylesSetColoursHeightsAndTheSideBar) {
    TsuiPopupMenu menu(nullptr);
    EXPECT_TRUE(menu.OwnerDraw());
    menu.SetOwnerDraw(false);
    EXPECT_TRUE(menu.OwnerDraw());
    EXPECT_EQ(menu.UIStyle(), TsuiUIStyle::DeepBlue);
    EXPECT_EQ(menu.BarWidth(), 26);
    EXPECT_EQ(menu.MenuItemHeight(), 21);
    EXPECT_EQ(menu.SeparatorHeight(), 5);
    EXPECT_EQ(menu.SeparatorColor(), 0x848284u);
    EXPECT_EQ(menu.BorderColor(), tk::clBlack);
    EXPECT_FALSE(menu.FlatMenu());
    EXPECT_TRUE(menu.UseSystemFont());
    EXPECT_EQ(menu.FontName(), L"MS Sans Serif");
    EXPECT_EQ(menu.BarColor(), GetBuiltInColor(TsuiUIStyle::DeepBlue, 23));
    EXPECT_EQ(menu.BarToColor(), menu.BarColor());
    EXPECT_EQ(menu.Color(), GetBuiltInColor(TsuiUIStyle::DeepBlue, 21));
    EXPECT_EQ(menu.FontColor(), GetBuiltInColor(TsuiUIStyle::DeepBlue, 22));
    EXPECT_EQ(menu.SelectedBorderColor(), GetBuiltInColor(TsuiUIStyle::DeepBlue, 18));
    EXPECT_EQ(menu.SelectedColor(), GetBuiltInColor(TsuiUIStyle::DeepBlue, 19));
    EXPECT_EQ(menu.SelectedFontColor(), GetBuiltInColor(TsuiUIStyle::DeepBlue, 20));

    menu.SetUIStyle(TsuiUIStyle::MacOS);
    EXPECT_EQ(menu.MenuItemHeight(), 20);
    EXPECT_EQ(menu.SeparatorHeight(), 12);
    EXPECT_EQ(menu.SeparatorColor(), tk::clBlack);
    // MacOS items have the height of their pictures.
    menu.SetSeparatorHeight(30);
    menu.SetMenuItemHeight(30);
    EXPECT_EQ(menu.SeparatorHeight(), 12);
    EXPECT_EQ(menu.MenuItemHeight(), 20);
    TsuiMainMenu mainMenu(nullptr);
    mainMenu.SetUIStyle(TsuiUIStyle::MacOS);
    mainMenu.SetMenuItemHeight(30);
    mainMenu.SetSeparatorHeight(30);
    EXPECT_EQ(mainMenu.MenuItemHeight(), 30);
    EXPECT_EQ(mainMenu.SeparatorHeight(), 12);
    menu.SetUIStyle(TsuiUIStyle::WinXP);
    menu.SetSeparatorHeight(7);
    EXPECT_EQ(menu.SeparatorHeight(), 7);
    EXPECT_EQ(menu.Color(), GetBuiltInColor(TsuiUIStyle::WinXP, 21));

    // The bar: a gradient when its colours differ, in the item's height beside the background.
    tk::TMenuItem* item = menu.Items()->Add(L"Open");
    menu.SetBarColor(0x0000FF);
    menu.SetBarToColor(0xFF0000);
    menu.SetColor(0x00FFFF);
    Surface s(120, 21);
    DrawItem(item, s, {0, 0, 120, 21}, false);
    EXPECT_EQ(s.At(0, 10), 0x0000FFu);
    EXPECT_EQ(s.At(25, 10), 0xFF0000u);
    EXPECT_EQ(s.At(26, 1), 0x00FFFFu);
    EXPECT_EQ(s.At(119, 20), 0x00FFFFu);
}

TEST_F(SkinMenuTest, ItemsAddedToTheMenuAreOwnerDrawnAndMeasured) {
    TsuiPopupMenu menu(&form);
    tk::TMenuItem* file = menu.Items()->Add(L"File");
    tk::TMenuItem* open = file->Add(L"&Open");
    tk::TMenuItem* line = file->Add(L"-");
    open->SetShortCut(static_cast<tk::TShortCut>(tk::scCtrl | 'O'));
    ASSERT_TRUE(file->OnDrawItem && open->OnDrawItem && open->OnMeasureItem && line->OnDrawItem);

    Surface s(10, 10);
    int w = 0, h = 0;
    line->OnMeasureItem(line, s.canvas, w, h);
    EXPECT_EQ(h, 5);
    open->OnMeasureItem(open, s.canvas, w, h);
    EXPECT_EQ(h, 21);
    EXPECT_EQ(w, s.canvas.TextWidth(L"&Open") + s.canvas.TextWidth(L"Ctrl+O") + 26 + 40);
    menu.SetMenuItemHeight(40);
    open->OnMeasureItem(open, s.canvas, w, h);
    EXPECT_EQ(h, 40);

    // The native menu: owner-drawn items that carry the item; an item without handlers is left
    // to the platform's drawing.
    tk::ScopedMenu native(CreatePopupMenu());
    menu.FillNative(native.get(), file);
    MENUITEMINFOW info{sizeof(info)};
    info.fMask = MIIM_FTYPE | MIIM_DATA | MIIM_ID;
    ASSERT_TRUE(GetMenuItemInfoW(native.get(), 0, TRUE, &info));
    EXPECT_TRUE(info.fType & MFT_OWNERDRAW);
    EXPECT_EQ(info.dwItemData, reinterpret_cast<ULONG_PTR>(open));
    EXPECT_EQ(menu.Items()->FindCommand(info.wID), open);
    open->OnDrawItem = nullptr;
    native.reset(CreatePopupMenu());
    menu.FillNative(native.get(), file);
    ASSERT_TRUE(GetMenuItemInfoW(native.get(), 0, TRUE, &info));
    EXPECT_FALSE(info.fType & MFT_OWNERDRAW);
    native.reset();
    // Loading hands the handlers to every item again.
    menu.Loaded();
    EXPECT_TRUE(open->OnDrawItem);
}

TEST_F(SkinMenuTest, SelectionDisabledAndDefaultItems) {
    TsuiPopupMenu menu(nullptr);
    menu.SetSelectedColor(0xFF8000);
    menu.SetSelectedBorderColor(0x0000FF);
    menu.SetSelectedFontColor(0xFFFFFF);
    menu.SetColor(0xF0F0F0);
    menu.SetFontColor(0x000000);
    tk::TMenuItem* item = menu.Items()->Add(L"Mmmm");
    const tk::TRect r{0, 0, 150, 21};

    Surface selected(150, 21);
    DrawItem(item, selected, r, true);
    EXPECT_EQ(selected.At(0, 0), 0x0000FFu);
    EXPECT_EQ(selected.At(149, 20), 0x0000FFu);
    EXPECT_EQ(selected.At(5, 10), 0xFF8000u) << "the selection covers the side bar";
    EXPECT_TRUE(selected.Has({30, 2, 80, 19}, 0xFFFFFF));

    // Disabled and selected: the normal background and grey text.
    item->SetEnabled(false);
    Surface disabled(150, 21);
    DrawItem(item, disabled, r, true);
    EXPECT_FALSE(disabled.Has({0, 0, 150, 21}, 0xFF8000));
    EXPECT_EQ(disabled.At(5, 10), menu.BarColor());
    EXPECT_EQ(disabled.At(140, 10), 0xF0F0F0u);
    EXPECT_TRUE(disabled.Has({30, 2, 80, 19}, 0x808080));
    EXPECT_FALSE(disabled.Has({30, 2, 80, 19}, 0xFFFFFF));

    // The default item is bold: its caption takes more ink.
    item->SetEnabled(true);
    auto ink = [&](bool isDefault) {
        item->SetDefault(isDefault);
        Surface s(150, 21);
        DrawItem(item, s, r, false);
        int n = 0;
        for (int y = 0; y < 21; ++y)
            for (int x = 30; x < 150; ++x) n += s.At(x, y) == 0;
        return n;
    };
    EXPECT_GT(ink(true), ink(false));
}

// The check mark picture and one of its pixels that is not its white background.
struct CheckMark {
    tk::TBitmap mark;
    int mx = -1, my = -1;
    CheckMark() {
        tk::LoadBitmapResource(mark, L"MENU_CHECKED");
        for (int y = 0; y < mark.Height() && mx < 0; ++y)
            for (int x = 0; x < mark.Width() && mx < 0; ++x)
                if (mark.GetPixel(x, y) != 0xFFFFFF) mx = x, my = y;
    }
};

TEST_F(SkinMenuTest, CheckMarksWithAndWithoutImages) {
    CheckMark cm;
    const tk::TBitmap& mark = cm.mark;
    const int mx = cm.mx, my = cm.my;
    ASSERT_EQ(mark.Width(), 16);
    ASSERT_GE(mx, 0);

    TsuiPopupMenu menu(nullptr);
    tk::TImageList images(nullptr, 16, 16);
    ASSERT_GT(images.AddResourceStrip(L"TOOLBAR_IMAGES"), 0);
    menu.SetImages(&images);
    tk::TMenuItem* plain = menu.Items()->Add(L"Plain");
    tk::TMenuItem* pictured = menu.Items()->Add(L"Pictured");
    plain->SetChecked(true);
    pictured->SetChecked(true);
    pictured->SetImageIndex(0);
    const tk::TRect r{0, 0, 150, 22};

    // Without an image: the check mark at (4, 3), its white left out.
    Surface a(150, 22);
    DrawItem(plain, a, r, false);
    EXPECT_EQ(a.At(4 + mx, 3 + my), mark.GetPixel(mx, my));
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            if (mark.GetPixel(x, y) == 0xFFFFFF) {
                ASSERT_EQ(a.At(4 + x, 3 + y), menu.BarColor()) << x << "," << y;
            }

    // With an image: a black frame filled with the selected colour behind the image.
    Surface b(150, 22);
    DrawItem(pictured, b, r, false);
    EXPECT_EQ(b.At(2, 1), tk::clBlack);
    EXPECT_EQ(b.At(20, 19), tk::clBlack);
    EXPECT_EQ(b.At(3, 2), menu.SelectedColor());
    EXPECT_EQ(b.At(19, 18), menu.SelectedColor());
    // An index beyond the list is no image: the check mark shows instead.
    pictured->SetImageIndex(images.Count());
    Surface c(150, 22);
    DrawItem(pictured, c, r, false);
    EXPECT_EQ(c.At(4 + mx, 3 + my), mark.GetPixel(mx, my));
    EXPECT_NE(c.At(2, 1), tk::clBlack);
}

TEST_F(SkinMenuTest, MacOSSeparatorIsTwelveRowsOfItsPicture) {
    TsuiPopupMenu menu(nullptr);
    menu.SetUIStyle(TsuiUIStyle::MacOS);
    tk::TMenuItem* line = menu.Items()->Add(L"-");
    Surface s(60, 12);
    int w = 0, h = 0;
    line->OnMeasureItem(line, s.canvas, w, h);
    EXPECT_EQ(h, 12);
    DrawItem(line, s, {0, 0, 60, 12}, false);
    tk::TBitmap bar;
    tk::LoadBitmapResource(bar, L"MACOS_MENU_BAR");
    for (int y = 0; y < 12; ++y) {
        EXPECT_EQ(s.At(0, y), bar.GetPixel(0, y)) << y;
        EXPECT_EQ(s.At(59, y), bar.GetPixel(bar.Width() - 1, y)) << y;
    }
    // A normal item: twenty rows of the same picture.
    tk::TMenuItem* item = menu.Items()->Add(L"");
    Surface t(60, 20);
    DrawItem(item, t, {0, 0, 60, 20}, false);
    EXPECT_EQ(t.At(30, 19), bar.GetPixel(0, 19));
}

TEST_F(SkinMenuTest, TheThemeGivesColoursAndItsEndGivesDeepBlue) {
    auto theme = std::make_unique<TsuiFileTheme>(nullptr);
    theme->SetThemeFile(qdtest::WindowsPath(QD_SILVER_SKIN));
    ASSERT_TRUE(theme->Ready());
    TsuiPopupMenu popup(&form);
    TsuiMainMenu mainMenu(&form);
    for (tk::TComponent* m : {static_cast<tk::TComponent*>(&popup), static_cast<tk::TComponent*>(&mainMenu)}) {
        EXPECT_TRUE(m->SetPublishedProperty("FileTheme", static_cast<tk::TComponent*>(theme.get())));
        EXPECT_TRUE(m->SetPublishedProperty("UIStyle", static_cast<int>(TsuiUIStyle::FromThemeFile)));
    }
    EXPECT_EQ(popup.Color(), static_cast<tk::TColor>(theme->GetThemeColor(SKIN2_MENUITEMCOLOR)));
    EXPECT_EQ(popup.BarColor(), static_cast<tk::TColor>(theme->GetThemeColor(SKIN2_LEFTBARSTARTCOLOR)));
    EXPECT_EQ(popup.BarToColor(), static_cast<tk::TColor>(theme->GetThemeColor(SKIN2_LEFTBARENDCOLOR)));
    EXPECT_EQ(popup.SelectedColor(), static_cast<tk::TColor>(theme->GetThemeColor(SKIN2_SELECTEDMENUCOLOR)));
    EXPECT_EQ(mainMenu.FontColor(), static_cast<tk::TColor>(theme->GetThemeColor(SKIN2_MENUITEMFONTCOLOR)));

    popup.SetUIStyle(TsuiUIStyle::WinXP);
    mainMenu.SetUIStyle(TsuiUIStyle::Protein);
    theme.reset();  // owned by no form: the menus hear of it all the same
    EXPECT_EQ(popup.FileTheme(), nullptr);
    EXPECT_EQ(popup.UIStyle(), TsuiUIStyle::DeepBlue);
    EXPECT_EQ(popup.Color(), GetBuiltInColor(TsuiUIStyle::DeepBlue, 21));
    EXPECT_EQ(mainMenu.FileTheme(), nullptr);
    EXPECT_EQ(mainMenu.UIStyle(), TsuiUIStyle::DeepBlue);
    EXPECT_EQ(mainMenu.SelectedColor(), GetBuiltInColor(TsuiUIStyle::DeepBlue, 19));
}

// A frame stand-in that shows a main menu and counts what the menu asks of it.
class MenuBarHostStandIn : public tk::TComponent, public TsuiMenuBarHost {
public:
    using tk::TComponent::TComponent;
    int fonts = 0, rebuilds = 0, syncs = 0;
    void ApplyMenuBarFont() override { ++fonts; }
    void RebuildMenuBar() override { ++rebuilds; }
    void SyncMenuBarButtons() override { ++syncs; }
};

TEST_F(SkinMenuTest, MainMenuInstallsTheSharedCheckMarkListAndTellsItsFrame) {
    auto* menu = new TsuiMainMenu(&form);
    EXPECT_EQ(menu->Images(), nullptr);
    // One check mark list for the main and the popup menus.
    ASSERT_NE(menu->CheckImages(), nullptr);
    EXPECT_EQ(menu->CheckImages(), SharedMenuCheckImages());
    EXPECT_EQ(menu->CheckImages()->Count(), 1);
    EXPECT_EQ(menu->tk::TMainMenu::Images(), menu->CheckImages());

    auto* images = new tk::TImageList(nullptr, 16, 16);
    images->AddResourceStrip(L"TOOLBAR_IMAGES");
    menu->SetImages(images);
    EXPECT_EQ(menu->Images(), images);
    delete images;  // its end brings the internal list back
    EXPECT_EQ(menu->Images(), nullptr);
    EXPECT_EQ(menu->tk::TMainMenu::Images(), menu->CheckImages());
    menu->SetImages(nullptr);
    EXPECT_EQ(menu->tk::TMainMenu::Images(), menu->CheckImages());

    // A checked item without an image shows the internal check mark.
    tk::TMenuItem* item = menu->Items()->Add(L"Checked");
    item->SetChecked(true);
    item->SetImageIndex(0);  // an index into the internal list is no image of the menu's
    Surface s(120, 22);
    DrawItem(item, s, {0, 0, 120, 22}, false);
    EXPECT_NE(s.At(2, 1), tk::clBlack);
    CheckMark cm;
    EXPECT_EQ(s.At(4 + cm.mx, 3 + cm.my), cm.mark.GetPixel(cm.mx, cm.my));

    auto host = std::make_unique<MenuBarHostStandIn>(nullptr);
    menu->SetForm(host.get());
    menu->Loaded();
    EXPECT_EQ(host->rebuilds, 1);
    menu->SetUseSystemFont(false);
    EXPECT_EQ(host->fonts, 1);
    item->SetCaption(L"Renamed");
    EXPECT_EQ(host->syncs, 1);
    host.reset();
    EXPECT_EQ(menu->Form(), nullptr);
    item->SetCaption(L"Again");  // no frame to tell
    delete menu;
}

TEST_F(SkinMenuTest, AWindowPassesMenuMessagesOnlyForLiveItems) {
    auto* menu = new TsuiMainMenu(&form);
    tk::TMenuItem* item = menu->Items()->Add(L"File");
    bool clicked = false;
    item->OnClick = [&](tk::TComponent*) { clicked = true; };
    HWND window = form.Handle();

    MEASUREITEMSTRUCT mis{ODT_MENU, 0, item->Command(), 0, 0, reinterpret_cast<ULONG_PTR>(item)};
    EXPECT_TRUE(SendMessageW(window, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&mis)));
    EXPECT_EQ(mis.itemHeight, 21u);
    EXPECT_GT(mis.itemWidth, 26u + 40u);
    // A choice reaches the item through the menu bar the window shows, and only then.
    SendMessageW(window, WM_COMMAND, MAKEWPARAM(item->Command(), 0), 0);
    EXPECT_FALSE(clicked);
    SetMenu(window, menu->Handle());
    SendMessageW(window, WM_COMMAND, MAKEWPARAM(item->Command(), 0), 0);
    EXPECT_TRUE(clicked);

    // Item data that names no live item is not touched.
    struct {
        char bytes[256];
    } notAnItem{};
    std::memset(notAnItem.bytes, 0xCD, sizeof(notAnItem.bytes));
    MEASUREITEMSTRUCT stale{ODT_MENU, 0, 1, 7, 7, reinterpret_cast<ULONG_PTR>(&notAnItem)};
    tk::TMessage m{WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&stale), 0};
    EXPECT_FALSE(tk::DispatchMenuMessage(window, m));
    EXPECT_EQ(stale.itemHeight, 7u);
    const unsigned gone = item->Command();
    delete item;
    clicked = false;
    m = {WM_COMMAND, MAKEWPARAM(gone, 0), 0, 0};
    EXPECT_FALSE(tk::DispatchMenuMessage(window, m));

    // The menu bar of a window: its owner-drawn items are measured through the window.
    tk::TMenuItem* edit = menu->Items()->Add(L"Edit");
    int measured = 0;
    const auto measure = edit->OnMeasureItem;
    edit->OnMeasureItem = [&](tk::TMenuItem* i, tk::TCanvas& c, int& w, int& h) {
        ++measured;
        measure(i, c, w, h);
    };
    form.Show();
    DrawMenuBar(window);
    qdtest::PumpIdle();
    EXPECT_GT(measured, 0);
    SetMenu(window, nullptr);
    delete menu;
}

// The platform's popup menu on the screen, every kind of item drawn by the skinned menu; the
// screen is read while the menu is open. With QD_MENU_SHOT set, the screen is saved there as a BMP.
TEST_F(SkinMenuTest, PopupDemoDrawsEveryKindOfItemOnTheScreen) {
    TsuiPopupMenu menu(&form);
    tk::TImageList images(nullptr, 16, 16);
    images.AddResourceStrip(L"TOOLBAR_IMAGES");
    menu.SetImages(&images);
    menu.SetFlatMenu(true);
    tk::TMenuItem* open = menu.Items()->Add(L"&Open folder");
    open->SetDefault(true);
    open->SetImageIndex(6);
    menu.Items()->Add(L"Rename")->SetShortCut(static_cast<tk::TShortCut>(VK_F2));
    menu.Items()->Add(L"-");
    menu.Items()->Add(L"Show tips")->SetChecked(true);
    tk::TMenuItem* pictured = menu.Items()->Add(L"Ask before delete");
    pictured->SetChecked(true);
    pictured->SetImageIndex(1);
    menu.Items()->Add(L"Disabled item")->SetEnabled(false);
    menu.Items()->Add(L"-");
    tk::TMenuItem* more = menu.Items()->Add(L"More");
    more->Add(L"Sub item");
    bool clicked = false;
    menu.Items()->Items(1)->OnClick = [&](tk::TComponent*) { clicked = true; };

    std::atomic<bool> done{false};
    std::atomic<int> sideBar{-1}, background{-1}, selected{-1};
    std::atomic<int> menuHeight{0};
    std::thread watcher([&] {
        HWND popup = nullptr;
        for (int i = 0; i < 200 && !popup; ++i) {
            Sleep(20);
            popup = FindWindowW(L"#32768", nullptr);
            if (popup && !IsWindowVisible(popup)) popup = nullptr;
        }
        if (!popup) {
            done = true;
            return;
        }
        Sleep(300);
        RECT w;
        GetWindowRect(popup, &w);
        menuHeight = w.bottom - w.top;
        {
            const tk::ScopedGetDC screen(nullptr);
            sideBar = static_cast<int>(GetPixel(screen, w.left + 24, w.top + 14));
            background = static_cast<int>(GetPixel(screen, w.right - 12, w.top + 14));
        }
        // Down to the second item, which the menu then draws selected.
        PostMessageW(popup, WM_KEYDOWN, VK_DOWN, 0);
        Sleep(150);
        PostMessageW(popup, WM_KEYDOWN, VK_DOWN, 0);
        Sleep(300);
        const tk::ScopedGetDC screen(nullptr);
        selected = static_cast<int>(GetPixel(screen, w.right - 12, w.top + 3 + 21 + 10));
        if (const char* shot = std::getenv("QD_MENU_SHOT")) {
            const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
            tk::TBitmap image(sw, sh);
            BitBlt(image.Dc(), 0, 0, sw, sh, screen, 0, 0, SRCCOPY);
            const auto bytes = tk::EncodeBmp24(image.ToImage());
            std::ofstream(shot, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                        static_cast<std::streamsize>(bytes.size()));
        }
        PostMessageW(popup, WM_KEYDOWN, VK_RETURN, 0);
        done = true;
    });
    menu.Popup(200, 150);
    watcher.join();
    ASSERT_TRUE(done);
    ASSERT_GT(menuHeight, 0) << "no popup menu appeared";
    EXPECT_EQ(static_cast<std::uint32_t>(sideBar), menu.BarColor());
    EXPECT_EQ(static_cast<std::uint32_t>(background), menu.Color());
    EXPECT_EQ(static_cast<std::uint32_t>(selected), menu.SelectedColor());
    // Six items of 21 and two separators of 5 inside the menu's border.
    EXPECT_GE(menuHeight, 6 * 21 + 2 * 5);
    EXPECT_LE(menuHeight, 6 * 21 + 2 * 5 + 8);
    EXPECT_TRUE(clicked) << "the chosen item ran";
}

}  // namespace
