#include "menu/FolderPickerSwitch.h"

#include <shlobj.h>

#include "menu/FileDialogSwitch.h"
#include "menu/NavigationRules.h"
#include "menu/OtherProcess.h"

namespace qd::menu {

bool SwitchFolderTree(HWND dialog, const std::wstring& folder) {
    // Whoever calls: the message's number means something else to any other window.
    if (folder.empty() || KindOf(FactsOf(dialog)) != FrontKind::FolderTree) return false;
    const RemoteProcess process(dialog);
    const std::size_t bytes = (folder.size() + 1) * sizeof(wchar_t);
    // The block holds only text: laid out alike whatever the other program's pointer size.
    RemoteBuffer path(process, bytes);
    if (!path.Valid() || !path.Write(0, folder.c_str(), bytes)) return false;
    LRESULT answer = 0;
    // wParam TRUE: lParam is a path, not an item id list.
    return path.Send(dialog, BFFM_SETSELECTIONW, TRUE, answer, kPressTimeoutMs);
}

}  // namespace qd::menu
