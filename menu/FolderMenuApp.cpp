#include "menu/FolderMenuApp.h"

#include <iterator>

#include "app/Global.h"
#include "list/MenuFilter.h"
#include "list/win/RegistryAccessor.h"
#include "menu/HotKeyDialog.h"
#include "menu/TakeUserThere.h"
#include "resources/forms/FolderMenuDesc.h"
#include "resources/forms/MainFormDesc.h"
#include "toolkit/Exception.h"
#include "toolkit/Text.h"
#include "toolkit/win/Application.h"
#include "toolkit/win/IniFile.h"
#include "toolkit/win/Registry.h"
#include "toolkit/win/SystemError.h"

namespace qd::menu {

namespace {

// The re-reading of a changed list waits this long for the rest of a run of writes.
constexpr UINT_PTR kReadAgainTimer = 1;
constexpr UINT kReadAgainMilliseconds = 300;

std::wstring FolderOf(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

// The task bar and the windows of the notification area (Wine's own, too, which it shows when no
// desktop hosts the icons): a click on the icon brings them to the front.
bool IsTaskBar(HWND window) {
    HWND top = GetAncestor(window, GA_ROOT);
    wchar_t name[64] = {};
    GetClassNameW(top ? top : window, name, 64);
    return lstrcmpW(name, L"Shell_TrayWnd") == 0 || lstrcmpW(name, L"NotifyIconOverflowWindow") == 0 ||
           lstrcmpW(name, L"__winex11_standalone_tray") == 0;
}

bool IsOurs(HWND window) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    return process == GetCurrentProcessId();
}

// The last window other than this program's and the task bar that was seen in front.
HWND lastOtherFront = nullptr;

void NoteFrontWindow(HWND window) {
    if (window && !IsOurs(window) && !IsTaskBar(window)) lastOtherFront = window;
}

// The system tells of every change of the front window (where it does: Wine does not).
void CALLBACK ForegroundChanged(HWINEVENTHOOK, DWORD, HWND window, LONG object, LONG, DWORD, DWORD) {
    if (object == OBJID_WINDOW) NoteFrontWindow(window);
}

}  // namespace

MenuSettings MenuSettings::ForThisProgram() {
    const std::wstring exe = qd::ExePath();
    MenuSettings settings;
    settings.KeyPath = kStoreKeyPath;
    settings.Accessors = RegistryAccessors();
    settings.OptionsFile = qd::OptionsFilePath();
    settings.ExePath = exe;
    settings.EditorPath = FolderOf(exe) + desc::kEditorFile;
    settings.RunKeyPath = desc::kRunKeyPath;
    settings.WindowClass = desc::kFolderMenuWindowClass;
    settings.SkinFile = desc::kSkinFile;
    settings.RecentFoldersFile = DefaultRecentFoldersFile();
    return settings;
}

// ---- TMenuHostWindow ----

TMenuHostWindow::TMenuHostWindow(TFolderMenuApp* app, std::wstring windowClass)
    : tk::TWinControl(app), app_(app), windowClass_(std::move(windowClass)) {
    InitVisible(false);
}

void TMenuHostWindow::CreateParams(TCreateParams& params) {
    tk::TWinControl::CreateParams(params);
    params.WinClassName = windowClass_;
    // A top-level window (a message-only one would not be found by class, nor hear that the task
    // bar was created), never shown, without a task bar button.
    params.Style = WS_POPUP;
    params.ExStyle = WS_EX_TOOLWINDOW;
}

void TMenuHostWindow::WndProc(tk::TMessage& m) {
    if (app_ && app_->HandleHostMessage(m)) return;
    tk::TWinControl::WndProc(m);
}

// ---- TFolderMenuApp ----

TFolderMenuApp::TFolderMenuApp(MenuSettings settings)
    : tk::TComponent(nullptr), settings_(std::move(settings)),
      list_(settings_.KeyPath, settings_.Accessors ? settings_.Accessors : RegistryAccessors()) {
    if (!settings_.TakeUserThere)
        settings_.TakeUserThere = [](HWND front, const std::wstring& folder, bool explore) {
            qd::menu::TakeUserThere(front, folder, explore);
        };
    if (!settings_.FolderOfWindow) settings_.FolderOfWindow = &qd::menu::FolderOfWindow;
    host_ = new TMenuHostWindow(this, settings_.WindowClass);
    HWND window = host_->Handle();

    // The look: the program's skin, else the built-in DeepBlue style.
    Theme = new TsuiFileTheme(this);
    Theme->SetThemeFile(settings_.SkinFile);

    TrayMenu = new TsuiPopupMenu(this);
    TrayMenu->SetFileTheme(Theme);
    TrayMenu->SetUIStyle(TsuiUIStyle::FromThemeFile);
    tk::TMenuItem* items = TrayMenu->Items();
    miOpenMenu = items->Add(desc::kOpenFolderMenuCaption);
    miOpenMenu->SetDefault(true);
    miOpenMenu->OnClick = [this](tk::TComponent*) { OpenFolderMenu(); };
    miEditList = items->Add(desc::kEditListCaption);
    miEditList->OnClick = [this](tk::TComponent*) { EditList(); };
    miHotKey = items->Add(desc::kHotKeyCaption);
    miHotKey->OnClick = [this](tk::TComponent*) { ChangeHotKey(); };
    miStartWithWindows = items->Add(desc::kStartWithWindowsCaption);
    miStartWithWindows->OnClick = [this](tk::TComponent*) { ToggleStartWithWindows(); };
    SetUpRecentFolders(items);
    items->Add(L"-");
    miExit = items->Add(desc::kExitCaption);
    miExit->OnClick = [this](tk::TComponent*) { Exit(); };
    TrayMenu->Loaded();

    FolderMenu = new TsuiListMenu(this);
    FolderMenu->SetFileTheme(Theme);
    FolderMenu->SetUIStyle(TsuiUIStyle::FromThemeFile);
    // Typing filters the menu to the rows that match (list/MenuFilter).
    FolderMenu->FilterPrompt = desc::kFolderMenuFilterPrompt;
    FolderMenu->OnFilter = [this](std::wstring_view text) { return FilterRows(menuRows_, text); };

    Probe = new tk::TFolderProbe(this, settings_.FolderProbe);
    Probe->OnAnswers = [this](const std::vector<tk::TFolderAnswer>& answers) { FolderAnswers(answers); };
    list_.NotifyChanges(window, desc::kListKeyChanged);
    foregroundHook_.reset(SetWinEventHook(EVENT_SYSTEM_FOREGROUND, EVENT_SYSTEM_FOREGROUND, nullptr, &ForegroundChanged,
                                          0, 0, WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS));

    LoadHotKey();
    if (settings_.ShowIcon) {
        icon_ = std::make_unique<tk::TTrayIcon>(window, desc::kTrayIconId, desc::kTrayIconMessage,
                                                tk::Application().Icon(), TipText());
        icon_->Add();
    }
}

TFolderMenuApp::~TFolderMenuApp() {
    icon_.reset();
    hotKeyRegistration_.Unregister();
    DestroyComponents();
}

// ---- the hot key ----

void TFolderMenuApp::LoadHotKey() {
    const tk::TIniFile ini(settings_.OptionsFile);
    // A sentinel no file holds tells a missing entry from an empty one.
    constexpr wchar_t kMissing[] = L"\x01";
    const std::wstring value = ini.ReadString(kSettingsSection, kHotKeyEntry, kMissing);
    const HotKeySetting setting =
        ReadHotKeySetting(value == kMissing ? std::nullopt : std::optional<std::wstring>(value));
    hotKey_ = setting.Key;
    rejectedSetting_ = setting.Rejected;
    RegisterCurrentHotKey();
}

void TFolderMenuApp::RegisterCurrentHotKey() {
    hotKeyRegistration_.Unregister();
    hotKeyTaken_ = false;
    if (hotKey_.Empty()) return;
    hotKeyTaken_ = !hotKeyRegistration_.Register(Window(), desc::kHotKeyId, hotKey_.Modifiers | MOD_NOREPEAT,
                                                 hotKey_.Key);
    if (icon_) icon_->SetTip(TipText());
}

std::wstring TFolderMenuApp::HotKeyProblem() const {
    if (hotKeyTaken_) return tk::FormatText(desc::kHotKeyTakenTip, {HotKeyText(hotKey_)});
    if (!rejectedSetting_.empty())
        return tk::FormatText(desc::kHotKeySettingRejected, {rejectedSetting_, HotKeyText(hotKey_)});
    return L"";
}

std::wstring TFolderMenuApp::TipText() const {
    const std::wstring problem = HotKeyProblem();
    return problem.empty() ? std::wstring(kMessageCaption) : std::wstring(kMessageCaption) + L"\n" + problem;
}

std::wstring TFolderMenuApp::TryHotKey(const HotKey& key) {
    const HotKey previous = hotKey_;
    const bool previousHeld = hotKeyRegistration_.Held();
    hotKeyRegistration_.Unregister();
    const auto restore = [&] {
        if (previousHeld) hotKeyRegistration_.Register(Window(), desc::kHotKeyId, previous.Modifiers | MOD_NOREPEAT,
                                                       previous.Key);
    };
    if (!key.Empty() &&
        !hotKeyRegistration_.Register(Window(), desc::kHotKeyId, key.Modifiers | MOD_NOREPEAT, key.Key)) {
        restore();
        return tk::FormatText(desc::kHotKeyTakenStatus, {HotKeyText(key)});
    }
    try {
        tk::TIniFile(settings_.OptionsFile).WriteString(kSettingsSection, kHotKeyEntry, HotKeySettingValue(key));
    } catch (...) {
        // Not saved, so not in force either: the old key comes back and the error is shown.
        hotKeyRegistration_.Unregister();
        restore();
        throw;
    }
    hotKey_ = key;
    hotKeyTaken_ = false;
    rejectedSetting_.clear();
    if (icon_) icon_->SetTip(TipText());
    return L"";
}

void TFolderMenuApp::ChangeHotKey() {
    std::wstring status = HotKeyProblem();
    if (status.empty() && hotKey_.Empty()) status = desc::kHotKeyNoneStatus;
    // The key in force is let go while the dialog is open, so that it can be pressed into the field
    // (held, the system would give it to this program's menu instead); unless the dialog put another
    // one in force, it is taken back afterwards.
    const bool wasHeld = hotKeyRegistration_.Held();
    hotKeyRegistration_.Unregister();
    const tk::OnScopeExit takeBack([this, wasHeld] {
        if (wasHeld && !hotKeyRegistration_.Held()) RegisterCurrentHotKey();
    });
    TfrmHotKey dialog(nullptr, hotKey_, status, [this](const HotKey& key) { return TryHotKey(key); });
    dialog.ShowModal();
}

// ---- the folder menu ----

HWND TFolderMenuApp::FrontWindow() const {
    HWND front = GetForegroundWindow();
    if (!front || IsOurs(front) || IsTaskBar(front)) front = lastOtherFront;
    return front && IsWindow(front) ? front : nullptr;
}

void TFolderMenuApp::OpenFolderMenu() {
    if (FolderMenu->IsOpen()) {
        FolderMenu->Close();
        return;
    }
    // The front window is taken before the menu takes the front.
    HWND front = FrontWindow();
    POINT at{};
    GetCursorPos(&at);
    OpenFolderMenuAt(front, at);
}

void TFolderMenuApp::OpenFolderMenuAt(HWND front, POINT at) {
    if (FolderMenu->IsOpen()) return;
    menuRows_ = list_.Rows();
    // The reading put back (or could not put back) a change another program left cut off: said once.
    if (const std::wstring notice = list_.TakeRecoveryNotice(); !notice.empty()) ShowMessage(notice, MB_ICONWARNING);
    std::vector<TsuiListMenuItem> items;
    items.reserve(menuRows_.size() + 5);
    for (const Shortcut& row : menuRows_) {
        const auto known = knownStates_.find(row.Path);
        const bool missing = known != knownStates_.end() && known->second == tk::TFolderState::Missing;
        items.push_back({AliasCaption(row.Alias), !missing});
    }
    if (!list_.Error().empty()) items.push_back({AliasCaption(desc::kListReadStopped + list_.Error()), false});
    if (menuRows_.empty() && list_.Error().empty()) items.push_back({desc::kEmptyList, false});
    AddRecentFoldersItem(items);
    items.push_back({L"-", true});
    addItem_ = static_cast<int>(items.size());
    items.push_back({desc::kAddCurrentFolderCaption, true});
    editItem_ = static_cast<int>(items.size());
    items.push_back({desc::kEditListCaption, true});
    FolderMenu->SetItems(std::move(items));
    // The checks are asked for once the menu is on the screen: handing them ten thousand paths
    // takes longer than showing the menu.
    PostMessageW(Window(), desc::kCheckMenuFolders, 0, 0);

    const int chosen = FolderMenu->Popup(at.x, at.y);
    // The window the menu was opened for gets the front back, and then the choice.
    if (front && IsWindow(front)) SetForegroundWindow(front);
    if (chosen < 0) return;
    if (chosen < RowCount()) {
        TakeUserThereAndRecord(front, menuRows_[static_cast<size_t>(chosen)].Path);
    } else if (chosen == recentItem_) {
        const int sub = FolderMenu->ChosenSubitem();
        if (sub >= 0 && sub < static_cast<int>(recentShown_.size()))
            TakeUserThereAndRecord(front, recentShown_[static_cast<size_t>(sub)]);
    } else if (chosen == addItem_) {
        AddCurrentFolder(front);
    } else if (chosen == editItem_) {
        EditList();
    }
}

void TFolderMenuApp::CheckFolders() {
    // The questions of an earlier opening that are still waiting are no longer wanted; answers to
    // those being asked come back with the earlier round's number and are dropped.
    Probe->CancelWaiting();
    ++checkRound_;
    for (size_t row = 0; row < menuRows_.size(); ++row)
        Probe->Submit((static_cast<std::uint64_t>(checkRound_) << 32) | row, menuRows_[row].Path);
    CheckRecentFolders();
}

void TFolderMenuApp::FolderAnswers(const std::vector<tk::TFolderAnswer>& answers) {
    for (const tk::TFolderAnswer& answer : answers) {
        if ((answer.Ticket >> 32) != checkRound_ || RecentFolderAnswer(answer)) continue;
        const int row = static_cast<int>(answer.Ticket & 0xFFFFFFFFu);
        if (row < RowCount() && menuRows_[static_cast<size_t>(row)].Path == answer.Path)
            FolderChecked(row, answer.State);
    }
}

void TFolderMenuApp::FolderChecked(int row, tk::TFolderState state) {
    if (row < 0 || row >= RowCount()) return;
    knownStates_[menuRows_[static_cast<size_t>(row)].Path] = state;
    // A folder that did not answer in time stays choosable: it may be there.
    FolderMenu->SetItemEnabled(row, state != tk::TFolderState::Missing);
}

bool TFolderMenuApp::ExploreFolderOption() const {
    return tk::TIniFile(settings_.OptionsFile).ReadBool(L"Options", L"ExploreFolder", true);
}

void TFolderMenuApp::AddCurrentFolder(HWND front) {
    std::wstring folder;
    if (!front || !settings_.FolderOfWindow(front, folder) || folder.empty()) {
        ShowMessage(desc::kNoFolderInFront, MB_ICONINFORMATION);
        return;
    }
    // The add command's rules: only a folder, named after itself, and only once. The window shows
    // it: one whose drive or computer does not answer in time is added, as the editor adds it.
    if (tk::TestFolderWithin(folder, kChosenFolderWaitMs) == tk::TFolderState::Missing) {
        ShowMessage(folder + L"," + kPathNotFound, MB_ICONSTOP);
        return;
    }
    const FolderAddition added = AddFolderToList(list_, folder);
    if (added.AlreadyThere) {
        ShowMessage(tk::FormatText(desc::kFolderAlreadyInList, {folder, added.Alias}), MB_ICONINFORMATION);
        return;
    }
    if (HWND editor = FindWindowW(desc::kMainWindowClass, nullptr)) PostMessageW(editor, desc::kListChangedNotice, 0, 0);
}

// ---- the icon's menu and its commands ----

void TFolderMenuApp::ShowTrayMenu() {
    miStartWithWindows->SetChecked(StartsWithWindows());
    miRecentFolders->SetChecked(recent_->Enabled());
    POINT at{};
    GetCursorPos(&at);
    // A menu of a program in front closes when the user clicks elsewhere.
    SetForegroundWindow(Window());
    TrayMenu->Popup(at.x, at.y);
    PostMessageW(Window(), WM_NULL, 0, 0);
}

void TFolderMenuApp::EditList() {
    if (HWND editor = FindWindowW(desc::kMainWindowClass, nullptr)) {
        DWORD process = 0;
        GetWindowThreadProcessId(editor, &process);
        AllowSetForegroundWindow(process);
        PostMessageW(editor, desc::kInstanceWakeup, 0, 0);
        return;
    }
    const std::wstring& editor = settings_.EditorPath;
    const DWORD attributes = GetFileAttributesW(editor.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        ShowMessage(tk::FormatText(desc::kEditorNotFound, {editor}), MB_ICONSTOP);
        return;
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started{};
    std::wstring commandLine = RunCommand(editor);
    const std::wstring folder = FolderOf(editor);
    if (!CreateProcessW(editor.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &started)) {
        ShowMessage(tk::FormatText(desc::kEditorNotStarted, {editor, tk::SystemErrorText(GetLastError())}),
                    MB_ICONSTOP);
        return;
    }
    const tk::ScopedKernelHandle process(started.hProcess), thread(started.hThread);
}

bool TFolderMenuApp::StartsWithWindows() const {
    tk::TRegistry run;
    if (!run.OpenKeyReadOnly(settings_.RunKeyPath)) return false;
    try {
        return RunCommandStartsProgram(run.ReadString(desc::kRunValueName), settings_.ExePath);
    } catch (const tk::ERegistryException&) {
        // A value of another type starts nothing this program knows of.
        return false;
    }
}

void TFolderMenuApp::ToggleStartWithWindows() {
    tk::TRegistry run;
    run.SetAccess(KEY_READ | KEY_WRITE);
    if (StartsWithWindows()) {
        if (!run.OpenKey(settings_.RunKeyPath, false) || !run.DeleteValue(desc::kRunValueName))
            throw tk::ERegistryException(tk::FormatText(L"Failed to delete '%s'", {desc::kRunValueName}));
        return;
    }
    if (!run.OpenKey(settings_.RunKeyPath, true))
        throw tk::ERegistryException(tk::FormatText(L"Failed to open key '%s' for writing", {settings_.RunKeyPath}));
    run.WriteString(desc::kRunValueName, RunCommand(settings_.ExePath));
}

void TFolderMenuApp::Exit() {
    FolderMenu->Close();
    icon_.reset();
    hotKeyRegistration_.Unregister();
    tk::Application().Terminate();
}

void TFolderMenuApp::ShowMessage(const std::wstring& text, UINT icon) {
    MessageBoxW(nullptr, text.c_str(), kMessageCaption, MB_OK | MB_SETFOREGROUND | icon);
}

// ---- messages ----

bool TFolderMenuApp::HandleHostMessage(tk::TMessage& m) {
    switch (m.Msg) {
    case WM_HOTKEY:
        if (static_cast<int>(m.WParam) == desc::kHotKeyId) OpenFolderMenu();
        m.Result = 0;
        return true;
    case WM_CLOSE:
        // Asked to end (by setup before it replaces the program's files, say).
        Exit();
        m.Result = 0;
        return true;
    case desc::kShowFolderMenu:
        OpenFolderMenu();
        m.Result = 0;
        return true;
    case desc::kTrayIconMessage:
        // The mouse on its way to the icon: the window in front now is the one a click will be
        // for (the click brings the task bar to the front).
        if (LOWORD(m.LParam) == WM_MOUSEMOVE) NoteFrontWindow(GetForegroundWindow());
        if (LOWORD(m.LParam) == WM_LBUTTONUP) OpenFolderMenu();
        if (LOWORD(m.LParam) == WM_RBUTTONUP) ShowTrayMenu();
        m.Result = 0;
        return true;
    case desc::kCheckMenuFolders:
        CheckFolders();
        m.Result = 0;
        return true;
    case desc::kListKeyChanged:
        SetTimer(Window(), kReadAgainTimer, kReadAgainMilliseconds, nullptr);
        m.Result = 0;
        return true;
    case WM_TIMER:
        if (m.WParam != kReadAgainTimer) return false;
        KillTimer(Window(), kReadAgainTimer);
        // Read now, so that the next opening finds the rows ready; not under an open menu.
        if (!FolderMenu->IsOpen()) list_.Rows();
        m.Result = 0;
        return true;
    default:
        break;
    }
    if (m.Msg == tk::TTrayIcon::TaskbarCreatedMessage() && icon_) {
        // Explorer started anew and forgot the icon.
        icon_->Add();
        m.Result = 0;
        return true;
    }
    return false;
}

}  // namespace qd::menu
