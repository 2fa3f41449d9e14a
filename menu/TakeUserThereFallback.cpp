// The simple form of taking the user to a folder: always a new Explorer window, and no folder
// read from other windows.
#include "menu/TakeUserThere.h"

#include <shellapi.h>

#include "app/Global.h"

namespace qd::menu {

bool FolderOfWindow(HWND, std::wstring&) { return false; }

void TakeUserThere(HWND, const std::wstring& folder, bool explore) {
    if (!DirectoryExists(folder)) {
        const std::wstring text = folder + L"," + kPathNotFound;
        MessageBoxW(nullptr, text.c_str(), kMessageCaption, MB_OK | MB_ICONSTOP);
        return;
    }
    const auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(nullptr, explore ? L"explore" : L"open", folder.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    if (result <= 32) {
        const std::wstring text = folder + L"\r\n" + L"Explorer could not be started (error " +
                                  std::to_wstring(result) + L").";
        MessageBoxW(nullptr, text.c_str(), kMessageCaption, MB_OK | MB_ICONSTOP);
    }
}

}  // namespace qd::menu
