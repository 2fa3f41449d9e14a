// Drops and pastes waiting for the folder check: which answer adds a path, adds it marked unknown
// or refuses it; each distinct full path is asked once; the adds come out in the order they came,
// an add answered early waiting for those before it; stray answers change nothing.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "list/FolderAddQueue.h"
#include "list/FolderCheck.h"

namespace {

using qd::FolderAddVerdict;
using tk::TFolderState;

TEST(FolderAddVerdict, APathIsRefusedOnlyWhenSurelyNoFolder) {
    const struct {
        std::optional<TFolderState> answer;
        FolderAddVerdict verdict;
    } cases[] = {
        {TFolderState::Present, FolderAddVerdict::Add},
        {TFolderState::Unknown, FolderAddVerdict::AddUnknown},  // no answer in time, the share away
        {TFolderState::Missing, FolderAddVerdict::Refuse},      // nothing there, or a file
        {std::nullopt, FolderAddVerdict::Refuse},               // not a full path: never asked
    };
    for (const auto& c : cases) EXPECT_EQ(qd::FolderAddVerdictOf(c.answer), c.verdict);
}

class FolderAddQueueTest : public testing::Test {
protected:
    std::uint64_t TicketOf(const std::wstring& path) const {
        for (auto q = asked.rbegin(); q != asked.rend(); ++q)
            if (q->second == path) return q->first;
        return 0;
    }
    void Answer(const std::wstring& path, TFolderState state) { queue.Answer(TicketOf(path), path, state); }
    // The adds handed out, each as its step name and "path=verdict" items (+ add, ? unknown, x refuse).
    std::vector<std::wstring> Take() {
        std::vector<std::wstring> out;
        for (const auto& r : queue.TakeReady()) {
            std::wstring text = r.Step + L":";
            for (size_t i = 0; i < r.Paths.size(); ++i)
                text += L" " + r.Paths[i] + L"=" +
                        (r.Verdicts[i] == FolderAddVerdict::Add ? L"+" : r.Verdicts[i] == FolderAddVerdict::AddUnknown ? L"?" : L"x");
            out.push_back(text);
        }
        return out;
    }

    std::vector<std::pair<std::uint64_t, std::wstring>> asked;
    qd::FolderAddQueue queue{1000, [this](std::uint64_t t, const std::wstring& p) { asked.emplace_back(t, p); }};
};

TEST_F(FolderAddQueueTest, AddsComeOutInTheirOrderOnceTheirAnswersAndThoseBeforeAreIn) {
    queue.Push({L"C:\\a", L"notes", L"\\\\nas\\b", L"C:\\a", L"D:\\file.txt"}, L"paste");
    ASSERT_EQ(asked.size(), 3u) << "each distinct full path once; a relative path is not asked about";
    EXPECT_TRUE(queue.Owns(asked[0].first));
    EXPECT_FALSE(queue.Owns(999));
    queue.Push({L"E:\\c"}, L"drop");
    queue.Push({L"relative"}, L"paste");  // nothing to ask: ready once those before are
    Answer(L"E:\\c", TFolderState::Present);
    Answer(L"C:\\a", TFolderState::Present);
    Answer(L"D:\\file.txt", TFolderState::Missing);
    EXPECT_TRUE(Take().empty()) << "the first paste still waits for the server, and the rest behind it";
    // Stray answers: another path under the ticket, a ticket never given, a second answer.
    queue.Answer(TicketOf(L"\\\\nas\\b"), L"\\\\nas\\other", TFolderState::Present);
    queue.Answer(5, L"\\\\nas\\b", TFolderState::Present);
    queue.Answer(TicketOf(L"C:\\a"), L"C:\\a", TFolderState::Missing);
    EXPECT_TRUE(Take().empty());
    EXPECT_EQ(queue.Waiting(), 3u);
    Answer(L"\\\\nas\\b", TFolderState::Unknown);
    EXPECT_EQ(Take(), (std::vector<std::wstring>{
                          L"paste: C:\\a=+ notes=x \\\\nas\\b=? C:\\a=+ D:\\file.txt=x",
                          L"drop: E:\\c=+",
                          L"paste: relative=x",
                      }));
    EXPECT_EQ(queue.Waiting(), 0u);
    EXPECT_TRUE(Take().empty());
}

TEST(FolderCheckExpect, RowsAddedWithAnAnsweredPathAreNotAskedAgainAndTakeItsMark) {
    qd::ShortcutModel model;
    std::vector<std::wstring> asked;
    qd::FolderCheck check(model, {[&](std::uint64_t, const std::wstring& p) { asked.push_back(p); }, [] {}});
    model.OnChange = [&](const qd::ModelChange& c) { check.ModelChanged(c); };
    const std::uint64_t ticket = check.Expect(L"\\\\nas\\b");
    model.Append(L"b", L"\\\\nas\\b");
    model.Append(L"c", L"C:\\c");
    EXPECT_EQ(asked, std::vector<std::wstring>{L"C:\\c"});
    EXPECT_EQ(check.Pending(), 2u);
    check.Answer(ticket, L"\\\\nas\\b", TFolderState::Unknown);
    EXPECT_TRUE(model.Row(0).Unknown);
    EXPECT_EQ(check.Pending(), 1u);
}

}  // namespace
