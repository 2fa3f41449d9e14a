// Taking the user to a folder chosen in the folder menu, and reading the folder that the window in
// front shows. `front` is the window that was in front when the menu opened.
#pragma once

#include <windows.h>

#include <string>

#include "app/OpenFolder.h"

namespace qd::menu {

// How long the menu waits for the drive or computer of a chosen folder to say whether the folder
// is there (a sleeping disk wakes within it), and what it says when none answered in time.
constexpr unsigned kChosenFolderWaitMs = 3000;
constexpr wchar_t kFolderNotAnswering[] = L"此文件夹所在的驱动器或网络位置没有应答, 现在无法打开.";

// The folder an Explorer window or common file dialog shows; false for any other window.
bool FolderOfWindow(HWND front, std::wstring& folder);
// Acts on the window that was in front when the menu opened: an Open or Save dialog changes to the
// folder (the file name typed in it is put back; it is neither closed nor made to open or save
// anything), an Explorer window shows the folder where the shell lets it be navigated; otherwise a
// new Explorer window opens at the folder, with the "explore" verb when explore is set. A path
// that is not an existing folder is never handed to a dialog or the shell: a message names it;
// one whose drive or computer did not answer within kChosenFolderWaitMs is not either (it might
// be a program, which the shell would start), and the message says it could not be reached.
void TakeUserThere(HWND front, const std::wstring& folder, bool explore);
// The same with the shell call given, so that a test sees what would have been started.
void TakeUserThere(HWND front, const std::wstring& folder, bool explore, const ShellFolderRunner& run);

}  // namespace qd::menu
