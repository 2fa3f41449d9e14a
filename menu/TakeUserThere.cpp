#include "menu/TakeUserThere.h"

#include "app/Global.h"
#include "menu/ConsoleSwitch.h"
#include "menu/ExplorerWindows.h"
#include "menu/FileDialogSwitch.h"
#include "menu/FolderPickerSwitch.h"
#include "toolkit/win/Application.h"
#include "menu/NavigationRules.h"

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
    case FrontKind::FolderTree:
    case FrontKind::Console:
    case FrontKind::Other:
        break;
    }
    return false;
}

void TakeUserThere(HWND front, const std::wstring& folder, bool explore) {
    TakeUserThere(front, folder, explore, RunShellOnFolder);
}

void TakeUserThere(HWND front, const std::wstring& folder, bool explore, const ShellFolderRunner& run) {
    // Neither a dialog, an Explorer window nor the shell gets a path that is not a full path of
    // an existing folder.
    if (!FolderMayBeOpened(folder)) return;
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
    case FrontKind::FolderTree:
        if (SwitchFolderTree(front, folder)) {
            SetForegroundWindow(front);
            return;
        }
        break;
    case FrontKind::Console: {
        const ConsoleResult typed = SwitchConsole(front, folder);
        if (typed.outcome == ConsoleOutcome::Entered) {
            SetForegroundWindow(front);
            return;
        }
        if (typed.outcome == ConsoleOutcome::Refused)
            tk::Application().ShowMessageBox(folder + L"\r\n" + typed.why, kMessageCaption, MB_OK | MB_ICONWARNING);
        break;
    }
    case FrontKind::UncertainDialog:  // its OK might choose the folder and close it
    case FrontKind::Other:
        break;
    }
    OpenFolder(nullptr, folder, explore, run);
}

}  // namespace qd::menu
