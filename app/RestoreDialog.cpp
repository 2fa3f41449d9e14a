#include "app/RestoreDialog.h"

#include <cwchar>

#include "resources/forms/RestoreFormDesc.h"

namespace qd {

std::array<std::wstring, 3> BackupRowTexts(const AutoBackupInfo& b) {
    const BackupStamp& s = b.Stamp;
    wchar_t date[32], time[32];
    std::swprintf(date, 32, L"%04d-%02d-%02d", s.Year, s.Month, s.Day);
    std::swprintf(time, 32, L"%02d:%02d:%02d", s.Hour, s.Minute, s.Second);
    std::wstring timeText = time;
    if (s.Sequence > 0)
        timeText += L" #" + std::to_wstring(s.Sequence);
    else if (s.Serial > 1)
        timeText += L" (" + std::to_wstring(s.Serial) + L")";
    return {date, timeText, b.Rows >= 0 ? std::to_wstring(b.Rows) : std::wstring(L"?")};
}

TfrmRestore::TfrmRestore(tk::TComponent* owner, std::vector<AutoBackupInfo> backups)
    : tk::TForm(owner), backups_(std::move(backups)) {
    using namespace desc;
    SetName(L"frmRestore");
    SetCaption(kRestoreCaption);
    SetBorderStyle(tk::TFormBorderStyle::Dialog);
    SetPosition(tk::TPosition::OwnerFormCenter);
    SetFont({L"MS Sans Serif", -11});
    SetClientSize(kRestoreClientWidth, kRestoreClientHeight);

    auto place = [](tk::TControl* c, const Box& b) { c->SetBounds(b.left, b.top, b.width, b.height); };

    Label1 = new tk::TLabel(this);
    Label1->SetName(L"Label1");
    Label1->SetParent(this);
    place(Label1, kRestoreLabel);
    Label1->SetCaption(kRestoreLabelCaption);

    lvBackups = new tk::TListView(this);
    lvBackups->SetName(L"lvBackups");
    lvBackups->SetParent(this);
    place(lvBackups, kRestoreList);
    lvBackups->AddColumn(kRestoreDateColumn, kRestoreDateWidth);
    lvBackups->AddColumn(kRestoreTimeColumn, kRestoreTimeWidth);
    lvBackups->AddColumn(kRestoreRowsColumn, kRestoreRowsWidth);
    lvBackups->SetTabOrder(0);
    lvBackups->OnDblClick = [this](tk::TComponent* s) {
        if (lvBackups->ItemIndex() >= 0) fbRestoreClick(s);
    };

    fbRestore = new TFlatButton(this);
    fbRestore->SetName(L"fbRestore");
    fbRestore->SetParent(this);
    place(fbRestore, kRestoreButton);
    fbRestore->SetCaption(kRestoreButtonCaption);
    fbRestore->SetTabOrder(1);
    fbRestore->SetTabStop(true);
    fbRestore->OnClick = [this](tk::TComponent* s) { fbRestoreClick(s); };

    fbCancel = new TFlatButton(this);
    fbCancel->SetName(L"fbCancel");
    fbCancel->SetParent(this);
    place(fbCancel, kRestoreCancelButton);
    fbCancel->SetCaption(kCancelCaption);
    fbCancel->SetTabOrder(2);
    fbCancel->SetTabStop(true);
    fbCancel->SetModalResult(tk::mrCancel);

    for (const AutoBackupInfo& backup : backups_) {
        const auto texts = BackupRowTexts(backup);
        const int row = lvBackups->AddItem(texts[0], texts[1]);
        lvBackups->SetItemSubItem(row, texts[2], 1);
    }
    // The keyboard starts in the list on the newest backup. Enter presses the button with the
    // focus, and restores anywhere else; Escape cancels.
    OnShow = [this](tk::TComponent*) {
        if (!backups_.empty()) lvBackups->SetItemIndex(0);
        lvBackups->SetFocus();
    };
    OnEnterKey = [this](tk::TComponent*) { (fbCancel->Focused() ? fbCancel : fbRestore)->Click(); };
    OnEscapeKey = [this](tk::TComponent*) { fbCancel->Click(); };
}

TfrmRestore::~TfrmRestore() { DestroyComponents(); }

void TfrmRestore::fbRestoreClick(tk::TComponent*) {
    const int row = lvBackups->ItemIndex();
    if (row < 0 || row >= static_cast<int>(backups_.size())) return;  // nothing chosen: the dialog stays
    chosen_ = row;
    SetModalResult(tk::mrOk);
}

}  // namespace qd
