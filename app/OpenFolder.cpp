#include "app/OpenFolder.h"

#include <shellapi.h>

#include "app/Global.h"
#include "list/PathRules.h"
#include "toolkit/win/Application.h"
#include "toolkit/win/FolderProbe.h"

namespace qd {

const wchar_t* OpenFolderVerb(bool explore) { return explore ? L"explore" : L"open"; }

bool RunShellOnFolder(HWND owner, const wchar_t* verb, const std::wstring& folder) {
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    // The shell's own failure box is replaced by the program's message, which names the folder.
    info.fMask = SEE_MASK_FLAG_NO_UI;
    info.hwnd = owner;
    info.lpVerb = verb;
    info.lpFile = folder.c_str();
    info.nShow = SW_SHOWNORMAL;
    return ShellExecuteExW(&info) != FALSE;
}

bool FolderMayBeOpened(const std::wstring& path) {
    // The relative test comes first: such a path may well exist here, in this program's folder.
    const wchar_t* why = nullptr;
    if (!path.empty() && !IsFullPath(path)) {
        why = kRelativePathNotOpened;
    } else {
        const tk::TFolderState state =
            path.empty() ? tk::TFolderState::Missing : tk::TestFolderWithin(path, kChosenFolderWaitMs);
        why = state == tk::TFolderState::Present   ? nullptr
              : state == tk::TFolderState::Missing ? kNotAnExistingFolder
                                                   : kFolderNotAnswering;
    }
    if (!why) return true;
    tk::Application().ShowMessageBox(path + L"\r\n" + why, kMessageCaption, MB_OK | MB_ICONWARNING);
    return false;
}

bool OpenFolder(HWND owner, const std::wstring& path, bool explore, const ShellFolderRunner& run) {
    if (!FolderMayBeOpened(path)) return false;
    if (run(owner, OpenFolderVerb(explore), path)) return true;
    tk::Application().ShowMessageBox(path + L"\r\n" + kFolderNotOpened, kMessageCaption, MB_OK | MB_ICONWARNING);
    return false;
}

}  // namespace qd
