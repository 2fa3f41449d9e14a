// The main window: the tool bar of list commands, the shortcut list and the single-instance
// wake-up. The shortcuts live in its model; the list view shows the model and the store writes
// it to the registry.
#pragma once

#include <cstdint>
#include <functional>
#include <future>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "list/win/AutoBackup.h"
#include "list/FolderAddQueue.h"
#include "list/FolderCheck.h"
#include "list/ListHistory.h"
#include "app/KeyTable.h"
#include "list/win/ListWriter.h"
#include "app/OpenFolder.h"
#include "list/ShortcutModel.h"
#include "list/ShortcutStore.h"
#include "resources/forms/MainFormDesc.h"
#include "skin/controls/Form.h"
#include "skin/controls/PopupMenu.h"
#include "skin/controls/ToolBar.h"
#include "skin/theme/FileTheme.h"
#include "toolkit/win/ActionList.h"
#include "toolkit/win/FileDialogs.h"
#include "toolkit/win/FolderProbe.h"
#include "toolkit/win/Form.h"
#include "toolkit/win/ImageList.h"
#include "toolkit/win/ListView.h"
#include "toolkit/win/RegistryWatch.h"
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
    // How the rows' folders are checked (tests put in a slow question).
    tk::TFolderProbeSettings FolderProbe;
    // How a favourite's folder is handed to the shell (empty: the shell itself); tests watch it.
    ShellFolderRunner FolderRunner;
    // Where the automatic backups go (and the recovery backups of long rewrites).
    std::wstring BackupFolder = BackupFolderPath();
    static MainSettings ForThisProgram();
};

// FSelIndex while no row is chosen: before any row has been chosen since start-up, after the
// chosen row was deleted, and after a reload or restore that left no row holding its alias and
// path. The commands that need a chosen row stay disabled.
inline constexpr int kNoRowChosen = -200;

class TFindBox;

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
    tk::TAction* aOpenFolder = nullptr;
    tk::TAction* aCopyPath = nullptr;
    TsuiPopupMenu* pmList = nullptr;  // the list's context menu
    TsuiFileTheme* suiFileTheme1 = nullptr;
    tk::TOpenDialog* OpenDialog1 = nullptr;
    tk::TSaveDialog* SaveDialog1 = nullptr;

    int SelIndex() const { return FSelIndex; }
    bool SortAscending() const { return FSortAscending; }
    ShortcutStore& Store() { return *store_; }
    ShortcutModel& Model() { return model_; }
    const MainSettings& Settings() const { return settings_; }
    // The key's ChangeCount when the rows shown were read or last written by the window.
    std::uint64_t ListVersion() const { return listVersion_; }

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

    // Open the chosen row's folder in Explorer, and copy its path as text (MainCommands.cpp).
    void aOpenFolderExecute(tk::TComponent* sender);
    void aCopyPathExecute(tk::TComponent* sender);
    // Opens the list's context menu at the point, or from the keyboard at the chosen row.
    void lvMainContextPopup(tk::TComponent* sender, POINT at, bool byKeyboard);

    // The commands by name, as the keys and the list's menu run them: through the command's button
    // (or, without one, its action), update rule first; enabled as the button is. The commands with
    // neither (paste, undo and redo, the find box's, the system menu) run their own handlers; undo
    // and redo are enabled while there is a step to take.
    void RunCommand(desc::MainCommand command);
    bool CommandEnabled(desc::MainCommand command);

    void WndProc(tk::TMessage& message) override;

    // Export and import without their file dialogs: the commands once a file has been chosen.
    void ExportTo(const std::wstring& chosenName);
    void ImportFrom(const std::wstring& fileName);
    // Add and edit once the property dialog has accepted the texts.
    void AddShortcut(const std::wstring& alias, const std::wstring& path);
    void EditShortcut(int row, const std::wstring& alias, const std::wstring& path);

    // Undo and redo (Ctrl+Z, Ctrl+Y; app/UndoRedo.cpp): each takes the list one step back or
    // forward, writing the key first as every change does. Every change since the start can be
    // undone; a change another process made (seen by refresh or by its notice) ends the history.
    void Undo();
    void Redo();
    bool CanUndo() const { return history_.CanUndo(); }
    bool CanRedo() const { return history_.CanRedo(); }
    // The names of the steps undo and redo would take ("删除"); empty when there is none.
    std::wstring UndoName() const;
    std::wstring RedoName() const;
    // Makes what the model goes through while the result lives one step of the history, under the
    // command's name: `const auto step = RecordStep(kStepSort);` at the top of a command.
    ListHistory::Recorder RecordStep(const wchar_t* name) { return {history_, model_, name}; }

    // Adds the folders at the given paths (dropped or pasted) after the rows, in their order, as
    // the add command adds one; a folder the list holds already is chosen instead, and what is
    // surely no folder is refused with one message naming it all. Which paths name folders is asked
    // off the window's thread: the rows come once the answers are in (the window handles messages
    // meanwhile), added to the list the key holds then, after the rows of any drop or paste
    // before. A folder that gave no clear answer in time is added, marked unknown.
    // stepName: the name of the change in the undo history (a drop, a paste).
    void AddFolders(const std::vector<std::wstring>& paths, const wchar_t* stepName);
    // Drops and pastes waiting for the answers about their folders.
    std::size_t FolderAddsWaiting() const { return folderAdds_ ? folderAdds_->Waiting() : 0; }
    // Ctrl+V: adds the folders the clipboard holds (copied in Explorer, or paths as text).
    void PasteFolders();
    // A row dragged in the list and released over another: moved there, when the row at from is
    // still the row the drag picked up (else nothing moves).
    void lvMainMoveItem(int from, int to);
    // Checks every row's folder again, off the window's thread ("检查路径").
    void CheckPaths();
    // Deletes the rows whose folder the latest check found missing, after one question that says
    // how many ("删除不存在的路径").
    void DeleteMissingRows();
    // The find box (Ctrl+F) and the folder check behind the rows' marks.
    TFindBox* FindBox() const { return findBox_; }
    FolderCheck& Folders() { return *folderCheck_; }
    tk::TFolderProbe* FolderProbe() const { return folderProbe_; }

    // Saves the whole list as an automatic backup before a command (named by command, as the
    // menu names it) that changes much of the list. The pruning of older backups it makes never
    // takes the file named by source (the backup the command reads from). When no backup can be
    // written, asks whether to go on without one. Returns whether the command goes on.
    bool BackupBeforeChange(const std::wstring& command, const std::wstring& source = {});
    // "恢复以前的列表": lists the automatic backups and restores the chosen one.
    void RestorePreviousList();
    // Replaces the whole list with the one a backup file holds (after an automatic backup of the
    // list as it is). A damaged backup changes nothing and says why.
    void RestoreFrom(const std::wstring& backupFile);

