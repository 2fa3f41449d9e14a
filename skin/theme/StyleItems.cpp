#include "skin/theme/StyleItems.h"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

namespace {

using K = TsuiStyleItemKind;

// One row per item: its kind, its values in MacOS, WinXP, DeepBlue, Protein, BlueGlass order (for
// bitmaps unused), and for bitmaps the element part of the resource name ("" for no resource).
struct Row {
    K kind;
    std::int32_t values[5];
    std::string_view element;
};

constexpr std::int32_t T = 1, F = 0;

constexpr Row kRows[kLastStyleItem] = {
    /* 1 */ {K::Bitmap, {}, "BUTTON"},
    /* 2 */ {K::Boolean, {T, F, F, F, T}, {}},
    /* 3 */ {K::Bitmap, {}, "CHECKBOX"},
    /* 4 */ {K::Bitmap, {}, "RADIOBUTTON"},
    /* 5 */ {K::Bitmap, {}, "TITLEBTN"},
    /* 6 */ {K::Boolean, {F, F, F, T, T}, {}},
    /* 7 */ {K::Integer, {3, 2, 0, 0, 4}, {}},
    /* 8 */ {K::Integer, {-2, -2, 0, 0, -3}, {}},
    /* 9 */ {K::Integer, {4, 5, 2, 2, 6}, {}},
    /* 10 */ {K::Bitmap, {}, "TITLE_LEFT"},
    /* 11 */ {K::Bitmap, {}, "TITLE_CLIENT"},
    /* 12 */ {K::Bitmap, {}, "TITLE_RIGHT"},
    /* 13 */ {K::Integer, {130, 150, 130, 130, 270}, {}},
    /* 14 */ {K::Integer, {0, 13, 0, 0, 11}, {}},
    /* 15 */ {K::Color, {0xE7E7E7, 0xDEEBEF, 0xE8E8E8, 0xFBFBFB, 0xE7E7E7}, {}},
    /* 16 */ {K::Color, {0x7F7F7F, 0xC82C00, 0x000000, 0x000000, 0x000000}, {}},
    /* 17 */ {K::Integer, {1, 3, 1, 1, 1}, {}},
    /* 18 */ {K::Color, {0xC47339, 0xC66931, 0xA04A44, 0xC4302D, 0xEC5E5E}, {}},
    /* 19 */ {K::Color, {0xC47339, 0xEFD3C6, 0xA04A44, 0xC4302D, 0xEC5E5E}, {}},
    /* 20 */ {K::Color, {0xFFFFFF, 0x000000, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF}, {}},
    /* 21 */ {K::Color, {0x000000, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xE7E7E7}, {}},
    /* 22 */ {K::Color, {0x000000, 0x000000, 0x000000, 0x000000, 0x000000}, {}},
    /* 23 */ {K::Color, {0x000000, 0xCED3D6, 0xCED3D6, 0xCED3D6, 0xCED3D6}, {}},
    /* 24 */ {K::Bitmap, {}, "PROGRESSBAR"},
    /* 25 */ {K::Color, {0x7F7F7F, 0x686868, 0x000000, 0x000000, 0x000000}, {}},
    /* 26 */ {K::Color, {0xE7E7E7, 0xDEEBEF, 0xE8E8E8, 0xFBFBFB, 0xE7E7E7}, {}},
    /* 27 */ {K::Color, {0x000000, 0xCF4602, 0x000000, 0x000000, 0x000000}, {}},
    /* 28 */ {K::Bitmap, {}, "TRACKBAR_BAR"},
    /* 29 */ {K::Bitmap, {}, "TRACKBAR_SLIDER"},
    /* 30 */ {K::Bitmap, {}, "TRACKBAR_SLIDER_V"},
    /* 31 */ {K::Color, {0xC9C9C9, 0xF9F9F9, 0xF5F5F5, 0xF5F5F5, 0xF4F4F4}, {}},
    /* 32 */ {K::Bitmap, {}, "SCROLLBAR_BUTTON"},
    /* 33 */ {K::Bitmap, {}, "SCROLLBAR_TRACK"},
    /* 34 */ {K::Bitmap, {}, "CHECKLIST"},
    /* 35 */ {K::Color, {0x474747, 0xC66931, 0x474747, 0x474747, 0x474747}, {}},
    /* 36 */ {K::Color, {0xEFEFEF, 0xEFD3C6, 0xEFEFEF, 0xEFEFEF, 0xEFEFEF}, {}},
    /* 37 */ {K::Color, {0xD8D8D8, 0xE1AC93, 0xD8D8D8, 0xD8D8D8, 0xD8D8D8}, {}},
    /* 38 */ {K::Bitmap, {}, "SCROLLBUTTON"},
    /* 39 */ {K::Bitmap, {}, "TAB"},
    /* 40 */ {K::Bitmap, {}, "TAB_LINE"},
    /* 41 */ {K::Bitmap, {}, "SIDECHENNEL_HANDLE"},
    /* 42 */ {K::Bitmap, {}, "SIDECHENNEL_BAR"},
    /* 43 */ {K::Bitmap, {}, ""},
    /* 44 */ {K::Color, {0x000000, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF}, {}},
    /* 45 */ {K::Bitmap, {}, ""},
    /* 46 */ {K::Bitmap, {}, ""},
    /* 47 */ {K::Integer, {0, 0, 0, 0, 0}, {}},
    /* 48 */ {K::Color, {0xE7E7E7, 0xDEEBEF, 0xE8E8E8, 0xFBFBFB, 0xE7E7E7}, {}},
};

constexpr std::string_view kPrefixes[5] = {"MACOS", "WINXP", "DEEPBLUE", "PROTEIN", "BLUEGLASS"};

int StyleIndex(TsuiUIStyle style) { return static_cast<int>(style) - 1; }

// The resource names of every bitmap item in every style, built once: STYLE_ELEMENT, except the
// shared scroll button of the three styles that have none of their own.
const std::array<std::array<std::string, kLastStyleItem>, 5>& BitmapNames() {
    static const auto names = [] {
        std::array<std::array<std::string, kLastStyleItem>, 5> n;
        for (int s = 0; s < 5; ++s)
            for (int i = 0; i < kLastStyleItem; ++i) {
                const Row& row = kRows[i];
                if (row.kind != K::Bitmap || row.element.empty()) continue;
                if (i + 1 == style_item::kScrollButton && s >= StyleIndex(TsuiUIStyle::DeepBlue))
                    n[s][i] = "MORE_SCROLLBUTTON";
                else
                    n[s][i] = std::string(kPrefixes[s]) + "_" + std::string(row.element);
            }
        return n;
    }();
    return names;
}

}  // namespace

