// The find box's matching on its own: "contains, letter case ignored" for the alphabets that have
// letter case, Chinese text matched as it is, and the row search going round the list both ways.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "list/FindText.h"
#include "toolkit/Text.h"

namespace {

using qd::FindDirection;

TEST(ContainsIgnoringCase, MatchesAPieceOfTheTextInEitherCase) {
    const std::pair<const wchar_t*, const wchar_t*> found[] = {
        {L"C:\\Users\\Documents", L"users\\D"}, {L"C:\\Users\\Documents", L"MENTS"}, {L"aab", L"ab"}, {L"abc", L""},
        // Chinese has no case: it matches as typed, also beside Latin letters.
        {L"我的收藏夹", L"收藏"}, {L"项目Alpha版", L"目alPHA"},
        // Full-width letters as Chinese input methods type them; accented Latin, Greek, Cyrillic.
        {L"ＡＢＣ资料", L"ａｂｃ"}, {L"Übersicht", L"ÜBER"}, {L"Łódź", L"ŁÓDŹ"}, {L"οδός", L"ΟΔΌΣ"}, {L"Ёлка", L"ёЛКА"},
    };
    for (const auto& [text, part] : found) EXPECT_TRUE(qd::ContainsIgnoringCase(text, part)) << tk::ToUtf8(part);
    const std::pair<const wchar_t*, const wchar_t*> notFound[] = {
        {L"C:\\Users", L"usersx"}, {L"", L"a"}, {L"我的收藏夹", L"收夹"},
        {L"ＡＢＣ", L"ABC"},  // full-width and plain letters are different letters
        {L"2×3", L"2÷3"},     // the signs among the Latin-1 letters stay signs
        {L"ĸ", L"K"},
    };
    for (const auto& [text, part] : notFound) EXPECT_FALSE(qd::ContainsIgnoringCase(text, part)) << tk::ToUtf8(part);
}

TEST(FindRow, LooksAtAliasAndPathFromTheStartRoundTheList) {
    const std::vector<qd::ShortcutRow> rows{{L"Music", L"D:\\Media\\Music"},
                                            {L"项目文档", L"D:\\资料\\项目"},
                                            {L"Photos", L"E:\\Pictures"},
                                            {L"Work", L"\\\\server\\docs\\项目"}};
    struct Case {
        const wchar_t* text;
        int start;
        FindDirection direction;
        int row;
    } cases[] = {
        {L"项目", 0, FindDirection::Forward, 1},   // alias and path
        {L"项目", 2, FindDirection::Forward, 3},   // the path alone
        {L"项目", 1, FindDirection::Forward, 1},   // the start row first
        {L"MEDIA", 1, FindDirection::Forward, 0},  // round past the end
        {L"项目", 0, FindDirection::Backward, 3},  // round past the top
        {L"项目", -1, FindDirection::Backward, 3}, // -1: the last row
        {L"nowhere", 0, FindDirection::Forward, -1},
        {L"", 0, FindDirection::Forward, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(qd::FindRow(rows, c.text, c.start, c.direction), c.row) << tk::ToUtf8(c.text) << " from " << c.start;
}

}  // namespace
