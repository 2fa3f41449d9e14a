// The main window's folder check and find box: the probe that checks the rows' folders off the
// window's thread, the rows' look that shows its marks, the two commands that act on it, and the
// find box over the list.
#include <windows.h>

#include <algorithm>
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

namespace {

// The probe's tickets from here up are the questions of drops and pastes; those below, the marks'.
constexpr std::uint64_t kFolderAddTickets = std::uint64_t{1} << 62;

}  // namespace

tk::TListItemLook FolderMarkLook(const ShortcutRow& row) {
    if (row.Missing) return {kMissingFolderTextColor, tk::TItemMark::Cross};
    if (row.Unknown) return {CLR_DEFAULT, tk::TItemMark::Question};
    return {};
}

void TfrmMain::BuildFolderCheck() {
    folderProbe_ = new tk::TFolderProbe(this, settings_.FolderProbe);
    folderProbe_->SetName(L"FolderProbe1");
    tk::TFolderProbe* probe = folderProbe_;
    // The paths of a load or refresh go to the probe together once the list is on the screen. A
    // new check drops only its own questions still waiting: those of a drop or paste (tickets
    // from kFolderAddTickets up) must be answered, or its rows would never come.
    folderCheck_ = std::make_unique<FolderCheck>(
        model_, FolderCheck::Asker{
                    [probe](std::uint64_t ticket, const std::wstring& path) { probe->SubmitLater(ticket, path); },
                    [probe] { probe->CancelWaiting(0, kFolderAddTickets - 1); }});
    folderAdds_ = std::make_unique<FolderAddQueue>(
        kFolderAddTickets, [probe](std::uint64_t ticket, const std::wstring& path) { probe->Submit(ticket, path); });
    probe->OnAnswers = [this](const std::vector<tk::TFolderAnswer>& answers) {
        std::vector<tk::TFolderAnswer> marks;
        bool forAdds = false;
        for (const tk::TFolderAnswer& a : answers) {
            if (folderAdds_->Owns(a.Ticket)) {
                folderAdds_->Answer(a.Ticket, a.Path, a.State);
                forAdds = true;
            } else {
                marks.push_back(a);
            }
        }
        if (!marks.empty()) folderCheck_->Answer(marks);
        if (forAdds) AddAnsweredFolders();
    };
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
    // The rows asked about, by their texts: answers go on arriving while the question is up, and
    // another program may change the list.
    std::multiset<std::pair<std::wstring, std::wstring>> asked;
    for (int row : missing) asked.emplace(model_.Row(row).Alias, model_.Row(row).Path);
    if (tk::Application().ShowMessageBox(tk::FormatText(kConfirmDeleteMissing, {tk::IntToText(missing.size())}),
                                         kMessageCaption, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
        return;

    // The rows of a list that go: those the question named, each once, unless their folder has
    // been found again since (or could not be checked: no row goes on a doubt). A row changed
    // meanwhile is no row named. Nothing is counted or numbered before the questions: the list
    // the key holds when it is written decides.
    const auto dropped = [&](const std::vector<ShortcutRow>& rows) {
        std::multiset<std::pair<std::wstring, std::wstring>> named = asked;
        std::vector<bool> drop(rows.size(), false);
        for (size_t i = 0; i < rows.size(); ++i) {
            const auto found = named.find({rows[i].Alias, rows[i].Path});
            if (found == named.end()) continue;
            const auto known = folderCheck_->Known(rows[i].Path);
            if (known && *known != tk::TFolderState::Missing) continue;
            named.erase(found);
            drop[i] = true;
        }
        return drop;
    };
    const std::vector<bool> now = dropped(model_.Rows());
    if (std::find(now.begin(), now.end(), true) == now.end() || !BackupBeforeChange(kDeleteMissingCommandName)) return;
    const auto step = RecordStep(kStepDeleteMissing);
    const int chosen = SelectedRowExists() ? FSelIndex : -1;
    std::vector<bool> drop;
    WriteThrough(
        [&](const std::vector<ShortcutRow>& current) {
            drop = dropped(current);
            std::vector<ShortcutRow> next;
            next.reserve(current.size());
            for (size_t i = 0; i < current.size(); ++i)
                if (!drop[i]) next.push_back(current[i]);
            return next;
        },
        [&] {
            model_.DeleteRows(drop);
            // The chosen row stays chosen where it moved to; when it went, the row that took its
            // place (or the last row) is chosen.
            const int newCount = model_.Count();
            if (chosen < 0 || newCount == 0) return;
            const int after = static_cast<int>(std::count(drop.begin(), drop.begin() + chosen, false));
            ChooseRow(std::min(after, newCount - 1));
        });
}

}  // namespace qd
