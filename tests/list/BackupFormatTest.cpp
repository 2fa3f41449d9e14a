// The backup file's text: names, the import's sameness, and the section read strictly (a restore, a
// recovery) or leniently (an import), each bounded by the entries the file holds.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "list/BackupFormat.h"
#include "toolkit/Exception.h"

namespace {

using Rows = std::vector<qd::ShortcutRow>;

std::wstring ThrownBy(const std::function<void()>& run) {
    try {
        run();
    } catch (const tk::Exception& e) {
        return e.Message();
    }
    return L"<nothing thrown>";
}

TEST(BackupFileName, AppendsTheExtensionUnlessItIsPwbInAnyCase) {
    EXPECT_EQ(qd::BackupFileName(L"C:\\b\\list"), L"C:\\b\\list.pwb");
    EXPECT_EQ(qd::BackupFileName(L"C:\\b\\list.pwb"), L"C:\\b\\list.pwb");
    EXPECT_EQ(qd::BackupFileName(L"C:\\b\\list.PWB"), L"C:\\b\\list.PWB");
    EXPECT_EQ(qd::BackupFileName(L"C:\\b\\list.pwb.txt"), L"C:\\b\\list.pwb.txt.pwb");
    EXPECT_EQ(qd::BackupFileName(L"C:\\b.pwb\\list"), L"C:\\b.pwb\\list.pwb");  // a dot in a folder is no extension
    EXPECT_EQ(qd::BackupFileName(L"C:\\b\\list."), L"C:\\b\\list..pwb");
}

TEST(ShortcutIndex, AliasesExactPathsByCaseOfAsciiAndTrailingBackslash) {
    qd::ShortcutIndex index;
    index.Add(L"Data", L"C:\\Data");
    EXPECT_TRUE(index.Contains(L"Data", L"c:\\data\\"));
    EXPECT_FALSE(index.Contains(L"data", L"C:\\Data"));      // aliases keep their case
    EXPECT_FALSE(index.Contains(L"Data", L"C:\\Data\\\\"));  // only one backslash is added
    EXPECT_FALSE(index.Contains(L"Data", L"C:\\Dat"));
    // Only a-z fold: other letters keep their case.
    index.Add(L"é", L"C:\\é");
    EXPECT_FALSE(index.Contains(L"é", L"C:\\É"));
    // A double-byte character whose second byte in the ANSI code page is a backslash is no
    // trailing backslash: such a path still gets its backslash added.
    EXPECT_EQ(qd::SameFolderKey(L"C:\\\u8868"), L"C:\\\u8868\\");
    EXPECT_EQ(qd::SameFolderKey(L""), L"\\");
    // Alias and path cannot run into each other.
    index.Add(L"a", L"b");
    EXPECT_FALSE(index.Contains(L"", L"ab"));
}

TEST(BackupSection, ReadStrictlyEveryEntryBelowCountMustBeThere) {
    struct Case {
        const char* name;
        qd::BackupEntries section;
        std::wstring why;  // empty: the rows below are read
    };
    const Case cases[] = {
        {"no count", {{L"N0", L"a"}, {L"P0", L"C:\\a"}}, L"it states no number of entries"},
        {"count not a number", {{L"Count", L"many"}}, L"it states no number of entries"},
        {"negative count", {{L"Count", L"-1"}}, L"it states no number of entries"},
        {"cut off", {{L"Count", L"3"}, {L"N0", L"a"}, {L"P0", L"C:\\a"}, {L"N1", L"b"}}, L"entry 2 of 3 is missing"},
        {"empty path", {{L"Count", L"2"}, {L"N0", L"a"}, {L"P0", L""}}, L"entry 1 of 2 is missing"},
        {"quotes only", {{L"Count", L"1"}, {L"N0", L"a"}, {L"P0", L"\"\""}}, L"entry 1 of 1 is missing"},
        // A count far beyond the entries costs no more than the entries: no list of that length is
        // made before the first missing entry is found.
        {"huge count", {{L"Count", L"2147483647"}, {L"N0", L"a"}, {L"P0", L"C:\\a"}}, L"entry 2 of 2147483647 is missing"},
        {"whole, keys in any case, past Count ignored",
         {{L"count", L"1"}, {L"n0", L"a"}, {L"P0", L"\" C:\\a \""}, {L"N1", L"old"}, {L"P1", L"C:\\old"}}, L""},
        {"empty list", {{L"Count", L"0"}}, L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.why.empty()) {
            const Rows rows = qd::StrictBackupRows(c.section, L"f.pwb");
            EXPECT_EQ(rows.size(), c.section.size() > 1 ? 1u : 0u);
            if (!rows.empty()) {
                EXPECT_EQ(rows[0].Path, L" C:\\a ");
            }
        } else {
            EXPECT_EQ(ThrownBy([&] { qd::StrictBackupRows(c.section, L"f.pwb"); }), L"The backup f.pwb is damaged: " + c.why);
        }
    }
}

TEST(BackupSection, TheImportTakesWholeNewEntriesInIndexOrderOnce) {
    qd::ShortcutIndex present;
    present.Add(L"have", L"C:\\have");
    const qd::BackupEntries section = {
        {L"Count", L"9"},
        {L"N3", L"c"},      {L"P3", L"C:\\c"},                      // after the others in the file, taken in index order
        {L"N0", L"a"},      {L"P0", L"C:\\a"},
        {L"N1", L"have"},   {L"P1", L"c:\\HAVE\\"},               // the list holds it already
        {L"N2", L"a"},      {L"P2", L"C:\\A"},                      // the file holds it twice
        {L"N4", L""},       {L"P4", L"C:\\empty alias"},
        {L"N6", L"rel"},    {L"P6", L"C:docs"},                     // a relative path is not stored
        {L"N5", L"first"},  {L"N5", L"second"}, {L"P5", L"C:\\f"},  // the first of repeated keys counts
        {L"N01", L"x"},     {L"P01", L"C:\\x"},                     // not a key the program writes
        {L"N9", L"past"},   {L"P9", L"C:\\past count"},
    };
    const Rows taken = qd::BackupEntriesToImport(section, 9, present);
    ASSERT_EQ(taken.size(), 3u);
    EXPECT_EQ(taken[0].Alias + L"|" + taken[1].Alias + L"|" + taken[2].Alias, L"a|c|first");
    // A huge count costs what the entries cost.
    EXPECT_EQ(qd::BackupEntriesToImport({{L"N0", L"a"}, {L"P0", L"C:\\a"}}, 0x7FFFFFFFFFFFLL, {}).size(), 1u);
    EXPECT_TRUE(qd::BackupEntriesToImport(section, 0, {}).empty());
}

}  // namespace
