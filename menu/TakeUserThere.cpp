#include "menu/TakeUserThere.h"

#include "app/Global.h"
#include "menu/ExplorerWindows.h"
#include "menu/FileDialogSwitch.h"
#include "menu/NavigationRules.h"
#include "toolkit/win/Application.h"
#include "toolkit/win/FolderProbe.h"

namespace qd::menu {

namespace {

FrontKind KindOfFront(HWND front) {
    return front && IsWindow(front) ? KindOf(FactsOf(front)) : FrontKind::Other;
}

}  // namespace

bool FolderOfWindow(HWND front, std::wstring& folder) {
    switch (KindOfFront(front)) {
    case FrontKind::FileDialog:
    case FrontKind::UncertainDialog:
        return FolderOfFileDialog(front, folder);
    case FrontKind::ExplorerWindow:
        return FolderOfExplorerWindow(front, folder);
    case FrontKind::Other:
        break;
    }
    return false;
}

void TakeUserThere(HWND front, const std::wstring& folder, bool explore) {
    TakeUserThere(front, folder, explore, RunShellOnFolder);
}

void TakeUserThere(HWND front, const std::wstring& folder, bool explore, const ShellFolderRunner& run) {
    // Asked with a time limit: a server that does not answer must not hold the menu up.
    const tk::TFolderState state =
        folder.empty() ? tk::TFolderState::Missing : tk::TestFolderWithin(folder, kChosenFolderWaitMs);
    if (state != tk::TFolderState::Present) {
        tk::Application().ShowMessageBox(
            folder + L"\r\n" + (state == tk::TFolderState::Missing ? kNotAnExistingFolder : kFolderNotAnswering),
            kMessageCaption, MB_OK | MB_ICONWARNING);
        return;
    }
    // A window taken to the folder comes back to the front, which the menu had while it was up.
    switch (KindOfFront(front)) {
    case FrontKind::FileDialog:
        if (SwitchFileDialog(front, folder)) {
            SetForegroundWindow(front);
            return;
        }
        break;
    case FrontKind::ExplorerWindow:
        if (NavigateExplorerWindow(front, folder)) {
            SetForegroundWindow(front);
            return;
        }
        break;
    case FrontKind::UncertainDialog:  // its OK might choose the folder and close it
    case FrontKind::Other:
        break;
    }
    OpenFolder(nullptr, folder, explore, run);
}

}  // namespace qd::menu
