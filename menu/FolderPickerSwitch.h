// The shell's browse-for-folder dialog of another program: its folder tree is moved to a folder and
// the folder selected there, with nothing pressed, so that the person confirms it with OK.
#pragma once

#include <windows.h>

#include <string>

namespace qd::menu {

// The folder tree of a browse-for-folder dialog: the tree numbered kBrowseFolderTree of the classic
// dialog, or the tree inside the shell's name space control of the newer one (BIF_NEWDIALOGSTYLE);
// nullptr when the window has neither.
HWND BrowseFolderTree(HWND dialog);

// Selects the folder in the dialog's tree (BFFM_SETSELECTIONW, the path in a block inside the
// dialog's program, as OtherProcess keeps such blocks). False when the window is no
// browse-for-folder dialog (KindOf says FolderTree), the dialog did not answer in time, or its
// tree's selected item stayed the same after the request was repeated.
bool SwitchFolderTree(HWND dialog, const std::wstring& folder);

}  // namespace qd::menu
