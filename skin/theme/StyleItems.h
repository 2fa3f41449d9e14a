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
