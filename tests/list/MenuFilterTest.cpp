// The folder menu's filter: which rows stay for a typed text and in which order, Chinese aliases
// found by the pinyin initials of the generated table as well as by their characters.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "list/FindText.h"
#include "list/MenuFilter.h"
#include "list/PinyinInitials.h"
#include "toolkit/Text.h"

namespace {

TEST(MenuFilter, AnAliasMatchesByItsLettersItsCharactersOrThePinyinInitialsOfThem) {
    struct Case {
        const wchar_t* alias;
        const wchar_t* typed;
        int at;  // where the alias matches; -1: nowhere
    };
    const Case cases[] = {
        {L"Downloads", L"", 0},
        {L"Downloads", L"LOAD", 4},          // Latin, letter case folded
        {L"ＡＢＣ资料", L"ａｂｃ", 0},          // full-width letters fold as the find box folds them
        {L"Ёлка", L"ёЛ", 0},
        {L"北京", L"北京", 0},                 // Chinese by its characters
        {L"去北京", L"bj", 1},                 // and by its initials, anywhere in the alias
        {L"北京", L"BJ", 0},
        {L"工作文件", L"gzwj", 0},
        {L"工作文件", L"gz文件", 0},            // initials and characters mixed
        {L"工作文件", L"ｇｚ", 0},              // full-width letters as initials
        {L"银行", L"yh", 0},                   // 行 reads háng and xíng: either initial
        {L"银行", L"yx", 0},
        {L"工作文件", L"gzj", -1},             // no match: initials must follow one another
        {L"北京", L"bjx", -1},                 // a text longer than the alias
        {L"北京", L"jb", -1},
        {L"Beijing", L"bj", -1},               // a Latin letter matches only itself, never as an initial
        {L"北京", L"b?", -1},                  // a character that is no letter is no initial
    };
    for (const Case& c : cases)
        EXPECT_EQ(qd::AliasMatchAt(c.alias, qd::FoldLetterCase(c.typed)), c.at)
            << tk::ToUtf8(c.alias) << " / " << tk::ToUtf8(c.typed);
}

TEST(MenuFilter, RowsWhoseAliasStartsWithTheTextComeFirstThenTheOthersInListOrder) {
    const std::vector<qd::ShortcutRow> rows{
        {L"我的北京照片", L"D:\\Photos"},      // 0: the alias holds bj, not at its start
        {L"Music", L"D:\\Media\\bj"},          // 1: only the path holds it
        {L"北京", L"E:\\Trips\\Beijing"},     // 2: starts with it
        {L"Work", L"C:\\Work"},                // 3: nothing
        {L"BJ notes", L"C:\\Notes"},           // 4: starts with it
        {L"项目", L"\\\\server\\项目"},         // 5
    };
    struct Case {
        const wchar_t* typed;
        std::vector<int> rows;
    };
    const Case cases[] = {
        {L"", {0, 1, 2, 3, 4, 5}},
        {L"bj", {2, 4, 0, 1}},
        {L"Bj", {2, 4, 0, 1}},
        {L"xm", {5}},                          // 项目 by its initials; the path is matched as text only
        {L"项目", {5}},
        {L"work", {3}},
        {L"zzz", {}},
    };
    for (const Case& c : cases) EXPECT_EQ(qd::FilterRows(rows, c.typed), c.rows) << tk::ToUtf8(c.typed);
}

TEST(PinyinInitials, TheGeneratedTableCoversTheBlockAndKeepsEveryReading) {
    EXPECT_EQ(qd::pinyin::Initials(L'A'), 0u);
    EXPECT_EQ(qd::pinyin::Initials(static_cast<wchar_t>(0x4DFF)), 0u);  // just before the block
    const auto bit = [](char letter) { return 1u << (letter - 'a'); };
    EXPECT_EQ(qd::pinyin::Initials(L'一'), bit('y'));                    // the block's first character
    EXPECT_EQ(qd::pinyin::Initials(L'京'), bit('j'));
    EXPECT_EQ(qd::pinyin::Initials(L'行') & (bit('h') | bit('x')), bit('h') | bit('x'));
    EXPECT_NE(qd::pinyin::Initials(L'长') & bit('c'), 0u);               // cháng and zhǎng
    EXPECT_NE(qd::pinyin::Initials(L'长') & bit('z'), 0u);
    EXPECT_NE(qd::pinyin::Initials(L'嗯') & bit('n'), 0u);               // ń, a syllable without a vowel
    int withReadings = 0;
    for (std::uint32_t c = qd::pinyin::kFirstHan; c <= qd::pinyin::kLastHan; ++c)
        withReadings += qd::pinyin::Initials(static_cast<wchar_t>(c)) != 0;
    EXPECT_GT(withReadings, 20000);
}

}  // namespace
