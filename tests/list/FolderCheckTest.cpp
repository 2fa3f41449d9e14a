// The folder check's bookkeeping on its own, the probe replaced by a list of the questions asked:
// each path is asked once per check; an answer lands on the rows that hold its path when it
// arrives, however they moved, were edited or deleted meanwhile; only the newest question about a
// path counts; marks stay until their new answer comes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "list/FolderCheck.h"

namespace {

using tk::TFolderState;
using Expected = std::vector<std::wstring>;

class FolderCheckTest : public testing::Test {
protected:
    FolderCheckTest()
        : check(model, {[this](std::uint64_t t, const std::wstring& p) { asked.emplace_back(t, p); }, [this] { ++cancels; }}) {
        // As the main window does: the check follows every change of the model.
        model.OnChange = [this](const qd::ModelChange& c) { check.ModelChanged(c); };
        qd::ShortcutModel::Batch load(model);
        for (const wchar_t* name : {L"a", L"b", L"c", L"d", L"e"}) model.Append(name, std::wstring(L"C:\\") + name);
    }
    std::uint64_t TicketOf(const std::wstring& path) const {
        for (auto q = asked.rbegin(); q != asked.rend(); ++q)
            if (q->second == path) return q->first;
        return 0;
    }
    void Answer(const std::wstring& path, TFolderState state) { check.Answer(TicketOf(path), path, state); }
    int TimesAsked(const std::wstring& path) const {
        int n = 0;
        for (const auto& q : asked) n += q.second == path;
        return n;
    }
    // Each row as "alias:mark" (- none, M missing, ? unknown).
    Expected Marks() const {
        Expected out;
        for (const qd::ShortcutRow& r : model.Rows()) out.push_back(r.Alias + L":" + (r.Missing ? L"M" : r.Unknown ? L"?" : L"-"));
        return out;
    }

    qd::ShortcutModel model;
    std::vector<std::pair<std::uint64_t, std::wstring>> asked;
    int cancels = 0;
    qd::FolderCheck check;
};

TEST_F(FolderCheckTest, AnswersLandOnTheRowsThatHoldThePathWhenTheyArrive) {
    ASSERT_EQ(asked.size(), 5u) << "the load asks about every path";
    Answer(L"C:\\e", TFolderState::Present);  // the rows' places as they were are learnt here
    model.Delete(4);
    model.Exchange(0, 3);                      // d b c a
    model.Reorder({1, 0, 3, 2});               // b d a c
    model.Replace(1, L"d2", L"C:\\c");         // b d2 a c: now two rows hold C:\c, none C:\d
    model.Delete(3);                           // b d2 a
    model.Append(L"b2", L"C:\\b");
    EXPECT_EQ(TimesAsked(L"C:\\c"), 1) << "a path on its way is not asked again";
    EXPECT_EQ(TimesAsked(L"C:\\b"), 1);
    Answer(L"C:\\a", TFolderState::Missing);
    Answer(L"C:\\c", TFolderState::Missing);
    Answer(L"C:\\d", TFolderState::Missing);
    Answer(L"C:\\b", TFolderState::Unknown);
    EXPECT_EQ(Marks(), (Expected{L"b:?", L"d2:M", L"a:M", L"b2:?"}));
    EXPECT_EQ(check.MissingRows(), (std::vector<int>{1, 2}));
    EXPECT_EQ(check.Pending(), 0u);
    EXPECT_EQ(asked.size(), 5u) << "marks set by answers ask nothing more";

    // A row given a path found missing loses its marks and the path is asked about anew; a row
    // given a path found present, or one that only moves, needs no question.
    model.Replace(0, L"b", L"C:\\a");
    model.Replace(2, L"a", L"C:\\e");
    model.Exchange(1, 3);
    EXPECT_EQ(TimesAsked(L"C:\\a"), 2);
    EXPECT_EQ(asked.size(), 6u);
}

TEST_F(FolderCheckTest, OnlyTheNewestQuestionAboutAPathCountsAndMarksStayUntilItIsAnswered) {
    Answer(L"C:\\a", TFolderState::Missing);
    const std::uint64_t first = TicketOf(L"C:\\b");
    check.CheckAll();  // the command, before the first check has answered everything
    EXPECT_EQ(cancels, 1) << "the questions not yet taken up are dropped";
    EXPECT_EQ(TimesAsked(L"C:\\b"), 2);
    check.Answer(first, L"C:\\b", TFolderState::Missing);  // the first check's answer, stale now
    EXPECT_EQ(Marks()[1], L"b:-");
    EXPECT_EQ(Marks()[0], L"a:M") << "nothing is cleared while the check runs";
    Answer(L"C:\\a", TFolderState::Present);
    check.Answer(TicketOf(L"C:\\a"), L"C:\\a", TFolderState::Missing);  // answered twice: dropped
    EXPECT_EQ(Marks()[0], L"a:-");

    // A refresh replaces the list: every path is asked again, the old questions dropped.
    model.ReplaceAll({{L"x", L"C:\\b", false, false}, {L"y", L"C:\\y", false, false}, {L"z", L"C:\\y", false, false}});
    EXPECT_EQ(cancels, 2);
    check.Answer(first, L"C:\\b", TFolderState::Missing);
    Answer(L"C:\\y", TFolderState::Missing);
    EXPECT_EQ(Marks(), (Expected{L"x:-", L"y:M", L"z:M"}));
}

}  // namespace
