// The plain rules behind dropping and pasting folders and dragging rows: which paths become rows
// with which alias, which are held already or refused, which row is chosen; the paths a pasted
// text names; the refusal message; the order of the rows after a drag.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "app/FolderAdd.h"
#include "app/Global.h"
#include "toolkit/Text.h"

namespace {

using Pairs = std::vector<std::pair<std::wstring, std::wstring>>;

Pairs PairsOf(const std::vector<qd::ShortcutRow>& rows) {
    Pairs pairs;
    for (const auto& r : rows) pairs.emplace_back(r.Alias, r.Path);
    return pairs;
}

TEST(FolderAddTest, PlansNewRowsSkipsHeldFoldersAndRefusesWhatIsNoFolder) {
    const std::set<std::wstring> folders{L"C:\\Work", L"D:\\Proj\\工作", L"C:\\", L"\\\\server\\share", L"work", L"C:\\Music"};
    const std::set<std::wstring> unanswered{L"\\\\nas\\photos", L"E:\\Backup"};
    const auto verdictOf = [&](const std::wstring& p) {
        return folders.count(p) ? qd::FolderAddVerdict::Add
               : unanswered.count(p) ? qd::FolderAddVerdict::AddUnknown
                                     : qd::FolderAddVerdict::Refuse;
    };
    // Music is held with its path in other letter case and a trailing backslash; C:\Work is held
    // under another alias, which the import's test tells apart.
    const std::vector<qd::ShortcutRow> rows{{L"Music", L"c:\\music\\"}, {L"Home", L"C:\\Work"}};
    struct Case {
        const char* what;
        std::vector<std::wstring> paths;
        Pairs add;
        std::vector<std::wstring> skipped, refused;
        int choose;
    } cases[] = {
        {"one folder, its name the alias", {L"C:\\Work"}, {{L"Work", L"C:\\Work"}}, {}, {}, -1},
        {"several, in their order", {L"D:\\Proj\\工作", L"C:\\Work"}, {{L"工作", L"D:\\Proj\\工作"}, {L"Work", L"C:\\Work"}}, {}, {}, -1},
        {"held already: skipped, its row chosen", {L"C:\\Music"}, {}, {L"C:\\Music"}, {}, 0},
        {"named twice: added once, the new row chosen", {L"C:\\Work", L"C:\\Work"}, {{L"Work", L"C:\\Work"}}, {L"C:\\Work"}, {}, 2},
        {"a root and a share", {L"C:\\", L"\\\\server\\share"}, {{L"C:\\", L"C:\\"}, {L"share", L"\\\\server\\share"}}, {}, {}, -1},
        {"no folder, or no full path", {L"C:\\notes.txt", L"work", L""}, {}, {}, {L"C:\\notes.txt", L"work", L""}, -1},
        {"a mix", {L"C:\\notes.txt", L"C:\\Music", L"C:\\Work"}, {{L"Work", L"C:\\Work"}}, {L"C:\\Music"}, {L"C:\\notes.txt"}, 0},
        {"no clear answer: added as well", {L"\\\\nas\\photos", L"E:\\Backup"}, {{L"photos", L"\\\\nas\\photos"}, {L"Backup", L"E:\\Backup"}}, {}, {}, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const qd::FolderAddPlan plan = qd::PlanFolderAdds(c.paths, rows, verdictOf);
        EXPECT_EQ(PairsOf(plan.Add), c.add);
        EXPECT_EQ(plan.Skipped, c.skipped);
        EXPECT_EQ(plan.Refused, c.refused);
        EXPECT_EQ(plan.Choose, c.choose);
    }
}

TEST(FolderAddTest, APastedTextNamesOnePathPerLine) {
    const struct {
        std::wstring text;
        std::vector<std::wstring> paths;
    } cases[] = {
        {L"C:\\a", {L"C:\\a"}},
        {L"  \"C:\\a b\"  \r\n\"D:\\c\"\n", {L"C:\\a b", L"D:\\c"}},  // Explorer's Copy as path
        {L"C:\\a\\\\\r\nC:\\\r\nC:/x/\r\n\\\\server\\share\\", {L"C:\\a", L"C:\\", L"C:/x", L"\\\\server\\share"}},
        {L"\r\n \t\r\n\"\"", {}},
        {L"", {}},
        {L"hello world", {L"hello world"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(tk::ToUtf8(c.text));
        EXPECT_EQ(qd::PastedPaths(c.text), c.paths);
    }
}

TEST(FolderAddTest, TheRefusalNamesTheFirstTenCutShortAndCountsTheOthers) {
    std::vector<std::wstring> refused{std::wstring(200, L'x')};
    for (int i = 1; i < 12; ++i) refused.push_back(L"C:\\file" + std::to_wstring(i));
    std::wstring expected = std::wstring(qd::kNotFoldersRefused) + L"\r\n" + std::wstring(120, L'x') + L"...";
    for (int i = 1; i < 10; ++i) expected += L"\r\nC:\\file" + std::to_wstring(i);
    expected += L"\r\n... 另有 2 项.";
    EXPECT_EQ(qd::RefusedFoldersText(refused), expected);
    EXPECT_EQ(qd::RefusedFoldersText({L"a"}), std::wstring(qd::kNotFoldersRefused) + L"\r\na");
}

TEST(FolderAddTest, AMovedRowLandsWhereARunOfSingleMovesTakesIt) {
    for (int from = 0; from < 5; ++from) {
        for (int to = 0; to < 5; ++to) {
            SCOPED_TRACE(std::to_string(from) + " to " + std::to_string(to));
            std::vector<int> byMoves{0, 1, 2, 3, 4};
            for (int k = from; k < to; ++k) std::swap(byMoves[k], byMoves[k + 1]);
            for (int k = from; k > to; --k) std::swap(byMoves[k], byMoves[k - 1]);
            EXPECT_EQ(qd::MovedRowOrder(5, from, to), byMoves);
        }
    }
    // A place outside the list moves nothing.
    EXPECT_EQ(qd::MovedRowOrder(3, 0, 3), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(qd::MovedRowOrder(3, -1, 1), (std::vector<int>{0, 1, 2}));
    EXPECT_TRUE(qd::MovedRowOrder(0, 0, 0).empty());
}

}  // namespace
