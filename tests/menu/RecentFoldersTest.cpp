// The recent folders' rules as tables: the submenu's folders from both sources, the record after
// a visit, and the record's file read leniently.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "menu/RecentFolders.h"

namespace {

using qd::menu::RecentFolder;
using Folders = std::vector<std::wstring>;

TEST(MergeRecentFolders, NewestFirstEachFolderOnceMissingLeftOutCapped) {
    struct Case {
        const char* what;
        std::vector<RecentFolder> own, shell;
        std::set<std::wstring> missing;
        size_t cap;
        Folders expected;
    } cases[] = {
        {"both sources by time", {{L"C:\\A", 30}, {L"C:\\B", 10}}, {{L"D:\\S", 20}}, {}, 20,
         {L"C:\\A", L"D:\\S", L"C:\\B"}},
        {"a folder once, at its newest use, by the same-folder rule",
         {{L"C:\\Work", 10}}, {{L"c:\\work\\", 50}, {L"C:\\WORK", 5}}, {}, 20, {L"c:\\work\\"}},
        {"non-ASCII letters are not folded", {{L"C:\\Ä", 2}}, {{L"C:\\ä", 1}}, {}, 20, {L"C:\\Ä", L"C:\\ä"}},
        {"equal times: the menu's own first", {{L"C:\\Own", 7}}, {{L"C:\\Shell", 7}}, {}, 20,
         {L"C:\\Own", L"C:\\Shell"}},
        {"missing left out, its older duplicate too", {{L"C:\\Gone", 9}, {L"C:\\Here", 1}}, {{L"c:\\gone", 3}},
         {L"C:\\Gone"}, 20, {L"C:\\Here"}},
        {"empty entries skipped", {{L"", 99}}, {{L"C:\\X", 1}}, {}, 20, {L"C:\\X"}},
        {"cap counts shown rows, after the missing are out",
         {{L"C:\\1", 9}, {L"C:\\Gone", 8}, {L"C:\\2", 7}, {L"C:\\3", 6}}, {}, {L"C:\\Gone"}, 2, {L"C:\\1", L"C:\\2"}},
        {"nothing", {}, {}, {}, 20, {}},
    };
    for (const Case& c : cases) {
        const auto missing = [&](const std::wstring& f) { return c.missing.count(f) > 0; };
        EXPECT_EQ(qd::menu::MergeRecentFolders(c.own, c.shell, missing, c.cap), c.expected) << c.what;
    }
    // Ties in a long list (past the few elements any sort keeps in order): the menu's own first.
    std::vector<RecentFolder> ownTied, shellTied;
    Folders tiedOrder;
    for (int i = 0; i < 20; ++i) ownTied.push_back({L"C:\\O" + std::to_wstring(i), 5});
    for (int i = 0; i < 20; ++i) shellTied.push_back({L"C:\\S" + std::to_wstring(i), 5});
    for (const auto& f : ownTied) tiedOrder.push_back(f.Folder);
    for (const auto& f : shellTied) tiedOrder.push_back(f.Folder);
    EXPECT_EQ(qd::menu::MergeRecentFolders(ownTied, shellTied, nullptr, 40), tiedOrder);
    // The default cap is the twenty the record keeps.
    std::vector<RecentFolder> many;
    for (int i = 0; i < 300; ++i) many.push_back({L"C:\\F" + std::to_wstring(i), static_cast<std::uint64_t>(i)});
    const Folders merged = qd::menu::MergeRecentFolders({}, many, nullptr);
    ASSERT_EQ(merged.size(), 20u);
    EXPECT_EQ(merged.front(), L"C:\\F299");
}

TEST(RecordRecentFolder, TheVisitComesFirstOnceAndTheRecordKeepsTwenty) {
    std::vector<RecentFolder> record;
    for (int i = 0; i < 20; ++i) record.push_back({L"C:\\F" + std::to_wstring(i), static_cast<std::uint64_t>(100 - i)});
    auto after = qd::menu::RecordRecentFolder(record, L"c:\\f5\\", 200);
    ASSERT_EQ(after.size(), 20u);
    EXPECT_EQ(after[0], (RecentFolder{L"c:\\f5\\", 200}));
    EXPECT_EQ(std::count_if(after.begin(), after.end(), [](const RecentFolder& f) { return f.Folder == L"C:\\F5"; }), 0);
    EXPECT_EQ(after.back().Folder, L"C:\\F19");
    after = qd::menu::RecordRecentFolder(after, L"D:\\New", 300);
    ASSERT_EQ(after.size(), 20u);
    EXPECT_EQ(after[0].Folder, L"D:\\New");
    EXPECT_EQ(after.back().Folder, L"C:\\F18") << "the oldest did not go";
    EXPECT_EQ(qd::menu::RecordRecentFolder(after, L"", 400), after);
}

TEST(RecentFile, WrittenTextReadsBackAndDamagedTextGivesWhatIsWhole) {
    const std::vector<RecentFolder> record{{L"C:\\工作\\报告", 133000000000000000ull}, {L"\\\\server\\share", 5}};
    EXPECT_EQ(qd::menu::ParseRecentFile(qd::menu::RecentFileText(record)), record);
    // A folder with a line break or tab is not written (it would break the lines).
    EXPECT_EQ(qd::menu::ParseRecentFile(qd::menu::RecentFileText({{L"C:\\a\nb", 3}, {L"C:\\ok", 2}})),
              (std::vector<RecentFolder>{{L"C:\\ok", 2}}));

    const std::string header = "Quiverdir recent folders 1\r\n";
    struct Case {
        const char* what;
        std::string text;
        std::vector<RecentFolder> expected;
    } cases[] = {
        {"empty file", "", {}},
        {"no header", "5\tC:\\A\r\n", {}},
        {"another format's header", "Quiverdir recent folders 2\n5\tC:\\A\n", {}},
        {"binary rubbish", std::string("\0\xff\xfe\x01\t\t\n\n", 8), {}},
        {"LF line ends, no last line end", "Quiverdir recent folders 1\n5\tC:\\A\n7\tC:\\B", {{L"C:\\B", 7}, {L"C:\\A", 5}}},
        {"bad lines skipped", header + "x\tC:\\Bad\r\n\tC:\\NoTime\r\n9\r\n9\t\r\n-1\tC:\\Neg\r\n3\tC:\\Good\r\n4\ta\tb\r\n",
         {{L"C:\\Good", 3}}},
        {"a time too large for 64 bits", header + "99999999999999999999\tC:\\Huge\r\n1\tC:\\Small\r\n", {{L"C:\\Small", 1}}},
        {"malformed UTF-8 kept, replaced", header + "1\tC:\\\xff\r\n", {{L"C:\\\xFFFD", 1}}},
    };
    for (const Case& c : cases) EXPECT_EQ(qd::menu::ParseRecentFile(c.text), c.expected) << c.what;
    // A file of thousands of lines gives twenty.
    std::string big = header;
    for (int i = 0; i < 5000; ++i) big += std::to_string(i) + "\tC:\\F" + std::to_string(i) + "\r\n";
    EXPECT_EQ(qd::menu::ParseRecentFile(big).size(), 20u);
}

}  // namespace