TsuiStyleValue LookupStyleItem(TsuiUIStyle style, TsuiStyleItem item) {
    if (!IsBuiltInStyle(style) || item < kFirstStyleItem || item > kLastStyleItem) return {};
    const Row& row = kRows[item - 1];
    const int s = StyleIndex(style);
    TsuiStyleValue v;
    v.kind = row.kind;
    if (row.kind == K::Bitmap) {
        v.value = 0;
        v.bitmapName = BitmapNames()[s][item - 1];
    } else {
        v.value = row.values[s];
    }
    return v;
}

std::uint32_t GetBuiltInColor(TsuiUIStyle style, TsuiStyleItem item) {
    const TsuiStyleValue v = LookupStyleItem(style, item);
    return v.kind == K::Color ? static_cast<std::uint32_t>(v.value) : 0;
}

std::int32_t GetBuiltInInt(TsuiUIStyle style, TsuiStyleItem item) {
    const TsuiStyleValue v = LookupStyleItem(style, item);
    return v.kind == K::Integer ? v.value : -1;
}

bool GetBuiltInBool(TsuiUIStyle style, TsuiStyleItem item) {
    const TsuiStyleValue v = LookupStyleItem(style, item);
    return v.kind == K::Boolean && v.value != 0;
}

std::string_view GetBuiltInBitmapName(TsuiUIStyle style, TsuiStyleItem item) {
    const TsuiStyleValue v = LookupStyleItem(style, item);
    return v.kind == K::Bitmap ? v.bitmapName : std::string_view{};
}

std::string_view StyleResourcePrefix(TsuiUIStyle style) {
    return IsBuiltInStyle(style) ? kPrefixes[StyleIndex(style)] : std::string_view{};
}

std::span<const std::string_view> BuiltInResourceNames() {
    static const std::vector<std::string_view> names = [] {
        std::vector<std::string_view> n;
        for (int s = 0; s < 5; ++s)
            for (const std::string& name : BitmapNames()[s])
                if (!name.empty() && std::find(n.begin(), n.end(), name) == n.end()) n.push_back(name);
        for (std::string_view extra : {"MACOS_MENU_BAR", "MACOS_MENU_SELECT", "MACOS_FORM_BACKGROUND",
                                       "PROTEIN_FORM_BACKGROUND", "MENU_CHECKED"})
            n.push_back(extra);
        return n;
    }();
    return names;
}

std::span<const BuiltInResourceSize> BuiltInResourceSizes() {
    static constexpr BuiltInResourceSize kSizes[] = {
        {"MACOS_TITLEBTN", 306, 17},     {"WINXP_TITLEBTN", 378, 21},      {"DEEPBLUE_TITLEBTN", 342, 19},
        {"PROTEIN_TITLEBTN", 342, 19},   {"BLUEGLASS_TITLEBTN", 342, 19},  {"MACOS_TITLE_LEFT", 48, 23},
        {"WINXP_TITLE_LEFT", 35, 29},    {"DEEPBLUE_TITLE_LEFT", 97, 32},  {"PROTEIN_TITLE_LEFT", 441, 23},
        {"BLUEGLASS_TITLE_LEFT", 162, 33}, {"MACOS_TITLE_CLIENT", 49, 23}, {"WINXP_TITLE_CLIENT", 37, 29},
        {"DEEPBLUE_TITLE_CLIENT", 98, 32}, {"PROTEIN_TITLE_CLIENT", 1, 23}, {"BLUEGLASS_TITLE_CLIENT", 179, 33},
        {"MACOS_TITLE_RIGHT", 48, 23},   {"WINXP_TITLE_RIGHT", 35, 29},    {"DEEPBLUE_TITLE_RIGHT", 97, 32},
        {"PROTEIN_TITLE_RIGHT", 1, 23},  {"BLUEGLASS_TITLE_RIGHT", 101, 33}, {"MACOS_MENU_BAR", 1, 22},
        {"MACOS_MENU_SELECT", 1, 21},    {"MENU_CHECKED", 16, 16},
    };
    return kSizes;
}
