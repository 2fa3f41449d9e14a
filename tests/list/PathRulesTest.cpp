// The path rules the list's programs share.
#include <gtest/gtest.h>

#include <string>

#include "list/PathRules.h"
#include "toolkit/Text.h"

namespace {

TEST(PathRulesTest, OnlyPathsFromADriveOrShareRootAreFull) {
    struct Case {
        const wchar_t* path;
        bool full;
    };
    const Case cases[] = {
        {L"C:\\", true},          {L"d:/Work", true},         {L"\\\\server\\share", true}, {L"//server/share", true},
        {L"C:Temp", false},       {L"C:", false},             {L".", false},                {L"docs", false},
        {L"\\Windows", false},    {L"\\\\\\x", false},        {L"", false},                 {L"1:\\x", false},
    };
    for (const Case& c : cases) EXPECT_EQ(qd::IsFullPath(c.path), c.full) << tk::ToUtf8(c.path);
}

TEST(PathRulesTest, SameFolderIgnoresAsciiCaseAndAClosingBackslashOnly) {
    struct Case {
        const wchar_t* a;
        const wchar_t* b;
        bool same;
    };
    const Case cases[] = {
        {L"C:\\Data", L"c:\\DATA\\", true},
        {L"C:\\", L"C:\\", true},
        {L"C:\\\u8868", L"c:\\\u8868\\", true},
        {L"C:\\Data", L"C:\\Data2", false},
        {L"C:\\Data\\Sub", L"C:\\Data", false},
        // Letters beyond A-Z keep their case, as stored lists and backups have always compared them.
        {L"C:\\\u00c4", L"C:\\\u00e4", false},
        {L"", L"", false},
        {L"", L"\\", false},
    };
    for (const Case& c : cases) EXPECT_EQ(qd::SameFolder(c.a, c.b), c.same) << tk::ToUtf8(c.a) << " " << tk::ToUtf8(c.b);
    EXPECT_EQ(qd::SameFolderKey(L""), L"\\");
}

TEST(PathRulesTest, AShortcutKeyJoinsTheExactAliasAndTheFolderKey) {
    EXPECT_EQ(qd::ShortcutKey(L"Work", L"c:\\work"), qd::ShortcutKey(L"Work", L"C:\\WORK\\"));
    EXPECT_NE(qd::ShortcutKey(L"Work", L"C:\\Work"), qd::ShortcutKey(L"work", L"C:\\Work"));
    // The alias cannot run into the path.
    EXPECT_NE(qd::ShortcutKey(L"a", L"b\\c"), qd::ShortcutKey(L"ab", L"\\c"));
}

}  // namespace
