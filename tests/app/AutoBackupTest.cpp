// The automatic backups on real files in a temporary folder: the text of a whole-list backup
// and its exact return (characters outside the ANSI code page, blanks and quotes at the ends),
// read by the strict reader and by the import alike; the backups numbered and pruned to the newest
// twenty by number (a clock once ahead, a file held by a reader), never another file; a folder
// that cannot be written.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "list/PathRules.h"
#include "list/win/AutoBackup.h"
#include "list/win/Backup.h"
#include "app/RestoreDialog.h"
#include "tests/support/TempDir.h"
#include "toolkit/Exception.h"
#include "toolkit/Text.h"
#include "toolkit/win/IniFile.h"
#include "toolkit/win/Scoped.h"

namespace qd {
// Rows are compared and shown by their texts.
bool operator==(const ShortcutRow& a, const ShortcutRow& b) { return a.Alias == b.Alias && a.Path == b.Path; }
void PrintTo(const ShortcutRow& row, std::ostream* out) { *out << tk::ToUtf8(row.Alias + L" | " + row.Path); }
}  // namespace qd

namespace {

using qd::ShortcutRow;
using Rows = std::vector<ShortcutRow>;

std::wstring ThrownBy(const std::function<void()>& work) {
    try {
        work();
    } catch (const tk::Exception& e) {
        return e.Message();
    }
    return L"<nothing thrown>";
}

// What the import takes from the file, read and appended as the main window does.
Rows Imported(const std::filesystem::path& file) {
    Rows appended;
    Rows empty;
    qd::RowsOf list(empty);
    const tk::TUnicodeIniCopy readable(file.wstring());
    qd::ImportBackup(readable.File(), list,
                     [&](const std::wstring& a, const std::wstring& p) { appended.push_back({a, p, false}); });
    return appended;
}

std::vector<std::wstring> FileNames(const std::filesystem::path& folder) {
    std::vector<std::wstring> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename().wstring());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(BackupText, WritesTheSectionCountAndPairsQuotingOnlyWhatReadersWouldChange) {
    const Rows rows = {{L"plain", L"C:\\a"},
                       {L" lead", L"trail "},
                       {L"\"quoted\"", L"'single'"},
                       {L"\"open", L"a=b;c"},
                       {L"全角\u3000", L"\u00A0nbsp"}};
    EXPECT_EQ(qd::BackupText(rows),
              L"[PathWarden]\r\nCount=5\r\n"
              L"N0=plain\r\nP0=C:\\a\r\n"
              L"N1=\" lead\"\r\nP1=\"trail \"\r\n"
              L"N2=\"\"quoted\"\"\r\nP2=\"'single'\"\r\n"
              L"N3=\"open\r\nP3=a=b;c\r\n"
              L"N4=\"全角\u3000\"\r\nP4=\"\u00A0nbsp\"\r\n");
    EXPECT_EQ(qd::BackupText({}), L"[PathWarden]\r\nCount=0\r\n");
    // A line break would split the entry: the row is named, nothing is written.
    EXPECT_EQ(ThrownBy([] { qd::BackupText({{L"a", L"C:\\a"}, {L"b\nc", L"C:\\b"}}); }),
              L"Row 2 holds a line break, which a backup file cannot hold");
    EXPECT_EQ(ThrownBy([] { qd::BackupText({{L"a", L"C:\\a\r"}}); }),
              L"Row 1 holds a line break, which a backup file cannot hold");
}

TEST(BackupText, CountIsReadFromTheHeadOfItsOwnTextOnly) {
    struct Case {
        std::wstring text;
        std::optional<int> count;
    };
    const std::vector<Case> cases = {
        {L"\uFEFF[PathWarden]\r\nCount=10000\r\nN0=a", 10000},
        {L"[PathWarden]\r\nCount=0\r\n", 0},
        {L"[PathWarden]\r\nCount=12", std::nullopt},  // cut off: the number may go on
        {L"[PathWarden]\r\nN0=a\r\nCount=1\r\n", std::nullopt},
        {L"[Other]\r\nCount=3\r\n", std::nullopt},
        {L"[PathWarden]\r\nCount=-3\r\n", std::nullopt},
        {L"[PathWarden]\r\nCount=\r\n", std::nullopt},
        {L"[PathWarden]\r\nCount=12345678901\r\n", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(qd::CountFromBackupHead(c.text), c.count) << tk::ToUtf8(c.text);
}

TEST(RestoreDialogTexts, DateTimeAndEntries) {
    using T = std::array<std::wstring, 3>;
    EXPECT_EQ(qd::BackupRowTexts({L"f", {2026, 12, 7, 21, 30, 5, 1}, 10000}), (T{L"2026-12-07", L"21:30:05", L"10000"}));
    EXPECT_EQ(qd::BackupRowTexts({L"f", {2026, 1, 2, 3, 4, 5, 3}, 0}), (T{L"2026-01-02", L"03:04:05 (3)", L"0"}));
    EXPECT_EQ(qd::BackupRowTexts({L"f", {2026, 1, 2, 3, 4, 5, 1}, -1}), (T{L"2026-01-02", L"03:04:05", L"?"}));
    EXPECT_EQ(qd::BackupRowTexts({L"f", {2099, 1, 2, 3, 4, 5, 1, 17}, 3}), (T{L"2099-01-02", L"03:04:05 #17", L"3"}));
}

class AutoBackupTest : public testing::Test {
protected:
    qdtest::TempDir dir;
    std::filesystem::path folder = dir / "Quiverdir" / "backups";
};

TEST_F(AutoBackupTest, AWholeListComesBackExactlyThroughTheReaderAndTheImport) {
    ASSERT_EQ(GetACP(), 936u) << "the tests run with the Chinese ANSI code page";
    const Rows rows = {{L"ไทย 😀", L"C:\\Ελληνικά\\ไทย"},
                       {L"中文", L"D:\\中文"},
                       {L"  blanks  ", L"\tC:\\tab\t"},
                       {L"\"quoted\"", L"'C:\\single'"},
                       {L"[section]", L";comment"},
                       {L"key=value", L"C:\\a=b"},
                       {L"Ünïcödé\u3000", L"\u3000C:\\ideographic space"}};
    const std::filesystem::path file = dir / "list.pwb";
    qd::WriteBackupFile(file.wstring(), rows, false);
    EXPECT_EQ(qd::ReadBackupRows(file.wstring()), rows);
    // The import takes the rows whose paths are full paths, the others read as the restore reads them.
    Rows full;
    std::copy_if(rows.begin(), rows.end(), std::back_inserter(full), [](const ShortcutRow& r) { return qd::IsFullPath(r.Path); });
    ASSERT_EQ(full.size(), 3u);
    EXPECT_EQ(Imported(file), full);
    // One write under a fresh name, moved into place: no temporary file is left beside it.
    EXPECT_EQ(FileNames(dir.Path()), std::vector<std::wstring>{L"list.pwb"});
    // A name that exists is not replaced unless asked.
    EXPECT_NE(ThrownBy([&] { qd::WriteBackupFile(file.wstring(), {}, false); }), L"<nothing thrown>");
    EXPECT_EQ(qd::ReadBackupRows(file.wstring()), rows);
    qd::WriteBackupFile(file.wstring(), {}, true);
    EXPECT_TRUE(qd::ReadBackupRows(file.wstring()).empty());
    EXPECT_EQ(FileNames(dir.Path()), std::vector<std::wstring>{L"list.pwb"});
}

TEST_F(AutoBackupTest, ADamagedOrMissingBackupIsRefusedByName) {
    struct Case {
        const char* name;
        std::string bytes;  // ANSI text
        std::wstring why;
    };
    const std::vector<Case> cases = {
        {"no count", "[PathWarden]\r\nN0=a\r\nP0=C:\\a\r\n", L"it states no number of entries"},
        {"count not a number", "[PathWarden]\r\nCount=many\r\nN0=a\r\nP0=C:\\a\r\n", L"it states no number of entries"},
        {"negative count", "[PathWarden]\r\nCount=-1\r\n", L"it states no number of entries"},
        {"another section", "[Other]\r\nCount=1\r\nN0=a\r\nP0=C:\\a\r\n", L"it states no number of entries"},
        {"cut off", "[PathWarden]\r\nCount=3\r\nN0=a\r\nP0=C:\\a\r\nN1=b\r\n", L"entry 2 of 3 is missing"},
        {"empty path", "[PathWarden]\r\nCount=2\r\nN0=a\r\nP0=\r\nN1=b\r\nP1=C:\\b\r\n", L"entry 1 of 2 is missing"},
        {"huge count", "[PathWarden]\r\nCount=2147483647\r\nN0=a\r\nP0=C:\\a\r\n", L"entry 2 of 2147483647 is missing"},
    };
    const std::filesystem::path file = dir / "damaged.pwb";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::ofstream(file, std::ios::binary | std::ios::trunc) << c.bytes;
        EXPECT_EQ(ThrownBy([&] { qd::ReadBackupRows(file.wstring()); }),
                  L"The backup " + file.wstring() + L" is damaged: " + c.why);
    }
    std::filesystem::remove(file);
    EXPECT_EQ(ThrownBy([&] { qd::ReadBackupRows(file.wstring()); }), L"The backup " + file.wstring() + L" is missing");
    // Keys past Count (left by a longer list exported over it) are not part of the list.
    std::ofstream(file, std::ios::binary) << "[PathWarden]\r\nCount=1\r\nN0=a\r\nP0=C:\\a\r\nN1=old\r\nP1=C:\\old\r\n";
    EXPECT_EQ(qd::ReadBackupRows(file.wstring()), (Rows{{L"a", L"C:\\a"}}));
}

TEST_F(AutoBackupTest, EachBackupIsANewFileAndOnlyTheNewestTwentyStay) {
    // Files the program did not name, in the same folder, are never touched.
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "notes.txt") << "mine";
    std::ofstream(folder / "2001-01-01 000000.pwb.bak") << "mine";
    std::vector<std::wstring> written;
    for (int k = 0; k < 23; ++k) {
        Rows rows;
        for (int i = 0; i <= k; ++i) rows.push_back({L"alias" + std::to_wstring(i), L"C:\\dir" + std::to_wstring(i)});
        written.push_back(qd::WriteAutomaticBackup(folder.wstring(), rows));
    }
    // All in a second or two: the names stay unique and in order.
    for (size_t k = 1; k < written.size(); ++k) {
        const auto a = qd::ParseAutoBackupName(std::filesystem::path(written[k - 1]).filename().wstring());
        const auto b = qd::ParseAutoBackupName(std::filesystem::path(written[k]).filename().wstring());
        ASSERT_TRUE(a && b);
        EXPECT_LT(*a, *b);
    }
    const auto listed = qd::ListAutomaticBackups(folder.wstring());
    ASSERT_EQ(listed.size(), 20u);
    for (size_t i = 0; i < listed.size(); ++i) {
        EXPECT_EQ(listed[i].File, written[written.size() - 1 - i]);
        EXPECT_EQ(listed[i].Rows, static_cast<int>(written.size() - i));
    }
    EXPECT_TRUE(std::filesystem::exists(folder / "notes.txt"));
    EXPECT_TRUE(std::filesystem::exists(folder / "2001-01-01 000000.pwb.bak"));
    EXPECT_EQ(FileNames(folder).size(), 22u);
    EXPECT_EQ(qd::ReadBackupRows(written.back()).size(), 23u);

    // A backup another program wrote in that name form (the count not in its first lines) is
    // listed with the count it states.
    const std::filesystem::path foreign = folder / "2099-01-01 000000 #99.pwb";
    std::ofstream(foreign, std::ios::binary) << "[PathWarden]\r\nN0=a\r\nP0=C:\\a\r\nCount=1\r\n";
    EXPECT_EQ(qd::ListAutomaticBackups(folder.wstring()).front().Rows, 1);
    std::ofstream(foreign, std::ios::binary | std::ios::trunc) << "unreadable";
    EXPECT_EQ(qd::ListAutomaticBackups(folder.wstring()).front().Rows, -1);
}

TEST_F(AutoBackupTest, ABackupDatedAheadByTheClockNeverCostsANewerOneAndAFileBeingReadStays) {
    // Twenty backups made while the clock was years ahead, numbered 1..20 as the program numbered
    // them then.
    std::filesystem::create_directories(folder);
    for (unsigned n = 1; n <= 20; ++n)
        qd::WriteBackupFile((folder / qd::AutoBackupName({2099, 1, 1, 0, 0, static_cast<int>(n), 1, n})).wstring(),
                            {{L"ahead", L"C:\\ahead"}}, false);
    // The clock is right again: each new backup is the newest, and the older real one stays.
    const std::wstring first = qd::WriteAutomaticBackup(folder.wstring(), {{L"first", L"C:\\first"}});
    const std::wstring second = qd::WriteAutomaticBackup(folder.wstring(), {{L"second", L"C:\\second"}});
    auto listed = qd::ListAutomaticBackups(folder.wstring());
    ASSERT_EQ(listed.size(), 20u);
    EXPECT_EQ(listed[0].File, second);
    EXPECT_EQ(listed[1].File, first);
    EXPECT_EQ(listed[0].Stamp.Sequence, 22u);
    EXPECT_EQ(listed.back().Stamp.Sequence, 3u);

    // Another program reading the oldest backup holds it open as the backup reader does: the
    // pruning cannot delete it, goes on with the rest, and takes it later.
    const std::wstring oldest = listed.back().File;
    {
        const tk::ScopedFile reader(CreateFileW(oldest.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(reader.Valid());
        qd::WriteAutomaticBackup(folder.wstring(), {{L"third", L"C:\third"}});
        qd::WriteAutomaticBackup(folder.wstring(), {{L"fourth", L"C:\fourth"}});
        EXPECT_TRUE(std::filesystem::exists(oldest));
        listed = qd::ListAutomaticBackups(folder.wstring());
        ASSERT_EQ(listed.size(), 21u);
        EXPECT_EQ(listed[20].File, oldest);
        EXPECT_EQ(listed[19].Stamp.Sequence, 5u);
    }
    qd::WriteAutomaticBackup(folder.wstring(), {{L"fifth", L"C:\fifth"}});
    EXPECT_FALSE(std::filesystem::exists(oldest));
    EXPECT_EQ(qd::ListAutomaticBackups(folder.wstring()).size(), 20u);
}

TEST_F(AutoBackupTest, AFolderThatCannotBeWrittenIsNamedAndNothingIsLeft) {
    // The folder would lie below a file: it cannot be made.
    std::ofstream(dir / "file") << "x";
    const std::wstring blocked = (dir / "file" / "backups").wstring();
    EXPECT_EQ(ThrownBy([&] { qd::WriteAutomaticBackup(blocked, {{L"a", L"C:\\a"}}); }),
              L"No backup could be written to " + blocked + L": the folder cannot be made");
    EXPECT_EQ(ThrownBy([] { qd::WriteAutomaticBackup(L"", {{L"a", L"C:\\a"}}); }),
              L"No backup could be written to : the folder is not known");
    // A list the format cannot hold is refused before anything is made.
    EXPECT_EQ(ThrownBy([&] { qd::WriteAutomaticBackup(folder.wstring(), {{L"a\r\nb", L"C:\\a"}}); }),
              L"Row 1 holds a line break, which a backup file cannot hold");
    EXPECT_FALSE(std::filesystem::exists(folder));
    EXPECT_TRUE(qd::ListAutomaticBackups(blocked).empty());
}

TEST(AutoBackupFolder, LiesInTheUsersApplicationDataFolder) {
    const std::wstring appData = qd::ApplicationDataFolder();
    ASSERT_FALSE(appData.empty());
    EXPECT_TRUE(std::filesystem::is_directory(appData));
    EXPECT_EQ(qd::BackupFolderPath(), appData + L"\\Quiverdir\\backups");
}

}  // namespace
