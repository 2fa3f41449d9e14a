// The folder menu program's description: its window class and messages, the texts of its menus
// and tip, the value that starts it with Windows, and the hot key dialog.
#pragma once

namespace qd::desc {

// The hidden window of the running folder menu: a second start finds it by this class and posts
// kShowFolderMenu to it, which opens the menu at the mouse.
constexpr wchar_t kFolderMenuWindowClass[] = L"Quiverdir Folder Menu";
constexpr unsigned kShowFolderMenu = 0x1410;
// The notification icon's mouse reports, a change of the list's key, and the menu on the screen
// (its folders are then handed to the checks).
constexpr unsigned kTrayIconMessage = 0x1411;
constexpr unsigned kListKeyChanged = 0x1413;
constexpr unsigned kCheckMenuFolders = 0x1414;
constexpr unsigned kTrayIconId = 1;
constexpr int kHotKeyId = 1;

constexpr wchar_t kEditorFile[] = L"Quiverdir.exe";

// The notification icon's menu.
constexpr wchar_t kOpenFolderMenuCaption[] = L"打开文件夹菜单";
constexpr wchar_t kEditListCaption[] = L"编辑收藏夹…";
constexpr wchar_t kHotKeyCaption[] = L"热键…";
constexpr wchar_t kStartWithWindowsCaption[] = L"开机时启动";
constexpr wchar_t kExitCaption[] = L"退出";
// The icon's menu's switch of the recent folders, and the folder menu's submenu of them.
constexpr wchar_t kRecentFoldersSwitchCaption[] = L"显示最近使用的文件夹";
constexpr wchar_t kRecentFoldersCaption[] = L"最近使用的文件夹";
constexpr wchar_t kNoRecentFolders[] = L"(没有)";
constexpr wchar_t kRecentFoldersNotSaved[] = L"最近使用的文件夹没有保存: ";
// The folder menu's items after the rows.
constexpr wchar_t kAddCurrentFolderCaption[] = L"添加当前文件夹";
// The last item when the list could not be read whole: the error follows.
constexpr wchar_t kListReadStopped[] = L"列表没有读完: ";
constexpr wchar_t kEmptyList[] = L"(列表是空的)";
// The line at the top of the folder menu that shows what was typed to filter it.
constexpr wchar_t kFolderMenuFilterPrompt[] = L"查找: ";

// What the tip says after the program's name when the hot key does not work.
constexpr wchar_t kHotKeyTakenTip[] = L"热键 %s 已被其他程序占用";
constexpr wchar_t kHotKeySettingRejected[] = L"options.ini 中的热键 \"%s\" 无效, 改用 %s";
constexpr wchar_t kNoHotKeyText[] = L"无";

// Messages (captioned with the program's name).
constexpr wchar_t kNoFolderInFront[] = L"前台窗口没有显示文件夹, 无法添加.";
constexpr wchar_t kFolderAlreadyInList[] = L"%s 已经在列表中 (别名 \"%s\").";
constexpr wchar_t kEditorNotFound[] = L"找不到编辑程序: %s";
constexpr wchar_t kEditorNotStarted[] = L"无法启动编辑程序 %s: %s";

// The value under HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Run that starts the
// folder menu with Windows.
constexpr wchar_t kRunKeyPath[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kRunValueName[] = L"QuiverdirMenu";

// The hot key dialog.
struct MenuBox { int left, top, width, height; };
constexpr wchar_t kHotKeyDialogCaption[] = L"热键";
constexpr int kHotKeyClientWidth = 300, kHotKeyClientHeight = 124;
constexpr MenuBox kHotKeyLabel{12, 12, 276, 16};
constexpr wchar_t kHotKeyLabelCaption[] = L"打开文件夹菜单的热键 (按下新的组合键):";
constexpr MenuBox kHotKeyEdit{12, 32, 276, 21};
constexpr MenuBox kHotKeyStatus{12, 60, 276, 16};
constexpr MenuBox kHotKeyOkButton{132, 88, 75, 25};
constexpr MenuBox kHotKeyCancelButton{213, 88, 75, 25};
constexpr wchar_t kHotKeyOkCaption[] = L"确定(&O)";
constexpr wchar_t kHotKeyCancelCaption[] = L"取消(&C)";
constexpr wchar_t kHotKeyTakenStatus[] = L"%s 已被其他程序占用, 请换一个.";
constexpr wchar_t kHotKeyNeedsModifier[] = L"热键要有 Ctrl、Alt 或 Win (功能键除外).";
constexpr wchar_t kHotKeyNoneStatus[] = L"没有热键: 单击通知区域的图标打开菜单.";

}  // namespace qd::desc
