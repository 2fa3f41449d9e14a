// The shortcut model on its own: a random run of every operation, mirrored by a plain vector and
// by a listener that rebuilds the rows from the notifications alone (as the list view does);
// reordering that is not a permutation; the type-ahead search; batches; the noted change of a run
// of operations.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "list/ListHistory.h"
#include "list/ShortcutModel.h"

namespace {

using qd::ModelChange;
using qd::ShortcutModel;
using qd::ShortcutRow;

using Texts = std::vector<std::pair<std::wstring, std::wstring>>;

Texts TextsOf(const ShortcutModel& model) {
    Texts t;
    for (const ShortcutRow& r : model.Rows()) t.emplace_back(r.Alias, r.Path);
    return t;
}

// What a view knows: the row count and, for each row, the texts it last fetched. It fetches a row
// again only when a notification says the row changed, so a wrong or missing notification shows.
struct Listener {
    explicit Listener(ShortcutModel& m) : model(m) {
        model.OnChange = [this](const ModelChange& c) { Apply(c); };
    }
    void Apply(const ModelChange& c) {
        ++notifications;
        const int n = model.Count();
        switch (c.What) {
        case ModelChange::Kind::Reset:
            shown.clear();
            for (int i = 0; i < n; ++i) shown.emplace_back(model.Alias(i), model.Path(i));
            break;
        case ModelChange::Kind::Changed:
            for (int i = c.First; i <= c.Last; ++i) shown.at(static_cast<size_t>(i)) = {model.Alias(i), model.Path(i)};
            break;
        case ModelChange::Kind::Appended:
            ASSERT_EQ(c.First, static_cast<int>(shown.size()));
            ASSERT_EQ(c.Last, n - 1);
            for (int i = c.First; i <= c.Last; ++i) shown.emplace_back(model.Alias(i), model.Path(i));
            break;
        case ModelChange::Kind::Deleted:
            shown.erase(shown.begin() + c.First);
            break;
        case ModelChange::Kind::Removed:
            // Only the rows from First on are fetched again.
            shown.resize(static_cast<size_t>(n));
            for (int i = c.First; i < n; ++i) shown.at(static_cast<size_t>(i)) = {model.Alias(i), model.Path(i)};
            break;
        }
        ASSERT_EQ(static_cast<int>(shown.size()), n);
    }
    ShortcutModel& model;
    Texts shown;
    int notifications = 0;
};

TEST(ShortcutModelTest, ARandomRunOfOperationsKeepsModelMirrorAndListenerEqual) {
    std::mt19937 random(2024);
    ShortcutModel model;
    Listener listener(model);
    Texts mirror;
    int next = 0;
    auto fresh = [&] {
        ++next;
        return std::make_pair(L"a" + std::to_wstring(next % 7) + L"-" + std::to_wstring(next),
                              L"C:\\d" + std::to_wstring(next));
    };
    for (int step = 0; step < 3000; ++step) {
        const int n = static_cast<int>(mirror.size());
        auto any = [&] { return static_cast<int>(random() % static_cast<unsigned>(n)); };
        const int op = static_cast<int>(random() % 8);
        SCOPED_TRACE("step " + std::to_string(step) + " op " + std::to_string(op));
        if (op <= 1 || n == 0) {
            auto [a, p] = fresh();
            model.Append(a, p);
            mirror.emplace_back(a, p);
        } else if (op == 2) {
            const int i = any();
            auto [a, p] = fresh();
            model.Replace(i, a, p);
            mirror[static_cast<size_t>(i)] = {a, p};
        } else if (op == 3 && random() % 2) {
            const int i = any();
            model.Delete(i);
            mirror.erase(mirror.begin() + i);
        } else if (op == 3) {
            // Many rows at once, anywhere: one notification.
            std::vector<bool> drop(static_cast<size_t>(n));
            Texts kept;
            for (int k = 0; k < n; ++k) {
                drop[static_cast<size_t>(k)] = random() % 3 == 0;
                if (!drop[static_cast<size_t>(k)]) kept.push_back(mirror[static_cast<size_t>(k)]);
            }
            const int before = listener.notifications;
            model.DeleteRows(drop);
            EXPECT_EQ(listener.notifications, before + (kept.size() < mirror.size() ? 1 : 0));
            mirror = kept;
        } else if (op == 4) {
            const int i = any(), j = any();
            model.Exchange(i, j);
            std::swap(mirror[static_cast<size_t>(i)], mirror[static_cast<size_t>(j)]);
        } else if (op == 5) {
            std::vector<int> order(static_cast<size_t>(n));
            for (int k = 0; k < n; ++k) order[static_cast<size_t>(k)] = k;
            std::shuffle(order.begin(), order.end(), random);
            model.Reorder(order);
            Texts reordered;
            for (int from : order) reordered.push_back(mirror[static_cast<size_t>(from)]);
            mirror = reordered;
        } else if (op == 6) {
            // A batch of appends and a deletion: one notification, the listener still right.
            const int before = listener.notifications;
            {
                ShortcutModel::Batch batch(model);
                for (int k = 0; k < 3; ++k) {
                    auto [a, p] = fresh();
                    model.Append(a, p);
                    mirror.emplace_back(a, p);
                }
                if (random() % 2) {
                    model.Delete(0);
                    mirror.erase(mirror.begin());
                }
            }
            EXPECT_EQ(listener.notifications, before + 1);
        } else {
            std::vector<ShortcutRow> rows;
            mirror.clear();
            for (int k = static_cast<int>(random() % 5); k > 0; --k) {
                auto [a, p] = fresh();
                rows.push_back({a, p});
                mirror.emplace_back(a, p);
            }
            model.ReplaceAll(rows);
        }
        ASSERT_EQ(TextsOf(model), mirror);
        ASSERT_EQ(listener.shown, mirror);
    }
}

TEST(ShortcutModelTest, OnlyAPermutationReordersAndARefusedOneChangesNothing) {
    ShortcutModel model;
    for (const wchar_t* a : {L"x", L"y", L"z"}) model.Append(a, L"C:\\");
    const Texts before = TextsOf(model);
    for (const std::vector<int>& order : std::vector<std::vector<int>>{{0, 1}, {0, 1, 1}, {0, 1, 3}, {2, 1, 0, 0}, {-1, 0, 1}}) {
        EXPECT_ANY_THROW(model.Reorder(order));
        EXPECT_EQ(TextsOf(model), before);
    }
    EXPECT_THROW(model.Row(3), std::out_of_range);
    EXPECT_THROW(model.Delete(-1), std::out_of_range);
    EXPECT_EQ(model.Count(), 3);
}

TEST(ShortcutModelTest, TypeAheadFindsTheFirstAliasWithThePrefixFromTheStartRow) {
    ShortcutModel model;
    for (const wchar_t* a : {L"Beta", L"alpha", L"beta two", L"项目", L"Alpine"}) model.Append(a, L"C:\\");
    struct Case {
        const wchar_t* text;
        int start;
        bool wrap;
        int found;
    } cases[] = {
        {L"b", 0, true, 0},        {L"B", 1, true, 2},   {L"BETA ", 0, true, 2}, {L"al", 2, true, 4},
        {L"al", 5, false, 1},      // a start past the end begins at the top
        {L"alpha", 2, false, -1},  {L"alpha", 2, true, 1}, {L"项", 0, false, 3}, {L"q", 0, true, -1},
        {L"", 3, false, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.start << (c.wrap ? " wrap" : ""));
        EXPECT_EQ(model.FindAliasPrefix(c.text, c.start, c.wrap), c.found);
    }
    EXPECT_EQ(ShortcutModel().FindAliasPrefix(L"a", 0, true), -1);
}

TEST(ShortcutModelTest, ABatchOfAppendsAnnouncesTheNewRowsOnceEvenWhenItEndsInAnError) {
    ShortcutModel model;
    model.Append(L"first", L"C:\\");
    std::vector<ModelChange> told;
    model.OnChange = [&](const ModelChange& c) { told.push_back(c); };
    try {
        ShortcutModel::Batch batch(model);
        model.Append(L"second", L"C:\\");
        {
            ShortcutModel::Batch inner(model);
            model.Append(L"third", L"C:\\");
        }
        EXPECT_TRUE(told.empty());
        throw std::runtime_error("read failed");
    } catch (const std::runtime_error&) {
    }
    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(told[0].What, ModelChange::Kind::Appended);
    EXPECT_EQ(told[0].First, 1);
    EXPECT_EQ(told[0].Last, 2);
    {
        ShortcutModel::Batch nothing(model);
    }
    EXPECT_EQ(told.size(), 1u);  // an empty batch says nothing
}

// The list with a change's slice replaced: forward puts After in place of Before, back the reverse.
Texts Applied(Texts list, const qd::RowsChange& c, bool forward) {
    const auto& out = forward ? c.Before : c.After;
    const auto& in = forward ? c.After : c.Before;
    if (c.First < 0 || static_cast<size_t>(c.First) + out.size() > list.size()) return {{L"<slice out of range>", L""}};
    for (size_t k = 0; k < out.size(); ++k)
        if (list[static_cast<size_t>(c.First) + k] != std::make_pair(out[k].Alias, out[k].Path)) return {{L"<slice differs>", L""}};
    list.erase(list.begin() + c.First, list.begin() + c.First + static_cast<std::ptrdiff_t>(out.size()));
    Texts replacement;
    for (const ShortcutRow& r : in) replacement.emplace_back(r.Alias, r.Path);
    list.insert(list.begin() + c.First, replacement.begin(), replacement.end());
    return list;
}

TEST(ShortcutModelTest, ANotedRunOfOperationsGivesTheSmallestSliceThatTakesTheListBackAndForth) {
    // Runs of one to five operations (ReplaceRows among them), each noted as one change: the
    // change's slice taken out of the list after the run and the noted rows put back give the list
    // before it, and the other way round; the slice has no equal rows at its ends. Few distinct
    // texts, so equal rows next to each other are common.
    std::mt19937 random(99);
    ShortcutModel model;
    Listener listener(model);
    auto fresh = [&] {
        const int k = static_cast<int>(random() % 4);
        return ShortcutRow{L"a" + std::to_wstring(k), L"C:\\" + std::to_wstring(k % 2)};
    };
    for (int k = 0; k < 6; ++k) model.Append(fresh().Alias, fresh().Path);
    for (int run = 0; run < 2000; ++run) {
        const Texts before = TextsOf(model);
        model.BeginChange();
        EXPECT_THROW(model.BeginChange(), std::logic_error);
        const int ops = 1 + static_cast<int>(random() % 5);
        std::string trace;
        for (int o = 0; o < ops; ++o) {
            const int n = model.Count();
            auto any = [&](int bound) { return bound <= 0 ? 0 : static_cast<int>(random() % static_cast<unsigned>(bound)); };
            const int op = n == 0 ? 0 : static_cast<int>(random() % 7);
            trace += std::to_string(op);
            if (op == 0) {
                const ShortcutRow r = fresh();
                model.Append(r.Alias, r.Path);
            } else if (op == 1) {
                const ShortcutRow r = fresh();
                model.Replace(any(n), r.Alias, r.Path);
            } else if (op == 2 && n > 1 && random() % 2) {
                model.Delete(any(n));
            } else if (op == 2 && n > 1) {
                std::vector<bool> drop(static_cast<size_t>(n));
                for (size_t k = 0; k < drop.size(); ++k) drop[k] = random() % 3 == 0;
                model.DeleteRows(drop);
            } else if (op == 3) {
                model.Exchange(any(n), any(n));
            } else if (op == 4 && random() % 4 == 0) {
                std::vector<int> order(static_cast<size_t>(n));
                for (int k = 0; k < n; ++k) order[static_cast<size_t>(k)] = k;
                std::shuffle(order.begin(), order.end(), random);
                model.Reorder(order);
            } else if (op == 5) {
                const int first = any(n + 1), count = any(std::min(3, n - first) + 1);
                std::vector<ShortcutRow> rows(static_cast<size_t>(any(4)));
                for (ShortcutRow& r : rows) r = fresh();
                model.ReplaceRows(first, count, rows);
            } else if (op == 6 && random() % 8 == 0) {
                std::vector<ShortcutRow> rows(static_cast<size_t>(1 + any(8)));
                for (ShortcutRow& r : rows) r = fresh();
                model.ReplaceAll(rows);
            }
            ASSERT_EQ(listener.shown, TextsOf(model)) << "ops " << trace;
        }
        const qd::RowsChange change = model.EndChange();
        EXPECT_FALSE(model.NotingChange());
        SCOPED_TRACE("run " + std::to_string(run) + " ops " + trace);
        const Texts after = TextsOf(model);
        ASSERT_EQ(Applied(after, change, false), before);
        ASSERT_EQ(Applied(before, change, true), after);
        ASSERT_EQ(change.Empty(), before == after);
        if (!change.Before.empty() && !change.After.empty()) {
            ASSERT_FALSE(qd::SameShortcut(change.Before.front(), change.After.front()));
            ASSERT_FALSE(qd::SameShortcut(change.Before.back(), change.After.back()));
        }
    }
}

TEST(ListHistoryTest, ARecorderMakesOneStepOfWhatItSawAndNoneWhenTheHistoryWasClearedMeanwhile) {
    using qd::ListHistory;
    ShortcutModel model;
    ListHistory history;
    model.Append(L"a", L"C:\\a");
    {
        // A command that uses another recording command: one step, under the outer name.
        ListHistory::Recorder outer(history, model, L"粘贴");
        model.Append(L"b", L"C:\\b");
        ListHistory::Recorder inner(history, model, L"增加");
        model.Append(L"c", L"C:\\c");
    }
    ASSERT_TRUE(history.CanUndo());
    EXPECT_EQ(history.NextUndo().Name, L"粘贴");
    EXPECT_EQ(history.NextUndo().Change.After.size(), 2u);
    {
        // The list was reloaded while the command ran: its change is no step of the new history.
        ListHistory::Recorder r(history, model, L"删除");
        model.Delete(0);
        history.Clear();
    }
    EXPECT_FALSE(history.CanUndo());
    EXPECT_FALSE(model.NotingChange());
    try {
        // A command that fails part-way: what reached the list is a step.
        ListHistory::Recorder r(history, model, L"导入");
        model.Append(L"d", L"C:\\d");
        throw std::runtime_error("the import stopped");
    } catch (const std::runtime_error&) {
    }
    ASSERT_TRUE(history.CanUndo());
    EXPECT_EQ(history.NextUndo().Name, L"导入");
}

}  // namespace
