// The main window's list taking folders dropped from Explorer (added as the add command adds a
// folder) and rows dragged within it (moved as a run of single moves would move them).
#include <windows.h>

#include <algorithm>
#include <cstdlib>

#include "app/FolderAdd.h"
#include "app/Global.h"
#include "app/Main.h"
#include "toolkit/win/Application.h"

namespace qd {

void TfrmMain::AcceptDroppedFolders() {
    lvMain->OnBeginMoveItem = [this](int from) {
        draggedRow_ = from < model_.Count() ? model_.Row(from) : ShortcutRow{};
        dragPathsVersion_ = model_.PathsVersion();
    };
    lvMain->OnMoveItem = [this](int from, int to) { lvMainMoveItem(from, to); };
    // A list that cannot take drops still does everything else; the error box says why.
    tk::Application().Guarded([this] {
        lvMain->SetOnDropFiles([this](const std::vector<std::wstring>& names) { AddFolders(names, kStepDrop); });
    });
}

void TfrmMain::AddFolders(const std::vector<std::wstring>& paths, const wchar_t* stepName) {
    const FolderAddPlan plan = PlanFolderAdds(paths, model_.Rows(), &DirectoryExists);
    const auto step = RecordStep(stepName);
    if (!plan.Add.empty()) AppendShortcuts(plan.Add);
    if (plan.Choose >= 0) lvMain->SetItemIndex(plan.Choose);
    if (!plan.Refused.empty())
        tk::Application().ShowMessageBox(RefusedFoldersText(plan.Refused), kMessageCaption, MB_OK | MB_ICONSTOP);
}

void TfrmMain::AppendShortcuts(const std::vector<ShortcutRow>& rows) {
    const int first = model_.Count();
    PlannedRows next(model_.Rows(), {}, rows);
    // Every new pair in one opening of the key, in order; more than one under the crash record,
    // which also puts the key back at once when a write is refused part-way.
    const auto write = [&] { store_->WriteItemRange(settings_.KeyPath, first, next.RowCount() - 1, next); };
    WriteThrough([&] { rows.size() > 1 ? GuardedRewrite(write) : write(); });
    // The view learns the new count once.
    ShortcutModel::Batch batch(model_);
    for (const ShortcutRow& row : rows) model_.Append(row.Alias, row.Path);
}

void TfrmMain::lvMainMoveItem(int from, int to) {
    const int n = model_.Count();
    if (from < 0 || from >= n || to < 0 || to >= n || from == to) return;
    // The row dragged, by what it holds: a row that stands there since the drag began stays put.
    if (!SameShortcut(model_.Row(from), draggedRow_)) return;
    const std::vector<int> order = MovedRowOrder(n, from, to);
    const auto step = RecordStep(to > from ? kStepMoveDown : kStepMoveUp);
    PlannedRows next(model_.Rows(), order, {});
    const auto write = [&] { store_->WriteItemRange(settings_.KeyPath, std::min(from, to), std::max(from, to), next); };
    // A move past more than one row rewrites more than two pairs: under the crash record.
    WriteThrough([&] { std::abs(to - from) > 1 ? GuardedRewrite(write) : write(); });
    model_.Reorder(order);
    lvMain->SetItemIndex(to);
}

}  // namespace qd
