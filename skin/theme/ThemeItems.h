// The vocabulary of a skin file: the UI style selector and the four groups of theme items, each an
// index into one fixed table of 84 record names.
#pragma once

#include <cstdint>
#include <string_view>

enum class TsuiUIStyle : std::uint8_t { FromThemeFile = 0, MacOS = 1, WinXP = 2, DeepBlue = 3, Protein = 4, BlueGlass = 5 };

enum TsuiThemeColor : int {
    SKIN2_TRANSCOLOR, SKIN2_TITLEFONTCOLOR, SKIN2_FORMCOLOR, SKIN2_MENUBARSTARTCOLOR, SKIN2_MENUBARENDCOLOR,
    SKIN2_TOPSELECTEDMENUCOLOR, SKIN2_TOPSELECTEDMENUBORDERCOLOR, SKIN2_TOPSELECTEDMENUFONTCOLOR,
    SKIN2_TOPMENUFONTCOLOR, SKIN2_LEFTBARSTARTCOLOR, SKIN2_LEFTBARENDCOLOR, SKIN2_MENUITEMCOLOR,
    SKIN2_MENUITEMFONTCOLOR, SKIN2_SELECTEDMENUCOLOR, SKIN2_SELECTEDMENUBORDERCOLOR, SKIN2_SELECTEDMENUFONTCOLOR,
    SKIN2_TOOLBARSTARTCOLOR, SKIN2_TOOLBARENDCOLOR, SKIN2_TOOLBARONCOLOR, SKIN2_TOOLBARBORDERCOLOR,
    SKIN2_TOOLBARDOWNCOLOR, SKIN2_CONTROLCOLOR, SKIN2_CONTROLBORDERCOLOR, SKIN2_CONTROLFONTCOLOR,
    SKIN2_BUTTONFONTCOLOR, SKIN2_SCROLLBARCOLOR, SKIN2_TABCONTROLCOLOR, SKIN2_TABCONTROLBORDERCOLOR,
    SKIN2_TABCONTROLACTIVEFONTCOLOR, SKIN2_TABCONTROLINACTIVEFONTCOLOR, SKIN2_SIDECHANNELCOLOR,
    SKIN2_SIDECHANNELBORDERCOLOR,
};

enum TsuiThemeBitmap : int {
    SKIN2_TITLEBAR1, SKIN2_TITLEBAR2, SKIN2_TITLEBAR3, SKIN2_TITLEBAR4, SKIN2_TITLEBAR5, SKIN2_FORMLEFTBORDER,
    SKIN2_FORMRIGHTBORDER, SKIN2_FORMBOTTOMBORDER1, SKIN2_FORMBOTTOMBORDER2, SKIN2_FORMBOTTOMBORDER3,
    SKIN2_MINIMIZEDTITLE, SKIN2_TITLEBUTTONS, SKIN2_CHECKEDMENUICON, SKIN2_MENUBAR, SKIN2_TOOLBAR, SKIN2_BUTTON,
    SKIN2_CHECKBOX, SKIN2_CHECKBOXLIST, SKIN2_RADIOBUTTON, SKIN2_PROGRESSBAR1, SKIN2_PROGRESSBAR2,
    SKIN2_PROGRESSBAR3, SKIN2_PROGRESSBAR4, SKIN2_TRACKBAR, SKIN2_TRACKBARSLIDER, SKIN2_TRACKBARVSLIDER,
    SKIN2_SCROLLBARUPBUTTON, SKIN2_SCROLLBAR, SKIN2_SCROLLBARDOWNBUTTON, SKIN2_TABCONTROL, SKIN2_TABCONTROLLINE,
    SKIN2_SIDECHANNELBAR, SKIN2_SIDECHANNELTITLE, SKIN2_SCROLLBUTTON,
};

enum TsuiThemeInt : int {
    SKIN2_TITLEBARICONPOSX, SKIN2_TITLEBARICONPOSY, SKIN2_TITLEBARCAPTIONTOP, SKIN2_TITLEBARBUTTONPOSX,
    SKIN2_TITLEBARBUTTONPOSY, SKIN2_TITLEBARREGIONMINY, SKIN2_TITLEBARREGIONMAXY, SKIN2_BOTTOMREGIONMINY,
    SKIN2_BOTTOMREGIONMAXY,
};

enum TsuiThemeBool : int {
    SKIN2_TITLEFIVESECT, SKIN2_BOTTOMBORDERTHREESECT, SKIN2_TITLEBARNEEDREGION, SKIN2_BOTTOMBORDERNEEDREGION,
    SKIN2_TITLEBTNTRANS, SKIN2_BUTTONTRANS, SKIN2_CHECKBOXTRANS, SKIN2_RADIOBUTTONTRANS, SKIN2_TABCONTROLTRANS,
};

inline constexpr int kThemeColorCount = 32;
inline constexpr int kThemeBitmapCount = 34;
inline constexpr int kThemeIntCount = 9;
inline constexpr int kThemeBoolCount = 9;
inline constexpr int kThemeItemNameCount = kThemeColorCount + kThemeBitmapCount + kThemeIntCount + kThemeBoolCount;

// The table of record names: colours at 0..31, bitmaps at 32..65, integers at 66..74, flags at 75..83.
extern const std::string_view kThemeItemNames[kThemeItemNameCount];

// Every integer item is a position in pixels within the title or bottom pictures (offsets, tops,
// the rows of the window outline), and no picture is wider or higher than 16384 pixels. A skin's
// integer is held to -16384..16384 as it is read, so that the components' arithmetic on it can
// never overflow, whatever number a damaged or hostile skin holds; -1, "missing", stays -1.
inline constexpr std::int32_t kThemeIntLimit = 16384;
constexpr std::int32_t ClampThemeInt(std::int32_t value) {
    return value < -kThemeIntLimit ? -kThemeIntLimit : value > kThemeIntLimit ? kThemeIntLimit : value;
}

// The record name of an item; an index outside its group gives an empty name (no record has it).
std::string_view ThemeItemName(TsuiThemeColor item);
std::string_view ThemeItemName(TsuiThemeBitmap item);
std::string_view ThemeItemName(TsuiThemeInt item);
std::string_view ThemeItemName(TsuiThemeBool item);