private:
    void BuildComponents();
    void AttachSkin();
    void BuildFrame();
    void BuildListMenu();
    tk::TAction* ActionOf(desc::MainCommand command) const;
    tk::TToolButton* ButtonOf(desc::MainCommand command);
    // Sizes the window so that the frame's client area has the designed size.
    void FitClientArea();
    // True when a row is chosen. The chosen row follows the changes of the list: it moves with
    // the rows deleted before it, takes the texts an edit or a move puts in its place, is found
    // again by its alias and path when the whole list is replaced, and is forgotten when it goes.
    bool SelectedRowExists();
    // Chooses the row (highlighted, in view) and remembers what it holds.
    void ChooseRow(int index);
    void ForgetChosenRow();
    // Keeps the chosen row and a row drag right as the model changes (ShowModelChange).
    void FollowModelChange(const ModelChange& change);
    // The list's one writer, on the window's key (ListSafety.cpp).
    ListWriter& Writer();
    // Runs a change of the list through the writer, on the rows shown and the version they were
    // read at; the key's side comes before the window's. When the key still held the rows shown,
    // update then brings the model along by its own operations (the view repaints only what
    // changed); when another program had changed the key meanwhile (the change was made to the
    // list the key held), the model takes that list whole, the history ends, and the row
    // `choose` (by default the row chosen before) is found again by its texts. When the write
    // fails, the window is filled again from what the key holds (the history ends if that differs
    // from the rows shown) and the error goes on to the error box; reloadChangedList (when given)
    // then says whether the list shown changed by the reload.
    WriteOutcome WriteThrough(const ListChange& change, const std::function<void()>& update,
                              const ShortcutRow* choose = nullptr, bool* reloadChangedList = nullptr);
    // Edit of the row shown (found in the list the key holds by its texts, near row hint).
    void EditRow(const ShortcutRow& shown, int hint, const std::wstring& alias, const std::wstring& path);
    // Arms the watch of the key (made on first use); the registry's change notices arrive as the
    // list's change notice.
    void WatchKey();
    // The key's ChangeCount as it is now (0 when absent or unreadable).
    std::uint64_t KeyChangeCount();
    // Shows the rows the key holds in place of the list's (as refresh does). True when they differ
    // from the rows shown before. What the reading's recovery check found (another program's
    // change cut off) goes to the error box, unless sayFailedRecovery is false and it could not
    // put the list back.
    bool ReloadList(bool sayFailedRecovery = true);
    // Brings the list view up to date with a change of the model.
    void ShowModelChange(const ModelChange& change);
    // Writes a new row's pair to the store, then appends it to the list (add).
    void AppendShortcut(const std::wstring& alias, const std::wstring& path);
    // The same for several rows, their pairs written in one opening of the key. skipHeld: rows the
    // list the key holds has already (by the import's test) are left out.
    void AppendShortcuts(const std::vector<ShortcutRow>& rows, bool skipHeld = false);
    // Moves the chosen row up (by -1) or down (by 1), found in the list the key holds by its texts.
    void MoveChosenRow(int by);
    // Lets the list take folders dropped from Explorer and rows dragged within it.
    void AcceptDroppedFolders();
    // Adds the drops and pastes whose folders have all been answered (ListDrop.cpp), each as one
    // change of the list.
    void AddAnsweredFolders();
    void AddCheckedFolders(const FolderAddQueue::Ready& ready);
    // The folder check and the rows' look that shows it; the find box.
    void BuildFolderCheck();
    void BuildFindBox();
    // Takes the list through a step of the history: the count rows from first on become rows.
    // False when the history ended on the way (the key had been changed by another program).
    bool ApplyStep(int first, int count, const std::vector<ShortcutRow>& rows);
    // Reloads the list after another process changed the key (refresh, the change notice); when
    // it now differs, the history goes, since its steps no longer fit the list.
    void ReloadAfterOutsideChange();
    // The change notice, posted by another program of the list or by the watch of the key: when
    // the key's ChangeCount differs from the one the rows shown were read at, reloads at once,
    // also while a dialog or question of a command is open (such a command then acts on the row
    // it showed, found again by its texts); else (the window's own writes) does nothing.
    void ListChangedNotice();
    // The window's keys (ListKeys.cpp): one application-wide hook that asks the key table whether
    // a key counts where it was typed and runs its command; true when the key was taken.
    void InstallKeys();
    void RemoveKeys();
    bool KeyPressed(const MSG& msg);
    KeyFocus KeyFocusOf(HWND target);
    // At start, before the list is read: puts back a list whose rewrite was cut off; the message
    // for it is shown once the window is up.
    // The list as start-up reads it, off the window's thread while the window is built and dressed:
    // the check for a change that was cut off, the first-run rows, then the rows themselves.
    struct StartupRead {
        RecoveryOutcome Recovery;      // the start's recovery check, for the notice
        StoredList List;
        RecoveryOutcome ReadRecovery;  // what the reading's own check found
    };
    void StartReadingList();
    void NoteRecoveryAtStart(const RecoveryOutcome& outcome);
    bool ShowList(StoredList list, const RecoveryOutcome& readRecovery, bool sayFailedRecovery);

    MainSettings settings_;
    int FSelIndex = kNoRowChosen;
    ShortcutRow chosenRow_;  // what the chosen row holds, while one is chosen
    // The row a drag in the list picked up, and the model's paths version then.
    ShortcutRow draggedRow_;
    std::uint64_t dragPathsVersion_ = 0;
    bool FSortAscending = true;
    ShortcutModel model_;
    std::unique_ptr<ShortcutStore> store_;
    std::unique_ptr<ListWriter> writer_;
    std::uint64_t listVersion_ = 0;  // the key's ChangeCount the model's rows are of
    std::unique_ptr<tk::TRegistryWatch> keyWatch_;
    tk::TFolderProbe* folderProbe_ = nullptr;
    std::unique_ptr<FolderCheck> folderCheck_;
    std::unique_ptr<FolderAddQueue> folderAdds_;
    bool closeAfterAdds_ = false;  // the window was closed while pasted or dropped rows waited
    TFindBox* findBox_ = nullptr;
    ListHistory history_;
    int keyHook_ = 0;
    std::wstring recoveryNotice_;
    std::future<StartupRead> startupRead_;     // valid from the constructor until FormCreate
    std::optional<StartupRead> startupList_;   // from FormCreate until the window shows
    UINT recoveryNoticeIcon_ = 0;
};

}  // namespace qd
