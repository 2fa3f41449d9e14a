// Undo and redo of the main window, and the reload that follows another process's
// change of the list.
#include <windows.h>

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

#include "app/Main.h"
#include "toolkit/Exception.h"

namespace qd {

namespace {

// The list as a step of the history leaves it, read from the model without copying it: the count
// rows from first on are replaced by the step's rows.
class RowsWithSlice : public ShortcutRows {
public:
    RowsWithSlice(ShortcutModel& now, int first, int count, const std::vector<ShortcutRow>& slice)
        : now_(now), first_(first), count_(count), slice_(slice) {}
    int RowCount() override { return now_.Count() - count_ + static_cast<int>(slice_.size()); }
    std::wstring Alias(int row) override { return Row(row).Alias; }
    std::wstring Path(int row) override { return Row(row).Path; }
    void AppendRow(const std::wstring&, const std::wstring&) override {
        throw tk::Exception(L"The rows of a pending change cannot be appended to");
    }

private:
    const ShortcutRow& Row(int row) {
        if (row < first_) return now_.Row(row);
        const int inSlice = row - first_;
        if (inSlice < static_cast<int>(slice_.size())) return slice_.at(static_cast<size_t>(inSlice));
        return now_.Row(row - static_cast<int>(slice_.size()) + count_);
    }
    ShortcutModel& now_;
    int first_, count_;
    const std::vector<ShortcutRow>& slice_;
};

}  // namespace

std::wstring TfrmMain::UndoName() const { return history_.CanUndo() ? history_.NextUndo().Name : std::wstring(); }

std::wstring TfrmMain::RedoName() const { return history_.CanRedo() ? history_.NextRedo().Name : std::wstring(); }

void TfrmMain::Undo() {
    if (!history_.CanUndo()) return;
    const RowsChange& change = history_.NextUndo().Change;
    ApplyStep(change.First, static_cast<int>(change.After.size()), change.Before);
    history_.Undone();
}

void TfrmMain::Redo() {
    if (!history_.CanRedo()) return;
    const RowsChange& change = history_.NextRedo().Change;
    ApplyStep(change.First, static_cast<int>(change.Before.size()), change.After);
    history_.Redone();
}

void TfrmMain::ApplyStep(int first, int count, const std::vector<ShortcutRow>& rows) {
    RowsWithSlice next(model_, first, count, rows);
    // Only the step's rows can differ, and when it keeps the row count, only within its slice:
    // the rewrite compares no more rows than that, however long the list.
    const int sameCountLast = count == static_cast<int>(rows.size()) ? first + count - 1 : INT_MAX;
    // The value pairs the step may rewrite: its own rows when the count stays, else every row from
    // the first on. More than two are written under the crash record.
    const int pairs = count == static_cast<int>(rows.size())
                          ? count
                          : std::max(model_.Count(), model_.Count() - count + static_cast<int>(rows.size())) - first;
    const auto write = [&] { store_->RewriteRows(settings_.KeyPath, model_, next, {first, sameCountLast}); };
    bool reloadChanged = false;
    try {
        WriteThrough([&] { pairs > 2 ? GuardedRewrite(write) : write(); }, &reloadChanged);
    } catch (...) {
        // The list now shows what the key holds. If the step reached it in part, the list is
        // neither end of the step and no step of the history fits it any more.
        if (reloadChanged) history_.Clear();
        throw;
    }
    model_.ReplaceRows(first, count, rows);
    // The first row the step changed is chosen, so the change is in view.
    const int n = model_.Count();
    if (first < n) {
        lvMain->SetItemIndex(first);
    } else if (n > 0) {
        lvMain->SetItemIndex(n - 1);
    }
}

void TfrmMain::ReloadAfterOutsideChange() {
    try {
        if (!ReloadList()) return;
    } catch (...) {
        // Part of the key was read: the list is not what it was.
        history_.Clear();
        ++outsideChanges_;
        throw;
    }
    history_.Clear();
    ++outsideChanges_;
}

void TfrmMain::ListChangedNotice() { ReloadAfterOutsideChange(); }

}  // namespace qd
