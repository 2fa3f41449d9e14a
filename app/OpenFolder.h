// Opening a favourite's folder in a new Explorer window through the shell. Only an existing folder
// given by its full path ever reaches the shell: a path naming a program, a script, a document or
// a web address would be started or opened by it, and a relative one (a row of an older list) would
// be read against whatever folder the opening program is in, with the shell trying program
// extensions on it; such a path is refused with a message that names it.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace qd {

// How long a chosen folder's drive or computer is given to say whether the folder is there (a
// sleeping disk wakes within it), and what is said when none answered in time.
constexpr unsigned kChosenFolderWaitMs = 3000;
constexpr wchar_t kFolderNotAnswering[] = L"此文件夹所在的驱动器或网络位置没有应答, 现在无法打开.";

// The verb the shell is asked with: "explore" shows the folder with the folder tree.
const wchar_t* OpenFolderVerb(bool explore);

// Hands a folder to the shell with a verb; true when the shell took it. Tests replace it to see
// what would have been started.
using ShellFolderRunner = std::function<bool(HWND owner, const wchar_t* verb, const std::wstring& folder)>;
bool RunShellOnFolder(HWND owner, const wchar_t* verb, const std::wstring& folder);

// True when path may be handed to a window or the shell as a folder: a full path of an existing
// folder, whose drive or computer answered within kChosenFolderWaitMs (the window's thread answers
// sent messages meanwhile). Otherwise shows a message box naming the path (and why) and returns false. The editor
// and the folder menu ask this before anything else.
bool FolderMayBeOpened(const std::wstring& path);

// Opens path in a new Explorer window ("explore" when explore, else "open"). A path that
// FolderMayBeOpened refuses is never handed to the shell; a shell that refuses the folder gets a
// message box too. True when the folder was handed over and taken.
bool OpenFolder(HWND owner, const std::wstring& path, bool explore,
                const ShellFolderRunner& run = RunShellOnFolder);

}  // namespace qd
