// The simple form of taking the user to a folder: always a new Explorer window, and no folder
// read from other windows.
#include "menu/TakeUserThere.h"

#include "app/OpenFolder.h"

namespace qd::menu {

bool FolderOfWindow(HWND, std::wstring&) { return false; }

void TakeUserThere(HWND, const std::wstring& folder, bool explore) { OpenFolder(nullptr, folder, explore); }

}  // namespace qd::menu
