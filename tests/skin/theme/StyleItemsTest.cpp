// The built-in style tables and their lookups, and the arithmetic of the shared drawing helpers.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "skin/theme/SkinMath.h"
#include "skin/theme/StyleItems.h"

namespace {

using S = TsuiUIStyle;
using K = TsuiStyleItemKind;

TEST(StyleItems, LookupsOfEachKindGiveTheTableValues) {
    EXPECT_EQ(GetBuiltInColor(S::DeepBlue, 15), 0xE8E8E8u);
    EXPECT_EQ(GetBuiltInColor(S::WinXP, 16), 0xC82C00u);
    EXPECT_EQ(GetBuiltInColor(S::BlueGlass, 18), 0xEC5E5Eu);
    EXPECT_EQ(GetBuiltInColor(S::Protein, 48), 0xFBFBFBu);
    EXPECT_EQ(GetBuiltInInt(S::WinXP, 14), 13);
    EXPECT_EQ(GetBuiltInInt(S::BlueGlass, 8), -3);
    EXPECT_EQ(GetBuiltInInt(S::MacOS, 8), -2);
    EXPECT_EQ(GetBuiltInInt(S::BlueGlass, 13), 270);
    EXPECT_EQ(GetBuiltInInt(S::WinXP, 17), 3);
    EXPECT_TRUE(GetBuiltInBool(S::MacOS, 2));
    EXPECT_FALSE(GetBuiltInBool(S::WinXP, 2));
    EXPECT_TRUE(GetBuiltInBool(S::Protein, 6));
    EXPECT_FALSE(GetBuiltInBool(S::DeepBlue, 6));
    EXPECT_EQ(GetBuiltInBitmapName(S::MacOS, 5), "MACOS_TITLEBTN");
    EXPECT_EQ(GetBuiltInBitmapName(S::BlueGlass, 12), "BLUEGLASS_TITLE_RIGHT");
    EXPECT_EQ(GetBuiltInBitmapName(S::Protein, 41), "PROTEIN_SIDECHENNEL_HANDLE");

    const TsuiStyleValue title = LookupStyleItem(S::WinXP, 10);
    EXPECT_EQ(title.kind, K::Bitmap);
    EXPECT_EQ(title.bitmapName, "WINXP_TITLE_LEFT");
    const TsuiStyleValue corner = LookupStyleItem(S::BlueGlass, 14);
    EXPECT_EQ(corner.kind, K::Integer);
    EXPECT_EQ(corner.value, 11);
}

TEST(StyleItems, LookupsOfTheWrongKindGiveTheirSentinels) {
    EXPECT_EQ(GetBuiltInColor(S::WinXP, 14), 0u);   // an integer item
    EXPECT_EQ(GetBuiltInColor(S::WinXP, 5), 0u);    // a bitmap item
    EXPECT_EQ(GetBuiltInInt(S::DeepBlue, 15), -1);  // a colour item
    EXPECT_EQ(GetBuiltInInt(S::MacOS, 2), -1);      // a flag
    EXPECT_FALSE(GetBuiltInBool(S::MacOS, 7));      // an integer of 3
    EXPECT_FALSE(GetBuiltInBool(S::MacOS, 16));     // a non-zero colour
    EXPECT_EQ(GetBuiltInBitmapName(S::MacOS, 15), "");
}

TEST(StyleItems, FromThemeFileAndUnknownStylesOrItemsAreIntegerMinusOne) {
    for (int raw : {0, 6, 200}) {
        const auto style = static_cast<S>(raw);
        for (int item : {2, 5, 9, 15}) {
            const TsuiStyleValue v = LookupStyleItem(style, item);
            EXPECT_EQ(v.kind, K::Integer);
            EXPECT_EQ(v.value, -1);
            EXPECT_EQ(GetBuiltInColor(style, item), 0u);
            EXPECT_EQ(GetBuiltInInt(style, item), -1);
            EXPECT_FALSE(GetBuiltInBool(style, item));
            EXPECT_EQ(GetBuiltInBitmapName(style, item), "");
        }
    }
    for (int item : {-1, 0, 49, 1000}) {
        EXPECT_EQ(LookupStyleItem(S::MacOS, item).value, -1);
        EXPECT_EQ(GetBuiltInInt(S::MacOS, item), -1);
    }
}

TEST(StyleItems, ResourceNamesFollowTheStyleAndElementScheme) {
    // The three styles without a scroll button of their own share one; items 43, 45 and 46 name none.
    EXPECT_EQ(GetBuiltInBitmapName(S::MacOS, 38), "MACOS_SCROLLBUTTON");
    EXPECT_EQ(GetBuiltInBitmapName(S::WinXP, 38), "WINXP_SCROLLBUTTON");
    for (S s : {S::DeepBlue, S::Protein, S::BlueGlass}) EXPECT_EQ(GetBuiltInBitmapName(s, 38), "MORE_SCROLLBUTTON");
    for (int item : {43, 45, 46}) {
        EXPECT_EQ(LookupStyleItem(S::DeepBlue, item).kind, K::Bitmap);
        EXPECT_EQ(GetBuiltInBitmapName(S::DeepBlue, item), "");
    }
    // Every bitmap item of every style is in the resource list, which has no duplicates:
    // 5 styles x 19 elements, less the 3 shared scroll buttons, plus 1 shared and 5 further ones.
    const auto names = BuiltInResourceNames();
    const std::set<std::string_view> unique(names.begin(), names.end());
    EXPECT_EQ(unique.size(), names.size());
    EXPECT_EQ(names.size(), 5u * 19 - 3 + 1 + 5);
    for (S s : {S::MacOS, S::WinXP, S::DeepBlue, S::Protein, S::BlueGlass})
        for (int item = kFirstStyleItem; item <= kLastStyleItem; ++item) {
            const std::string_view name = GetBuiltInBitmapName(s, item);
            if (!name.empty()) {
                EXPECT_TRUE(unique.count(name)) << name;
            }
        }
    EXPECT_TRUE(unique.count("MACOS_SIDECHENNEL_BAR"));
    EXPECT_FALSE(unique.count("DEEPBLUE_SCROLLBUTTON"));
}

TEST(SkinMath, GradientStepsTruncateTowardZero) {
    // Red 0 -> 255 over 10 lines: 255 / 10 * 3 = 76.5 -> 76. Falling blue 200 -> 0: -200 / 3 * 1 =
    // -66.67 -> -66, so 134 (not 133).
    EXPECT_EQ(skin::GradientColor(0x000000, 0x0000FF, 10, 3), 0x00004Cu);
    EXPECT_EQ(skin::GradientColor(0xC80000, 0x000000, 3, 1), 0x860000u);
    EXPECT_EQ(skin::GradientColor(0x123456, 0x654321, 7, 0), 0x123456u);
}

TEST(SkinMath, CaptionsAreShortenedToTheShortestPrefixReachingTheWidth) {
    auto width = [](const std::wstring& t) { return static_cast<int>(t.size()) * 10; };  // 10 pixels a character
    EXPECT_EQ(skin::FitTextWithEllipsis(L"Hello", 50, width), L"Hello");       // fits exactly
    EXPECT_EQ(skin::FitTextWithEllipsis(L"Hello", 45, width), L"He...");       // "H..." is 40, "He..." 50
    EXPECT_EQ(skin::FitTextWithEllipsis(L"Hello world", 70, width), L"Hell...");  // exactly 70 reaches 70
    EXPECT_EQ(skin::FitTextWithEllipsis(L"Ab", 5, width), L"A...");            // below the first prefix's width
    EXPECT_EQ(skin::FitTextWithEllipsis(L"A", 5, width), L"A");                // one character: itself
    EXPECT_EQ(skin::FitTextWithEllipsis(L"", -1, width), L"");
    // No prefix shorter than the text reaches the width: the text itself.
    auto wideDots = [](const std::wstring& t) { return t.find(L"...") == std::wstring::npos ? 100 : 1; };
    EXPECT_EQ(skin::FitTextWithEllipsis(L"abc", 50, wideDots), L"abc");
}

}  // namespace
