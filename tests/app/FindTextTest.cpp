// The find box's matching on its own: "contains, letter case ignored" for the alphabets that have
// letter case, Chinese text matched as it is, and the row search going round the list both ways.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/FindText.h"
#include "toolkit/Text.h"

namespace {

using qd::FindDirection;

TEST(ContainsIgnoringCase, MatchesAPieceOfTheTextInEitherCase) {
    struct Case {
        const wchar_t* text;
        const wchar_t* part;
        bool contains;
    } cases[] = {
        {L"C:\\Users\\Documents", L"docu", true},
        {L"C:\\Users\\Documents", L"USERS\\D", true},
        {L"C:\\Users\\Documents", L"ments", true},  // at the very end
        {L"C:\\Users\\Documents", L"mentsx", false},
        {L"abc", L"", true},
        {L"", L"a", false},
        {L"ab", L"abc", false},
        {L"aab", L"ab", true},  // a false start right before the match
        // Chinese text has no case: it matches as it is, also beside Latin letters.
        {L"D:\\资料\\项目文档", L"项目", true},
        {L"我的收藏夹", L"收藏", true},
        {L"我的收藏夹", L"收夹", false},
        {L"项目Alpha版", L"目alPHA", true},
        // Full-width Latin letters, as Chinese input methods type them.
        {L"ＡＢＣ资料", L"ａｂｃ", true},
        {L"ＡＢＣ", L"ABC", false},  // full-width and plain letters are different letters
        // Accented Latin, Greek and Cyrillic capitals and small letters.
        {L"Übersicht", L"ÜBER", true},
        {L"Été", L"éTÉ", true},
        {L"Łódź", L"ŁÓDŹ", true},
        {L"ŁÓDŹ", L"łódź", true},
        {L"ΑΘΗΝΑ", L"αθηνα", true},
        {L"ΟΔΟΣ", L"οδος", true},
        {L"οδός", L"ΟΔΌΣ", true},
        {L"Москва", L"МОСКВА", true},
        {L"Ёлка", L"ёлка", true},
        // Signs between the letters of the Latin-1 block stay signs.
        {L"2×3", L"2÷3", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(qd::ContainsIgnoringCase(c.text, c.part), c.contains) << tk::ToUtf8(c.text) << " / " << tk::ToUtf8(c.part);
}

TEST(FoldLetterCase, FoldsOnlyLettersThatHaveCase) {
    for (wchar_t c = 0; c < 0x80; ++c) {
        const bool capital = c >= L'A' && c <= L'Z';
        EXPECT_EQ(qd::FoldLetterCase(c), capital ? static_cast<wchar_t>(c + 32) : c) << static_cast<int>(c);
    }
    EXPECT_EQ(qd::FoldLetterCase(L'Ÿ'), L'ÿ');
    EXPECT_EQ(qd::FoldLetterCase(L'ß'), L'ß');
    EXPECT_EQ(qd::FoldLetterCase(L'ĸ'), L'ĸ');   // no capital of its own
    EXPECT_EQ(qd::FoldLetterCase(L'Ĺ'), L'ĺ');   // pairs starting on an odd value
    EXPECT_EQ(qd::FoldLetterCase(L'ĺ'), L'ĺ');
    EXPECT_EQ(qd::FoldLetterCase(L'Ŋ'), L'ŋ');
    EXPECT_EQ(qd::FoldLetterCase(L'中'), L'中');
    EXPECT_EQ(qd::FoldLetterCase(L'Ｚ'), L'ｚ');
    EXPECT_EQ(qd::FoldLetterCase(L'［'), L'［');  // after Ｚ: not a letter
}

std::vector<qd::ShortcutRow> Rows(std::initializer_list<std::pair<const wchar_t*, const wchar_t*>> texts) {
    std::vector<qd::ShortcutRow> rows;
    for (const auto& [alias, path] : texts) rows.push_back({alias, path, false, false});
    return rows;
}

TEST(FindRow, LooksAtAliasAndPathFromTheStartRoundTheList) {
    const auto rows = Rows({{L"Music", L"D:\\Media\\Music"},
                            {L"项目文档", L"D:\\资料\\项目"},
                            {L"Photos", L"E:\\Pictures"},
                            {L"Work", L"\\\\server\\docs\\项目"},
                            {L"Docs", L"C:\\Users\\Me\\Documents"}});
    struct Case {
        const wchar_t* text;
        int start;
        FindDirection direction;
        int row;
    } cases[] = {
        {L"项目", 0, FindDirection::Forward, 1},     // alias and path
        {L"项目", 2, FindDirection::Forward, 3},     // the path alone
        {L"项目", 4, FindDirection::Forward, 1},     // round past the end
        {L"项目", 3, FindDirection::Forward, 3},     // the start row first
        {L"项目", 0, FindDirection::Backward, 3},    // round past the top
        {L"项目", 2, FindDirection::Backward, 1},
        {L"项目", -1, FindDirection::Backward, 3},   // -1: the last row
        {L"项目", 5, FindDirection::Forward, 1},     // past the end: round to the top
        {L"MEDIA", 3, FindDirection::Forward, 0},
        {L"docs", 0, FindDirection::Forward, 3},
        {L"docs", 4, FindDirection::Backward, 4},
        {L"nowhere", 0, FindDirection::Forward, -1},
        {L"", 0, FindDirection::Forward, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(qd::FindRow(rows, c.text, c.start, c.direction), c.row)
            << tk::ToUtf8(c.text) << " from " << c.start << (c.direction == FindDirection::Forward ? " on" : " back");
    EXPECT_EQ(qd::FindRow({}, L"a", 0, FindDirection::Forward), -1);
}

}  // namespace
