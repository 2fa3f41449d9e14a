// The folder check's bookkeeping on its own, with the probe replaced by a list of the questions
// asked: each path is asked once per check, answers land on the rows that hold the path when they
// arrive (rows that moved, were edited, deleted or duplicated meanwhile), answers to questions
// asked again since are dropped, and marks stay until the user acts.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "app/FolderCheck.h"

namespace {

using tk::TFolderState;

struct Question {
    std::uint64_t ticket;
    std::wstring path;
};

class FolderCheckTest : public testing::Test {
protected:
    FolderCheckTest()
        : check(model, {[this](std::uint64_t t, const std::wstring& p) { asked.push_back({t, p}); },
                        [this] { ++cancels; }}) {
        // As the main window does: the check follows every change of the model.
        model.OnChange = [this](const qd::ModelChange& c) { check.ModelChanged(c); };
    }
    void Load(std::initializer_list<std::pair<const wchar_t*, const wchar_t*>> rows) {
        qd::ShortcutModel::Batch batch(model);
        for (const auto& [alias, path] : rows) model.Append(alias, path);
    }
    // The ticket of the newest question about the path.
    std::uint64_t TicketOf(const std::wstring& path) const {
        for (auto q = asked.rbegin(); q != asked.rend(); ++q)
            if (q->path == path) return q->ticket;
        ADD_FAILURE() << "never asked";
        return 0;
    }
    void Answer(const std::wstring& path, TFolderState state) { check.Answer(TicketOf(path), path, state); }
    // Each row as "alias:mark" (mark: - none, M missing, ? unknown).
    std::vector<std::wstring> Marks() const {
        std::vector<std::wstring> out;
        for (const qd::ShortcutRow& r : model.Rows())
            out.push_back(r.Alias + L":" + (r.Missing ? L"M" : r.Unknown ? L"?" : L"-"));
        return out;
    }
    int TimesAsked(const std::wstring& path) const {
        int n = 0;
        for (const Question& q : asked) n += q.path == path;
        return n;
    }

