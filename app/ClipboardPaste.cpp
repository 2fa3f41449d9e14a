// Pasting into the main window's list (Ctrl+V there): adds the folders the clipboard holds
// (folders copied in Explorer, or folder paths as text), as a drop adds them.
#include <windows.h>

#include "app/FolderAdd.h"
#include "app/Global.h"
#include "app/Main.h"
#include "toolkit/win/Application.h"
#include "toolkit/win/Clipboard.h"

namespace qd {

void TfrmMain::PasteFolders() {
    const tk::ClipboardFiles clipboard = tk::ReadClipboardFiles(Handle());
    const std::vector<std::wstring> paths = clipboard.HasFileList ? clipboard.FileNames
                                            : clipboard.HasText    ? PastedPaths(clipboard.Text)
                                                                   : std::vector<std::wstring>();
    if (paths.empty()) {
        tk::Application().ShowMessageBox(kClipboardHoldsNoFolder, kMessageCaption, MB_OK | MB_ICONSTOP);
        return;
    }
    AddFolders(paths, kStepPaste);
}

}  // namespace qd
