// Shared routines and message texts of the program: the options record and its file, the
// executable's own path, the texts of message boxes, the folder test and the folder picker.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace qd {

// Caption of every message box of the program.
constexpr wchar_t kMessageCaption[] = L"Quorvane快捷目录软件";
constexpr wchar_t kConfirmDelete[] = L"您确定要删除此项吗?";
constexpr wchar_t kSortHintAfterAscending[] = L"按别名降序排列";
constexpr wchar_t kSortHintAfterDescending[] = L"按别名升序排列";
constexpr wchar_t kEmptyAliasOrPath[] = L"别名或路径框不能为空.";
// Follows the path and a comma.
constexpr wchar_t kPathNotFound[] = L"此路径不存在.";
// Follows the path and a comma: only full paths are stored, since the folder menu and the command
// line would read a relative one against a folder of their own.
constexpr wchar_t kPathNotFull[] = L"此路径不是完整路径, 请输入从盘符或网络共享开始的路径, 如 C:\\工作 或 \\\\服务器\\共享.";
// Edit found its row gone: another process removed it while the dialog was open.
constexpr wchar_t kEditedRowGone[] = L"Another program removed this row from the list while it was being edited; the edit was not made.";
// Delete and the moves found their row gone: another program removed it meanwhile.
constexpr wchar_t kDeletedRowGone[] = L"另一个程序已经把这一项从列表中删除了。";
constexpr wchar_t kMovedRowGone[] = L"另一个程序已经把这一项从列表中删除了，没有移动。";
// Undo or redo found the list changed by another program: the steps no longer fit it.
constexpr wchar_t kHistoryNoLongerFits[] = L"另一个程序修改了列表，撤销和重做的记录已不再适用，已清除；列表已重新读取。";
constexpr wchar_t kBrowseInstruction[] = L"请选择要加入快捷目录列表的文件夹";
// Follow the path and a line break: a favourite that cannot be opened as a folder.
constexpr wchar_t kNotAnExistingFolder[] = L"此路径不是一个存在的文件夹, 不能打开.";
constexpr wchar_t kFolderNotOpened[] = L"系统未能打开此文件夹.";
// Follows the path and a line break: a row of an older list whose path is relative.
constexpr wchar_t kRelativePathNotOpened[] = L"此路径不是完整路径, 不能打开. 请编辑此项, 改为从盘符或网络共享开始的路径.";
// Things dropped or pasted that are not folders: followed by their names, one a line.
constexpr wchar_t kNotFoldersRefused[] = L"以下项目不是文件夹, 没有加入列表:";
// After the names shown, the number of the other refused names.
constexpr wchar_t kMoreNotFolders[] = L"... 另有 %s 项.";
constexpr wchar_t kClipboardHoldsNoFolder[] = L"剪贴板中没有文件夹或文件夹路径.";
// Follows the path and a line break: the clipboard could not be written.
constexpr wchar_t kPathNotCopied[] = L"未能把此路径复制到剪贴板.";

struct TAppOptions {
    bool ExploreFolder = false;
    bool AskDelete = false;
    bool ShowTips = false;
};

// The process-wide options, all false until loaded.
extern TAppOptions AppOptions;

// Loads (load true) or saves the options in the programs' options.ini (OptionsFilePath).
void ReadWriteOptions(bool load);
// The same for a given file. A missing file or unreadable values load as the defaults; a file
// that cannot be written raises the INI error naming it.
void ReadWriteOptionsFile(const std::wstring& fileName, bool load);
// Writes the given options to the file (AppOptions is not touched); raises as above.
void SaveOptionsFile(const std::wstring& fileName, const TAppOptions& options);

std::wstring ExePath();            // full path and name of the running executable
// The options.ini both programs use: beside the program when the user may write in its folder,
// else the user's own in %APPDATA%\Quiverdir (see ChooseOptionsPlace).
std::wstring OptionsFilePath();
std::wstring WindowsDirectory();   // as the system reports it
std::wstring HelpFilePath();       // folder of ExePath() + "Quiverdir.html"

// OptionsFilePath for a program in programFolder, with appData as the user's application data
// folder and writable telling whether the user may make files in a folder. A per-user file's
// folder is made, and the file starts as a copy of the one beside the program when there is one.
std::wstring OptionsFileFor(const std::wstring& programFolder, const std::wstring& appData,
                            const std::function<bool(const std::wstring& folder)>& writable);
// Whether a new file can be made in the folder: one is made there and deleted again at once.
bool FolderWritable(const std::wstring& folder);

// True when the path names an existing folder (not a file). Critical-error boxes of the system,
// such as for a drive without a medium, are not shown.
bool DirectoryExists(const std::wstring& path);

// The shell's folder picker, centred on the screen, with title as its instruction text and root
// (empty: the desktop) as the top of its tree. Returns true when a folder was chosen; dir then
// holds its path. A dir that is not an existing folder is emptied first; it does not preselect.
bool BrowseForFolder(const std::wstring& title, const std::wstring& root, std::wstring& dir);
// The picker's callback: centres the picker by its client size when it comes up; returns 0.
int CALLBACK BrowseCallback(HWND window, UINT message, LPARAM param, LPARAM data);

}  // namespace qd
