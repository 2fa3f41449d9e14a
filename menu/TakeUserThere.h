// Taking the user to a folder chosen in the folder menu, and reading the folder that the window in
// front shows. `front` is the window that was in front when the menu opened.
#pragma once

#include <windows.h>

#include <string>

#include "app/OpenFolder.h"

namespace qd::menu {

// The folder an Explorer window or common file dialog shows; false for any other window.
bool FolderOfWindow(HWND front, std::wstring& folder);
// Acts on the window that was in front when the menu opened: an Open or Save dialog changes to the
// folder (the file name typed in it is put back; it is neither closed nor made to open or save
// anything), an Explorer window shows the folder where the shell lets it be navigated; otherwise a
// new Explorer window opens at the folder, with the "explore" verb when explore is set. A path
// that is not a full path of an existing folder is never handed to a dialog or the shell: a
// message names it (FolderMayBeOpened); nor is one whose drive or computer did not answer within
// kChosenFolderWaitMs (it might be a program, which the shell would start).
void TakeUserThere(HWND front, const std::wstring& folder, bool explore);
// The same with the shell call given, so that a test sees what would have been started.
void TakeUserThere(HWND front, const std::wstring& folder, bool explore, const ShellFolderRunner& run);

}  // namespace qd::menu
