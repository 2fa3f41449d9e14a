// The folder menu program: a hidden window of its own class (a second start finds it and asks it
// for the menu), an icon in the notification area with its own skinned menu, a global hot key,
// and the folder menu itself: the list's rows at the mouse, for the window that was in front.
#pragma once

#include <windows.h>

#include <functional>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "list/ShortcutStore.h"
#include "menu/FolderList.h"
#include "menu/FolderMenuLogic.h"
#include "menu/RecentFolderSources.h"
#include "skin/controls/ListMenu.h"
#include "skin/controls/PopupMenu.h"
#include "skin/theme/FileTheme.h"
#include "toolkit/win/Control.h"
#include "toolkit/win/FolderProbe.h"
#include "toolkit/win/Scoped.h"
#include "toolkit/win/TrayIcon.h"

namespace qd::menu {

// Where the program keeps and finds its things; tests point it at private places.
struct MenuSettings {
    std::wstring KeyPath;           // the list
    AccessorFactory Accessors;      // how the list's key is reached
    std::wstring OptionsFile;       // the editor's options.ini (qd::OptionsFilePath): [FolderMenu] and [Options]
    std::wstring ExePath;           // this program, as the Run value names it
    std::wstring EditorPath;        // Quiverdir.exe beside it
    std::wstring RunKeyPath;        // the key whose value starts the program with Windows
    std::wstring WindowClass;       // the hidden window's class, by which a second start finds it
    std::wstring SkinFile = L"Silver.ssk";
    // The menu's record of recent folders ("": none kept) and the folder of the shell's Recent
    // items ("": the user's).
    std::wstring RecentFoldersFile;
    std::wstring ShellRecentFolder;
    bool ShowIcon = true;           // false: no notification icon (benchmarks)
    // How the rows' folders are checked (off the menu's thread, a second at most per folder).
    tk::TFolderProbeSettings FolderProbe;
    // Taking the user to a chosen folder, and reading the folder a window shows (the menu
    // module's TakeUserThere and FolderOfWindow unless a test records them).
    std::function<void(HWND front, const std::wstring& folder, bool explore)> TakeUserThere;
    std::function<bool(HWND front, std::wstring& folder)> FolderOfWindow;
    static MenuSettings ForThisProgram();
};

class TFolderMenuApp;

// The hidden window that receives the hot key, the icon's mouse reports, the second start's
// request and the folder checks' results. Never shown, no task bar button.
class TMenuHostWindow : public tk::TWinControl {
public:
    TMenuHostWindow(TFolderMenuApp* app, std::wstring windowClass);
    std::string_view ClassName() const override { return "TMenuHostWindow"; }
    void WndProc(tk::TMessage& message) override;

protected:
    void CreateParams(TCreateParams& params) override;

private:
    TFolderMenuApp* app_;
    std::wstring windowClass_;
};

class TFolderMenuApp : public tk::TComponent {
public:
    explicit TFolderMenuApp(MenuSettings settings = MenuSettings::ForThisProgram());
    ~TFolderMenuApp() override;
    std::string_view ClassName() const override { return "TFolderMenuApp"; }

    HWND Window() { return host_->Handle(); }
    const MenuSettings& Settings() const { return settings_; }
    tk::TTrayIcon* Icon() const { return icon_.get(); }
    FolderList& List() { return list_; }

    TsuiFileTheme* Theme = nullptr;
    // The notification icon's menu and its items.
    TsuiPopupMenu* TrayMenu = nullptr;
    tk::TMenuItem* miOpenMenu = nullptr;
    tk::TMenuItem* miEditList = nullptr;
    tk::TMenuItem* miHotKey = nullptr;
    tk::TMenuItem* miStartWithWindows = nullptr;
    tk::TMenuItem* miRecentFolders = nullptr;
    tk::TMenuItem* miExit = nullptr;
    // The folder menu, and the probe that finds out which of its rows' folders exist.
    TsuiListMenu* FolderMenu = nullptr;
    tk::TFolderProbe* Probe = nullptr;
    // The submenu of recent folders (FolderMenuRecent.cpp), and what it shows.
    TsuiListMenu* RecentMenu = nullptr;
    RecentFolders& Recent() { return *recent_; }
    const std::vector<std::wstring>& RecentShown() const { return recentShown_; }

