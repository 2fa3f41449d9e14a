// The main window: the tool bar of list commands, the shortcut list and the single-instance
// wake-up. The shortcuts live in its model; the list view shows the model and the store writes
// it to the registry.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/AutoBackup.h"
#include "app/ShortcutModel.h"
#include "app/ShortcutStore.h"
#include "skin/controls/Form.h"
#include "skin/controls/ToolBar.h"
#include "skin/theme/FileTheme.h"
#include "toolkit/win/ActionList.h"
#include "toolkit/win/FileDialogs.h"
#include "toolkit/win/Form.h"
#include "toolkit/win/ImageList.h"
#include "toolkit/win/ListView.h"
#include "toolkit/win/ToolBar.h"

namespace qd {

// Where the main window keeps its data; tests point it at private places.
struct MainSettings {
    std::wstring KeyPath;
    std::wstring ExePath;
    std::wstring OptionsFile;
    std::wstring WindowsDirectory;
    std::wstring HelpFile;  // the help document, opened by the help button
    // How the store reaches the key: the registry unless a test wraps it.
    AccessorFactory Accessors;
    // The skin the window is dressed in: a bare name is looked for beside the program.
    std::wstring SkinFile = L"Silver.ssk";
    // Where the automatic backups go (and the recovery backups of long rewrites).
    std::wstring BackupFolder = BackupFolderPath();
    static MainSettings ForThisProgram();
};

// FSelIndex before any row has been chosen since start-up (or after the list was reloaded):
// the commands that need a chosen row stay disabled.
inline constexpr int kNoRowChosen = -200;

class TfrmMain : public tk::TForm {
public:
    explicit TfrmMain(tk::TComponent* owner, MainSettings settings = MainSettings::ForThisProgram());
    ~TfrmMain() override;
    std::string_view ClassName() const override { return "TfrmMain"; }
    std::wstring WindowClassName() const override;

    // Components.
    TsuiForm* suiForm1 = nullptr;
    TsuiToolBar* suiToolBar1 = nullptr;
    tk::TListView* lvMain = nullptr;
    tk::TImageList* ImageList1 = nullptr;
    tk::TActionList* ActionList1 = nullptr;
    tk::TAction* aEdit = nullptr;
    tk::TAction* aDelete = nullptr;
    tk::TAction* aItemUp = nullptr;
    tk::TAction* aItemDown = nullptr;
    tk::TAction* aSort = nullptr;
    TsuiFileTheme* suiFileTheme1 = nullptr;
    tk::TOpenDialog* OpenDialog1 = nullptr;
    tk::TSaveDialog* SaveDialog1 = nullptr;

    int SelIndex() const { return FSelIndex; }
    bool SortAscending() const { return FSortAscending; }
    ShortcutStore& Store() { return *store_; }
    ShortcutModel& Model() { return model_; }
    const MainSettings& Settings() const { return settings_; }

    // Event handlers.
    void FormCreate(tk::TComponent* sender);
    void FormShow(tk::TComponent* sender);
    void lvMainSelectItem(tk::TComponent* sender, int item, bool selected);
    void lvMainDblClick(tk::TComponent* sender);
    void tbAddClick(tk::TComponent* sender);
    void aEditExecute(tk::TComponent* sender);
    // Enables Edit and Delete alike: both need a chosen row.
    void aEditUpdate(tk::TComponent* sender);
    void aDeleteExecute(tk::TComponent* sender);
    void aItemUpExecute(tk::TComponent* sender);
    void aItemUpUpdate(tk::TComponent* sender);
    void aItemDownExecute(tk::TComponent* sender);
    void aItemDownUpdate(tk::TComponent* sender);
    void aSortExecute(tk::TComponent* sender);
    void aSortUpdate(tk::TComponent* sender);
    void tbRefreshClick(tk::TComponent* sender);
    void tbHelpClick(tk::TComponent* sender);
    void bImportClick(tk::TComponent* sender);
    void bExportClick(tk::TComponent* sender);
    // Opens the options dialog (the tool bar's tenth button).
    void ToolButton10Click(tk::TComponent* sender);

    void WndProc(tk::TMessage& message) override;

    // Export and import without their file dialogs: the commands once a file has been chosen.
    void ExportTo(const std::wstring& chosenName);
    void ImportFrom(const std::wstring& fileName);

    // Saves the whole list as an automatic backup before a command (named by command, as the
    // menu names it) that changes much of the list. When no backup can be written, asks whether
    // to go on without one. Returns whether the command goes on.
    bool BackupBeforeChange(const std::wstring& command);
    // Runs write, a rewrite of more than one value pair, under the crash record: the list as the
    // model holds it (the list before the change) is saved first and put back at the next start
    // if the program ends before write has finished.
    void GuardedRewrite(const std::function<void()>& write);
    // "恢复以前的列表": lists the automatic backups and restores the chosen one.
    void RestorePreviousList();
    // Replaces the whole list with the one a backup file holds (after an automatic backup of the
    // list as it is). A damaged backup changes nothing and says why.
    void RestoreFrom(const std::wstring& backupFile);

private:
    void BuildComponents();
    void AttachSkin();
    void BuildFrame();
    // Sizes the window so that the frame's client area has the designed size.
    void FitClientArea();
    // True when the remembered row is a row of the list (after the list shrinks it may not be).
    bool SelectedRowExists();
    // Runs the key's side of a change, which comes before the window's. When the key refuses, the
    // window is filled again from what the key holds and the error goes on to the error box, so
    // the two never differ after a failure.
    void WriteThrough(const std::function<void()>& write);
    // Shows the rows the key holds in place of the list's (as refresh does).
    void ReloadList();
    // Brings the list view up to date with a change of the model.
    void ShowModelChange(const ModelChange& change);
    // Writes a new row's pair to the store, then appends it to the list (add).
    void AppendShortcut(const std::wstring& alias, const std::wstring& path);
    // Writes new rows' pairs to the store, then appends them to the list (import).
    void AppendShortcuts(const std::vector<ShortcutRow>& rows);
    // At start, before the list is read: puts back a list whose rewrite was cut off; the message
    // for it is shown once the window is up.
    void RecoverUnfinishedChange();

    MainSettings settings_;
    int FSelIndex = kNoRowChosen;
    bool FSortAscending = true;
    ShortcutModel model_;
    std::unique_ptr<ShortcutStore> store_;
    std::wstring recoveryNotice_;
    UINT recoveryNoticeIcon_ = 0;
};

}  // namespace qd