    qd::ShortcutModel model;
    std::vector<Question> asked;
    int cancels = 0;
    qd::FolderCheck check;
};

using Expected = std::vector<std::wstring>;

TEST_F(FolderCheckTest, ALoadAsksEachPathOnceAndAnAnswerMarksEveryRowHoldingIt) {
    Load({{L"a", L"C:\\gone"}, {L"b", L"C:\\here"}, {L"c", L"C:\\gone"}, {L"d", L"\\\\dead\\s"}});
    ASSERT_EQ(asked.size(), 3u);
    EXPECT_EQ(check.Pending(), 3u);
    Answer(L"C:\\gone", TFolderState::Missing);
    Answer(L"C:\\here", TFolderState::Present);
    Answer(L"\\\\dead\\s", TFolderState::Unknown);
    EXPECT_EQ(Marks(), (Expected{L"a:M", L"b:-", L"c:M", L"d:?"}));
    EXPECT_EQ(check.MissingRows(), (std::vector<int>{0, 2}));
    EXPECT_EQ(check.Pending(), 0u);
    EXPECT_EQ(asked.size(), 3u) << "marks set by answers ask nothing more";
}

TEST_F(FolderCheckTest, AnswersLandOnTheRowsThatHoldThePathWhenTheyArrive) {
    Load({{L"a", L"C:\\a"}, {L"b", L"C:\\b"}, {L"c", L"C:\\c"}, {L"d", L"C:\\d"}, {L"e", L"C:\\e"}});
    Answer(L"C:\\e", TFolderState::Present);  // the rows' places as they were learnt
    model.Delete(4);
    // While the other questions are out the rows move, one is edited and one is deleted.
    model.Exchange(0, 3);                                   // d b c a
    model.Reorder({1, 0, 3, 2});                            // b d a c
    model.Replace(1, L"d2", L"C:\\new");                    // b d2 a c: C:\d is held by no row now
    model.Delete(3);                                        // b d2 a
    Answer(L"C:\\a", TFolderState::Missing);
    Answer(L"C:\\c", TFolderState::Missing);
    Answer(L"C:\\d", TFolderState::Missing);
    Answer(L"C:\\b", TFolderState::Unknown);
    EXPECT_EQ(Marks(), (Expected{L"b:?", L"d2:-", L"a:M"}));
    // The edited row's new path is asked about, and its answer marks it.
    EXPECT_EQ(TimesAsked(L"C:\\new"), 1);
    Answer(L"C:\\new", TFolderState::Missing);
    EXPECT_EQ(Marks(), (Expected{L"b:?", L"d2:M", L"a:M"}));
}

TEST_F(FolderCheckTest, OnlyTheNewestQuestionAboutAPathCounts) {
    Load({{L"a", L"C:\\a"}, {L"b", L"C:\\b"}});
    const std::uint64_t first = TicketOf(L"C:\\a");
    check.CheckAll();  // the command, asked again before the first answers came
    EXPECT_EQ(cancels, 1) << "the questions not yet taken up are dropped";
    EXPECT_EQ(TimesAsked(L"C:\\a"), 2);
    check.Answer(first, L"C:\\a", TFolderState::Missing);  // the earlier check's answer, now stale
    EXPECT_EQ(Marks(), (Expected{L"a:-", L"b:-"}));
    Answer(L"C:\\a", TFolderState::Present);
    check.Answer(TicketOf(L"C:\\a"), L"C:\\a", TFolderState::Missing);  // answered twice: the second is dropped
    check.Answer(999, L"C:\\never", TFolderState::Missing);
    EXPECT_EQ(Marks(), (Expected{L"a:-", L"b:-"}));
}

TEST_F(FolderCheckTest, MarksStayUntilTheNewAnswerComesAndARefreshChecksEverythingAgain) {
    Load({{L"a", L"C:\\a"}, {L"b", L"C:\\b"}});
    Answer(L"C:\\a", TFolderState::Missing);
    Answer(L"C:\\b", TFolderState::Missing);
    check.CheckAll();
    EXPECT_EQ(Marks(), (Expected{L"a:M", L"b:M"})) << "nothing is cleared while the check runs";
    Answer(L"C:\\a", TFolderState::Present);
    EXPECT_EQ(Marks(), (Expected{L"a:-", L"b:M"}));

    // A refresh replaces the list: every path is asked again, the old questions dropped.
    const std::size_t before = asked.size();
    const int cancelsBefore = cancels;
    model.ReplaceAll({{L"x", L"C:\\b", false, false}, {L"y", L"C:\\y", false, false}, {L"z", L"C:\\y", false, false}});
    EXPECT_EQ(asked.size(), before + 2);
    EXPECT_EQ(cancels, cancelsBefore + 1);
    Answer(L"C:\\y", TFolderState::Missing);
    EXPECT_EQ(Marks(), (Expected{L"x:-", L"y:M", L"z:M"}));
}

TEST_F(FolderCheckTest, ARowGivenAPathFoundMissingIsAskedAgainAndNewRowsAreAsked) {
    Load({{L"a", L"C:\\a"}, {L"b", L"C:\\b"}});
    Answer(L"C:\\a", TFolderState::Missing);
    Answer(L"C:\\b", TFolderState::Present);
    // The edit clears b's marks; the folder may have been made since: the path is asked anew.
    model.Replace(1, L"b", L"C:\\a");
    EXPECT_EQ(TimesAsked(L"C:\\a"), 2);
    // Given a path known to be there, a row needs no question.
    model.Replace(0, L"a", L"C:\\b");
    EXPECT_EQ(TimesAsked(L"C:\\b"), 1);
    model.Append(L"c", L"C:\\c");
    EXPECT_EQ(TimesAsked(L"C:\\c"), 1);
    // Rows that merely move ask nothing.
    const std::size_t before = asked.size();
    model.Exchange(0, 2);
    EXPECT_EQ(asked.size(), before);
}

}  // namespace
