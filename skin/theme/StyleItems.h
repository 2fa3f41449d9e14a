// The five built-in UI styles: for each style item (1 to 48) its kind, shared by all styles, and
// its value in every style: a colour (red in the low byte), an integer, a flag, or the name of a
// bitmap resource of the program.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "skin/theme/ThemeItems.h"

using TsuiStyleItem = int;  // 1 to 48

inline constexpr TsuiStyleItem kFirstStyleItem = 1;
inline constexpr TsuiStyleItem kLastStyleItem = 48;

// The items the skinned components ask for, named by what they hold (the other items have no
// user in this program).
namespace style_item {
inline constexpr TsuiStyleItem kTitleButtonStrip = 5;         // bitmap: the 18 title button pictures
inline constexpr TsuiStyleItem kTitleButtonTransparent = 6;   // flag: title buttons drawn transparent
inline constexpr TsuiStyleItem kTitleLeftOffset = 7;          // title bar: offset of the left button group
inline constexpr TsuiStyleItem kTitleRightOffset = 8;         // title bar: offset of the right button group
inline constexpr TsuiStyleItem kTitleButtonTop = 9;           // title bar: top of the buttons and the icon
inline constexpr TsuiStyleItem kTitleLeft = 10;               // bitmap: left piece of the title
inline constexpr TsuiStyleItem kTitleClient = 11;             // bitmap: middle piece, stretched
inline constexpr TsuiStyleItem kTitleRight = 12;              // bitmap: right piece
inline constexpr TsuiStyleItem kFormMinWidth = 13;            // the form's minimum width
inline constexpr TsuiStyleItem kRoundCorner = 14;             // corner rounding of the window outline
inline constexpr TsuiStyleItem kFaceColor = 15;               // form, tool bar and popup menu border face
inline constexpr TsuiStyleItem kBorderColor = 16;             // the frame's painted border
inline constexpr TsuiStyleItem kBorderWidth = 17;             // the frame's painted border width
inline constexpr TsuiStyleItem kSelectedBorderColor = 18;     // frame of a selected menu item
inline constexpr TsuiStyleItem kSelectedColor = 19;           // face of a selected menu item
inline constexpr TsuiStyleItem kSelectedFontColor = 20;       // text of a selected menu item
inline constexpr TsuiStyleItem kMenuItemColor = 21;           // menu item face
inline constexpr TsuiStyleItem kMenuFontColor = 22;           // menu item text
inline constexpr TsuiStyleItem kMenuSideBarColor = 23;        // menu side bar
inline constexpr TsuiStyleItem kToolButtonBorderColor = 35;   // tool button frame
inline constexpr TsuiStyleItem kToolButtonColor = 36;         // tool button face
inline constexpr TsuiStyleItem kToolButtonDownColor = 37;     // pressed tool button face
inline constexpr TsuiStyleItem kScrollButton = 38;            // bitmap: scroll button
}  // namespace style_item

enum class TsuiStyleItemKind : std::uint8_t { Bitmap, Boolean, Integer, Color };

struct TsuiStyleValue {
    TsuiStyleItemKind kind = TsuiStyleItemKind::Integer;
    // Colour, integer or flag (0 or 1); -1 when the style is not a built-in one.
    std::int32_t value = -1;
    // The resource name of a bitmap item (may be empty); empty for the other kinds.
    std::string_view bitmapName;
};

// Whether the style is one of the five built-in ones.
constexpr bool IsBuiltInStyle(TsuiUIStyle style) {
    return style >= TsuiUIStyle::MacOS && style <= TsuiUIStyle::BlueGlass;
}

// The raw value of an item in a built-in style and the item's kind. FromThemeFile, any value
// above BlueGlass and any item outside 1..48 give the kind Integer and the value -1.
TsuiStyleValue LookupStyleItem(TsuiUIStyle style, TsuiStyleItem item);

// The value when the item is a colour, otherwise 0.
std::uint32_t GetBuiltInColor(TsuiUIStyle style, TsuiStyleItem item);
// The value when the item is an integer, otherwise -1.
std::int32_t GetBuiltInInt(TsuiUIStyle style, TsuiStyleItem item);
// The flag when the item is a boolean, otherwise false.
bool GetBuiltInBool(TsuiUIStyle style, TsuiStyleItem item);
// The resource name when the item is a bitmap, otherwise empty.
std::string_view GetBuiltInBitmapName(TsuiUIStyle style, TsuiStyleItem item);

// Every bitmap resource the built-in styles and their helpers name (each once): the style
// elements, the shared scroll button, the MacOS menu pieces, the two form backgrounds and the
// menu check mark.
std::span<const std::string_view> BuiltInResourceNames();

// The upper-case style prefix of resource names ("MACOS", "WINXP", ...), empty for FromThemeFile.
std::string_view StyleResourcePrefix(TsuiUIStyle style);

// The names and sizes of the resources whose size the title bar's layout depends on.
struct BuiltInResourceSize {
    std::string_view name;
    int width, height;
};
std::span<const BuiltInResourceSize> BuiltInResourceSizes();
