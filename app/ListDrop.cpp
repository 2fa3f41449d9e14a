// The main window's list taking folders dropped from Explorer (added as the add command adds a
// folder) and rows dragged within it (moved as a run of single moves would move them).
#include <windows.h>

#include <unordered_map>
#include <string>
#include <vector>

#include "list/win/Backup.h"
#include "app/FolderAdd.h"
#include "app/Global.h"
#include "app/Main.h"
#include "toolkit/Exception.h"
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
    // Which paths name folders is asked of the folder probe, never here: a folder on a server that
    // does not answer would hold the window up for the network's time-out, path after path. The
    // rows come when the answers are in; what the list holds already is decided then, on the list
    // the key holds when it is written.
    folderAdds_->Push(paths, stepName);
    AddAnsweredFolders();
}

void TfrmMain::AddAnsweredFolders() {
    // Each add is a change of its own: one that cannot be written does not keep back the next.
    for (const FolderAddQueue::Ready& ready : folderAdds_->TakeReady())
        tk::Application().Guarded([&] { AddCheckedFolders(ready); });
    // A close that waited for these rows goes on now that none waits.
    if (closeAfterAdds_ && FolderAddsWaiting() == 0) {
        closeAfterAdds_ = false;
        PostMessageW(Handle(), WM_CLOSE, 0, 0);
    }
}

void TfrmMain::AddCheckedFolders(const FolderAddQueue::Ready& ready) {
    std::unordered_map<std::wstring, FolderAddVerdict> verdicts;
    for (size_t i = 0; i < ready.Paths.size() && i < ready.Verdicts.size(); ++i) verdicts.emplace(ready.Paths[i], ready.Verdicts[i]);
    const auto verdictOf = [&verdicts](const std::wstring& path) {
        const auto found = verdicts.find(path);
        return found == verdicts.end() ? FolderAddVerdict::Refuse : found->second;
    };
    // The answers become the rows' marks as the folder check's own would (a folder that did not
    // answer shows it has not been checked); its rows are not asked about again.
    std::vector<tk::TFolderAnswer> marks;
    for (const auto& [path, verdict] : verdicts)
        if (verdict != FolderAddVerdict::Refuse)
            marks.push_back({folderCheck_->Expect(path), path,
                             verdict == FolderAddVerdict::Add ? tk::TFolderState::Present : tk::TFolderState::Unknown});
    const auto step = RecordStep(ready.Step.c_str());
    FolderAddPlan plan;
    try {
        WriteThrough(
            [&](const std::vector<ShortcutRow>& current) {
                plan = PlanFolderAdds(ready.Paths, current, verdictOf);
                std::vector<ShortcutRow> next = current;
                next.insert(next.end(), plan.Add.begin(), plan.Add.end());
                return next;
            },
            [&] {
                // The view learns the new count once.
                ShortcutModel::Batch batch(model_);
                for (const ShortcutRow& row : plan.Add) model_.Append(row.Alias, row.Path);
            });
    } catch (...) {
        folderCheck_->Answer(marks);
        throw;
    }
    folderCheck_->Answer(marks);
    if (plan.Choose >= 0 && plan.Choose < model_.Count()) lvMain->SetItemIndex(plan.Choose);
    if (!plan.Refused.empty())
        tk::Application().ShowMessageBox(RefusedFoldersText(plan.Refused), kMessageCaption, MB_OK | MB_ICONSTOP);
}

void TfrmMain::AppendShortcuts(const std::vector<ShortcutRow>& rows, bool skipHeld) {
    std::vector<ShortcutRow> added;
    WriteThrough(
        [&](const std::vector<ShortcutRow>& current) {
            added.clear();
            if (skipHeld) {
                ShortcutIndex held;
                for (const ShortcutRow& row : current) held.Add(row.Alias, row.Path);
                for (const ShortcutRow& row : rows)
                    if (!held.Contains(row.Alias, row.Path)) added.push_back(row), held.Add(row.Alias, row.Path);
            } else {
                added = rows;
            }
            std::vector<ShortcutRow> next = current;
            next.insert(next.end(), added.begin(), added.end());
            return next;
        },
        [&] {
            // The view learns the new count once.
            ShortcutModel::Batch batch(model_);
            for (const ShortcutRow& row : added) model_.Append(row.Alias, row.Path);
        });
}

void TfrmMain::lvMainMoveItem(int from, int to) {
    const int n = model_.Count();
    if (from < 0 || from >= n || to < 0 || to >= n || from == to) return;
    // The row dragged, by what it holds: a row that stands there since the drag began stays put.
    if (!SameShortcut(model_.Row(from), draggedRow_)) return;
    // The row dragged and the row it was released over, found again in the list the key holds.
    const ShortcutRow moved = model_.Row(from), target = model_.Row(to);
    const auto step = RecordStep(to > from ? kStepMoveDown : kStepMoveUp);
    std::vector<int> order;
    int at = -1, dest = -1;
    WriteThrough(
        [&](const std::vector<ShortcutRow>& current) {
            at = FindShortcutRow(current, moved, from);
            dest = FindShortcutRow(current, target, to);
            if (at < 0 || dest < 0) throw tk::Exception(kMovedRowGone);
            order = MovedRowOrder(static_cast<int>(current.size()), at, dest);
            std::vector<ShortcutRow> next;
            next.reserve(current.size());
            for (int k : order) next.push_back(current[static_cast<size_t>(k)]);
            return next;
        },
        [&] {
            model_.Reorder(order);
            lvMain->SetItemIndex(dest);
        },
        &moved);
}

}  // namespace qd
