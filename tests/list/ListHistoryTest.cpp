// The bounds of the undo history: the number of steps and the bytes of their rows, the oldest going
// first, and undo and redo through what is left.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "list/ListHistory.h"

namespace {

using qd::ListHistory;
using qd::ListStep;
using qd::ShortcutModel;
using qd::ShortcutRow;

// A step named s<id> that appended rows rows, all of one size.
ListStep Step(int id, int rows) {
    ListStep step{L"s" + std::to_wstring(id), {}};
    step.Change.First = 0;
    step.Change.After.assign(static_cast<size_t>(rows), ShortcutRow{L"ab", L"C:\\d"});
    return step;
}

// What a row of Step costs.
const size_t kRow = qd::StepBytes(Step(0, 1));

struct Held {
    std::vector<std::wstring> undo;  // the steps undo would take back, oldest first
    std::vector<std::wstring> redo;  // the steps redo would do again, next first
};

// Walks a copy of the history to its start and to its end.
Held Steps(const ListHistory& history) {
    Held held;
    ListHistory h = history;
    while (h.CanUndo()) {
        held.undo.insert(held.undo.begin(), h.NextUndo().Name);
        h.Undone();
    }
    h = history;
    while (h.CanRedo()) {
        held.redo.push_back(h.NextRedo().Name);
        h.Redone();
    }
    return held;
}

std::vector<std::wstring> Names(int first, int last) {
    std::vector<std::wstring> names;
    for (int i = first; i <= last; ++i) names.push_back(L"s" + std::to_wstring(i));
    return names;
}

TEST(ListHistoryBoundTest, TheOldestStepsGoWhenAStepPassesEitherBound) {
    struct Case {
        const char* what;
        size_t maxSteps, maxRows;  // the bounds, the bytes as rows of Step
        std::vector<int> ops;      // > 0: a step of that many rows; -1 undo; -2 redo
        Held expected;
        size_t heldRows;
    };
    const std::vector<int> hundredAndOne(101, 1);
    const Case cases[] = {
        {"101 steps keep the last 100", 100, 1000, hundredAndOne, {Names(2, 101), {}}, 100},
        {"a step that passes the bytes drops the oldest", 100, 10, {4, 4, 3}, {Names(2, 3), {}}, 7},
        {"as many oldest go as it takes", 100, 10, {3, 3, 3, 9}, {Names(4, 4), {}}, 9},
        {"a step that fills the bytes exactly stays", 100, 10, {4, 6}, {Names(1, 2), {}}, 10},
        {"a step larger than the bytes leaves nothing to undo", 100, 10, {1, 1, 11}, {{}, {}}, 0},
        {"a new step drops the undone ones and their bytes", 100, 10, {3, 3, 3, -1, -1, 5}, {{L"s1", L"s4"}, {}}, 8},
        {"undone steps are kept until a new step", 3, 1000, {1, 1, 1, 1, -1, -1}, {Names(2, 2), Names(3, 4)}, 3},
        {"undo and redo after trimming", 3, 1000, {1, 1, 1, 1, 1, -1, -1, -1, -2, -2}, {Names(3, 4), Names(5, 5)}, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ListHistory history(c.maxSteps, c.maxRows * kRow);
        int id = 0;
        for (int op : c.ops) {
            if (op > 0) history.Record(Step(++id, op));
            if (op == -1 && history.CanUndo()) history.Undone();
            if (op == -2 && history.CanRedo()) history.Redone();
        }
        const Held held = Steps(history);
        EXPECT_EQ(held.undo, c.expected.undo);
        EXPECT_EQ(held.redo, c.expected.redo);
        EXPECT_EQ(history.StepCount(), held.undo.size() + held.redo.size());
        EXPECT_EQ(history.HeldBytes(), c.heldRows * kRow);
    }
}

std::vector<std::wstring> Texts(const ShortcutModel& model) {
    std::vector<std::wstring> texts;
    for (const ShortcutRow& row : model.Rows()) texts.push_back(row.Alias + L"|" + row.Path);
    return texts;
}

// Undo and redo as the main window applies them to its list.
void Undo(ListHistory& history, ShortcutModel& model) {
    const qd::RowsChange& c = history.NextUndo().Change;
    model.ReplaceRows(c.First, static_cast<int>(c.After.size()), c.Before);
    history.Undone();
}

void Redo(ListHistory& history, ShortcutModel& model) {
    const qd::RowsChange& c = history.NextRedo().Change;
    model.ReplaceRows(c.First, static_cast<int>(c.Before.size()), c.After);
    history.Redone();
}

TEST(ListHistoryBoundTest, UndoAfterTrimmingStopsAtTheListTheOldestKeptStepStartedFrom) {
    // 110 recorded changes of every kind on a history of 100 steps: undo goes back to the list
    // after change 10 exactly, and redo comes forward to the last list exactly.
    ShortcutModel model;
    ListHistory history;
    std::vector<std::vector<std::wstring>> lists{Texts(model)};
    for (int i = 1; i <= 110; ++i) {
        {
            ListHistory::Recorder step(history, model, L"s" + std::to_wstring(i));
            const std::wstring n = std::to_wstring(i);
            if (i % 4 != 0 || model.Count() < 3) model.Append(L"a" + n, L"C:\\" + n);
            if (i % 4 == 0) model.Delete(i % model.Count());
            if (i % 5 == 0) model.Replace(0, L"e" + n, L"D:\\" + n);
            if (i % 7 == 0) model.Exchange(0, model.Count() - 1);
        }
        lists.push_back(Texts(model));
    }
    ASSERT_EQ(history.StepCount(), 100u);
    for (int i = 110; i > 10; --i) {
        ASSERT_TRUE(history.CanUndo()) << i;
        Undo(history, model);
        ASSERT_EQ(Texts(model), lists[static_cast<size_t>(i - 1)]) << "after undoing s" << i;
    }
    EXPECT_FALSE(history.CanUndo());
    for (int i = 11; i <= 110; ++i) Redo(history, model);
    EXPECT_EQ(Texts(model), lists.back());
    EXPECT_FALSE(history.CanRedo());
}

}  // namespace
