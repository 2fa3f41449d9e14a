// The look of the skinned menus, shared by the popup and the main menu: the values a style or a
// skin gives them, and how one item is measured and drawn with them.
#pragma once

#include <windows.h>

#include <string>

#include "skin/theme/FileTheme.h"
#include "skin/theme/ThemeItems.h"
#include "toolkit/win/Canvas.h"
#include "toolkit/win/ImageList.h"

struct TsuiMenuLook {
    TsuiUIStyle UIStyle = TsuiUIStyle::DeepBlue;
    int MenuItemHeight = 21;
    int SeparatorHeight = 21;
    int BarWidth = 0;
    tk::TColor BarColor = tk::clBtnFace, BarToColor = tk::clBtnFace;
    tk::TColor Color = tk::clWhite;
    tk::TColor SeparatorColor = 0x808080;
    tk::TColor SelectedBorderColor = tk::clHighlight, SelectedColor = tk::clHighlight;
    tk::TColor SelectedFontColor = tk::clWhite, FontColor = tk::clWhite;
    tk::TColor BorderColor = tk::clBlack;  // kept for whoever reads it; nothing draws with it
    bool FlatMenu = false;
    std::wstring FontName = L"MS Sans Serif";
    int FontSize = 8;  // points
    BYTE FontCharset = 1;
    bool UseSystemFont = true;
};

// What the drawing needs to know of one item.
struct TsuiMenuItemView {
    std::wstring Caption;
    std::wstring ShortCutText;
    bool IsLine = false;
    bool Enabled = true;
    bool Checked = false;
    bool Default = false;
    int ImageIndex = -1;
};

// The check mark picture (resource MENU_CHECKED, white transparent), one list for every skinned
// menu of the program: created on first use, freed at exit.
tk::TImageList* SharedMenuCheckImages();

// Where the pictures come from: the menu's images (none: nullptr) and the check mark.
struct TsuiMenuImages {
    tk::TImageList* Images = nullptr;
    tk::TImageList* CheckMark = nullptr;
};

// Takes the values of the style, or of the theme when the style is FromThemeFile and the theme is
// ready: side bar, item, separator, selection and text colours, item and separator heights.
void ApplyMenuStyle(TsuiMenuLook& look, TsuiUIStyle style, TsuiFileTheme* theme);

// The item's font on the canvas: the system menu font or the menu's own, bold for the default item.
void SelectMenuItemFont(const TsuiMenuLook& look, tk::TCanvas& canvas, bool isDefault);

// The size an item needs.
void MeasureMenuItem(const TsuiMenuLook& look, tk::TCanvas& canvas, const TsuiMenuItemView& item, int& width,
                     int& height);

// Draws an item into the rectangle. theme: the menu's theme (for the flat border's edge colour).
void DrawMenuItem(const TsuiMenuLook& look, tk::TCanvas& canvas, const tk::TRect& rect, bool selected,
                  const TsuiMenuItemView& item, const TsuiMenuImages& images, bool leftToRight,
                  TsuiFileTheme* theme);
