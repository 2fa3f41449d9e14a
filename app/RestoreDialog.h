// The dialog of "恢复以前的列表": the automatic backups, newest first (by number), each with its date, time
// and number of entries; the chosen one is restored by the caller. Enter restores the chosen
// backup (the newest at first) unless the focus is on Cancel, a double click restores the one
// clicked, Escape cancels; Tab moves between the list and the two buttons.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "list/win/AutoBackup.h"
#include "flat/FlatButton.h"
#include "toolkit/win/Form.h"
#include "toolkit/win/ListView.h"
#include "toolkit/win/StdCtrls.h"

namespace qd {

// The texts of a backup's row: date ("2026-12-07"), time with the backup's number ("21:30:15 #17";
// a name from before the numbers shows the serial of a later backup of the same second:
// "21:30:15 (2)") and entries ("?" when unreadable).
std::array<std::wstring, 3> BackupRowTexts(const AutoBackupInfo& backup);

class TfrmRestore : public tk::TForm {
public:
    TfrmRestore(tk::TComponent* owner, std::vector<AutoBackupInfo> backups);
    ~TfrmRestore() override;
    std::string_view ClassName() const override { return "TfrmRestore"; }

    tk::TLabel* Label1 = nullptr;
    tk::TListView* lvBackups = nullptr;
    TFlatButton* fbRestore = nullptr;
    TFlatButton* fbCancel = nullptr;

    // After OK: the backup to restore.
    const AutoBackupInfo& Chosen() const { return backups_.at(static_cast<size_t>(chosen_)); }

    void fbRestoreClick(tk::TComponent* sender);

private:
    std::vector<AutoBackupInfo> backups_;
    int chosen_ = -1;
};

}  // namespace qd
