// Explorer's folder windows: the folder one shows and taking one to another folder, through the
// shell's list of its windows (IShellWindows) where the shell offers it.
#pragma once

#include <windows.h>

#include <string>

namespace qd::menu {

// The folder the Explorer window shows, when that is a folder (one whose drive or computer does not
// answer in time counts; the shell's calls and the check wait a limited time): asked through the shell's
// window list, else read from the window's address box (Wine's Explorer keeps the folder's item id
// list there, and its window list finds windows but cannot hand them out). False otherwise.
bool FolderOfExplorerWindow(HWND window, std::wstring& folder);

// Takes the Explorer window to the folder through the shell's window list (the window's browser
// navigates). folder must be an existing folder (the caller checks: a browser given a program
// would start it). False when the shell does not offer the window or refuses, or does not answer
// in time before the window was asked to go there.
bool NavigateExplorerWindow(HWND window, const std::wstring& folder);

}  // namespace qd::menu
