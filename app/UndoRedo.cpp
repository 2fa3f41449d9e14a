// Undo and redo of the main window, and the reload that follows another process's
// change of the list.
#include <windows.h>

#include <string>
#include <vector>

#include "app/Global.h"
#include "app/Main.h"
#include "toolkit/Exception.h"

namespace qd {

std::wstring TfrmMain::UndoName() const { return history_.CanUndo() ? history_.NextUndo().Name : std::wstring(); }

std::wstring TfrmMain::RedoName() const { return history_.CanRedo() ? history_.NextRedo().Name : std::wstring(); }

void TfrmMain::Undo() {
    if (!history_.CanUndo()) return;
    // A copy: the history may end while the step is written.
    const RowsChange change = history_.NextUndo().Change;
    if (ApplyStep(change.First, static_cast<int>(change.After.size()), change.Before)) history_.Undone();
}

void TfrmMain::Redo() {
    if (!history_.CanRedo()) return;
    const RowsChange change = history_.NextRedo().Change;
    if (ApplyStep(change.First, static_cast<int>(change.Before.size()), change.After)) history_.Redone();
}

bool TfrmMain::ApplyStep(int first, int count, const std::vector<ShortcutRow>& rows) {
    const WriteOutcome outcome = WriteThrough(
        [&](const std::vector<ShortcutRow>& current) {
            // The steps fit the list shown only: when another program has changed the key since,
            // nothing is written (the list is read again and the history ends).
            if (!SameShortcuts(current, model_.Rows())) throw tk::Exception(kHistoryNoLongerFits);
            std::vector<ShortcutRow> next;
            next.reserve(current.size() - static_cast<size_t>(count) + rows.size());
            next.insert(next.end(), current.begin(), current.begin() + first);
            next.insert(next.end(), rows.begin(), rows.end());
            next.insert(next.end(), current.begin() + first + count, current.end());
            return next;
        },
        [&] { model_.ReplaceRows(first, count, rows); });
    // The key had changed, to the very list shown: the list was taken whole and the history ended.
    if (outcome.Stale) return false;
    // The first row the step changed is chosen, so the change is in view.
    const int n = model_.Count();
    if (first < n) {
        lvMain->SetItemIndex(first);
    } else if (n > 0) {
        lvMain->SetItemIndex(n - 1);
    }
    return true;
}

void TfrmMain::ReloadAfterOutsideChange() {
    try {
        if (!ReloadList()) return;
    } catch (...) {
        // Part of the key was read: the list is not what it was.
        history_.Clear();
        throw;
    }
    history_.Clear();
}

void TfrmMain::ListChangedNotice() {
    // Armed again before the count is read: a change made from now on is reported anew.
    WatchKey();
    if (KeyChangeCount() == listVersion_) return;
    ReloadAfterOutsideChange();
}

}  // namespace qd