    // Opens the folder menu at the mouse for the window in front now (the hot key, a click on the
    // icon, a second start). While it is open, asking again closes it.
    void OpenFolderMenu();
    // The same for a given front window and point; returns when the menu has closed and the choice
    // has been acted on.
    void OpenFolderMenuAt(HWND front, POINT at);
    // The window the menu acts on: the one in front, or, when that is this program or the task
    // bar (a click on the icon makes it the front), the last other window that was.
    HWND FrontWindow() const;
    // Where the menu's rows are: the first row is item 0; then the other items.
    int RowCount() const { return static_cast<int>(menuRows_.size()); }
    int AddCurrentFolderItem() const { return addItem_; }
    int EditListItem() const { return editItem_; }
    int RecentFoldersItem() const { return recentItem_; }

    // The icon's menu at the mouse.
    void ShowTrayMenu();
    // "编辑收藏夹…": wakes the running editor, else starts Quiverdir.exe beside this program.
    void EditList();
    // "热键…": the hot key dialog.
    void ChangeHotKey();
    // "开机时启动": whether the Run value starts this program, and switching it.
    bool StartsWithWindows() const;
    void ToggleStartWithWindows();
    // "退出".
    void Exit();
    // "添加当前文件夹": adds the folder the front window shows to the list.
    void AddCurrentFolder(HWND front);

    // The hot key in force (empty: none), whether another program holds it, and the tip.
    const HotKey& CurrentHotKey() const { return hotKey_; }
    bool HotKeyTaken() const { return hotKeyTaken_; }
    // What the dialog and the tip say about the hot key: empty when it works.
    std::wstring HotKeyProblem() const;
    std::wstring TipText() const;
    // Makes the key the hot key: registers it and saves it in options.ini. Returns the reason it
    // could not (another program holds it), the hot key in force then unchanged; empty when done.
    std::wstring TryHotKey(const HotKey& key);

    // Where the folder checks' results come in: greys the row of a folder found missing (and
    // remembers it for the next opening), ungreys one found again or not answering.
    void FolderChecked(int row, tk::TFolderState state);

    // Messages of the hidden window; true when handled.
    bool HandleHostMessage(tk::TMessage& message);

private:
    void LoadHotKey();
    void RegisterCurrentHotKey();
    void ShowMessage(const std::wstring& text, UINT icon);
    bool ExploreFolderOption() const;
    void CheckFolders();
    void FolderAnswers(const std::vector<tk::TFolderAnswer>& answers);
    // The recent folders (FolderMenuRecent.cpp).
    void SetUpRecentFolders(tk::TMenuItem* trayItems);
    void AddRecentFoldersItem(std::vector<TsuiListMenuItem>& items);
    void FillRecentMenu();
    void CheckRecentFolders();
    bool RecentFolderAnswer(const tk::TFolderAnswer& answer);
    void TakeUserThereAndRecord(HWND front, const std::wstring& folder);

    MenuSettings settings_;
    TMenuHostWindow* host_ = nullptr;
    FolderList list_;
    std::unique_ptr<tk::TTrayIcon> icon_;
    tk::ScopedHotKey hotKeyRegistration_;
    tk::ScopedWinEventHook foregroundHook_;
    HotKey hotKey_;
    std::wstring rejectedSetting_;
    bool hotKeyTaken_ = false;

    // What the open menu shows, and the number of the opening whose rows the checks are about.
    std::vector<Shortcut> menuRows_;
    std::uint32_t checkRound_ = 0;
    int addItem_ = -1, editItem_ = -1;
    // What the checks found out, by path, kept for the next openings.
    std::unordered_map<std::wstring, tk::TFolderState> knownStates_;
    std::unique_ptr<RecentFolders> recent_;
    int recentItem_ = -1;
    std::vector<std::wstring> recentChecked_, recentShown_;
};

}  // namespace qd::menu
