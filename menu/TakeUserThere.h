// Taking the user to a folder chosen in the folder menu, and reading the folder that the window in
// front shows. `front` is the window that was in front when the menu opened.
#pragma once

#include <windows.h>

#include <string>

namespace qd::menu {

// The folder an Explorer window or a common Open/Save dialog shows; false for any other window.
bool FolderOfWindow(HWND front, std::wstring& folder);
// Shows the folder in `front` when it can (an Open/Save dialog, an Explorer window), else in a new
// Explorer window (with the shell's "explore" verb when explore is set). A path that is not an
// existing folder is never handed to the shell.
void TakeUserThere(HWND front, const std::wstring& folder, bool explore);

}  // namespace qd::menu
