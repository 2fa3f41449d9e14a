// The main window's folder check and find box: the probe that checks the rows' folders off the
// window's thread, the rows' look that shows its marks, the two commands that act on it, and the
// find box over the list.
#include <windows.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "app/FindBox.h"
#include "app/FolderCommands.h"
#include "app/Global.h"
#include "app/ListSafety.h"
#include "app/Main.h"
#include "toolkit/Exception.h"
#include "toolkit/Text.h"
#include "toolkit/win/Application.h"

namespace qd {

tk::TListItemLook FolderMarkLook(const ShortcutRow& row) {
    if (row.Missing) return {kMissingFolderTextColor, tk::TItemMark::Cross};
    if (row.Unknown) return {CLR_DEFAULT, tk::TItemMark::Question};
    return {};
}

void TfrmMain::BuildFolderCheck() {
    folderProbe_ = new tk::TFolderProbe(this, settings_.FolderProbe);
    folderProbe_->SetName(L"FolderProbe1");
    tk::TFolderProbe* probe = folderProbe_;
    folderCheck_ = std::make_unique<FolderCheck>(
        model_, FolderCheck::Asker{[probe](std::uint64_t ticket, const std::wstring& path) { probe->Submit(ticket, path); },
                                   [probe] { probe->CancelWaiting(); }});
    probe->OnAnswers = [this](const std::vector<tk::TFolderAnswer>& answers) { folderCheck_->Answer(answers); };
    lvMain->OnGetItemLook = [this](int item) -> tk::TListItemLook {
        if (item < 0 || item >= model_.Count()) return {};
        return FolderMarkLook(model_.Row(item));
    };
    lvMain->SetShowMarks(true);
}

void TfrmMain::BuildFindBox() { findBox_ = new TFindBox(this, *lvMain, model_); }

void TfrmMain::CheckPaths() { folderCheck_->CheckAll(); }

void TfrmMain::DeleteMissingRows() {
    const std::vector<int> missing = folderCheck_->MissingRows();
    if (missing.empty()) {
        tk::Application().ShowMessageBox(folderCheck_->Pending() > 0 ? kNoMissingFoldersYet : kNoMissingFolders,
                                         kMessageCaption, MB_OK | MB_ICONINFORMATION);
        return;
    }
    // The rows asked about, by their texts: answers go on arriving while the question is up.
    std::multiset<std::pair<std::wstring, std::wstring>> asked;
    for (int row : missing) asked.emplace(model_.Row(row).Alias, model_.Row(row).Path);
    if (tk::Application().ShowMessageBox(tk::FormatText(kConfirmDeleteMissing, {tk::IntToText(missing.size())}),
                                         kMessageCaption, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
        return;

    // Only rows the question named that are still marked missing go: a folder found again
    // meanwhile, or a row changed, stays.
    std::vector<int> kept, dropped;
    for (int i = 0; i < model_.Count(); ++i) {
        const ShortcutRow& row = model_.Row(i);
        const auto named = row.Missing ? asked.find({row.Alias, row.Path}) : asked.end();
        if (named != asked.end()) {
            asked.erase(named);
            dropped.push_back(i);
        } else {
            kept.push_back(i);
        }
    }
    if (dropped.empty() || !BackupBeforeChange(kDeleteMissingCommandName)) return;
    const auto step = RecordStep(kStepDeleteMissing);
    const int oldCount = model_.Count();
    const int newCount = static_cast<int>(kept.size());
    const int chosen = SelectedRowExists() ? FSelIndex : -1;
    RowsAfterChange next(model_, newCount, [&kept](int k) { return kept.at(static_cast<size_t>(k)); });
    // The rows that move up are written first and the pairs that fall off the end go last, from
    // the end backwards: a failure in between leaves rows twice in the key, never a row lost.
    const auto write = [&] {
        store_->WriteItemRange(settings_.KeyPath, dropped.front(), newCount - 1, next);
        for (int i = oldCount - 1; i >= newCount; --i) store_->DeleteItemValues(settings_.KeyPath, i);
    };
    // More than one pair changes unless only the last row goes: under the crash record.
    WriteThrough([&] { oldCount - dropped.front() > 1 ? GuardedRewrite(write) : write(); });
    for (auto row = dropped.rbegin(); row != dropped.rend(); ++row) model_.Delete(*row);

    // The chosen row stays chosen where it moved to; when it went, the row that took its place
    // (or the last row) is chosen.
    if (chosen < 0 || newCount == 0) return;
    int after = 0;
    while (after < newCount && kept[static_cast<size_t>(after)] < chosen) ++after;
    ChooseRow(std::min(after, newCount - 1));
}

}  // namespace qd
