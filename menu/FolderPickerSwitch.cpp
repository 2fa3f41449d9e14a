#include "menu/FolderPickerSwitch.h"

#include <commctrl.h>
#include <shlobj.h>

#include <string_view>

#include "menu/FileDialogSwitch.h"
#include "menu/NavigationRules.h"
#include "menu/OtherProcess.h"

namespace qd::menu {

namespace {

constexpr int kSelectTries = 3;

bool IsTree(HWND window) {
    wchar_t name[32] = {};
    return window && GetClassNameW(window, name, 32) > 0 && std::wstring_view(name) == WC_TREEVIEWW;
}

}  // namespace

HWND BrowseFolderTree(HWND dialog) {
    if (HWND tree = GetDlgItem(dialog, kBrowseFolderTree); IsTree(tree)) return tree;
    HWND control = FindWindowExW(dialog, nullptr, L"SHBrowseForFolder ShellNameSpace Control", nullptr);
    HWND tree = control ? FindWindowExW(control, nullptr, WC_TREEVIEWW, nullptr) : nullptr;
    return IsTree(tree) ? tree : nullptr;
}

bool SwitchFolderTree(HWND dialog, const std::wstring& folder) {
    // Whoever calls: the message's number means something else to any other window.
    if (folder.empty() || KindOf(FactsOf(dialog)) != FrontKind::FolderTree) return false;
    const RemoteProcess process(dialog);
    const std::size_t bytes = (folder.size() + 1) * sizeof(wchar_t);
    // The block holds only text: laid out alike whatever the other program's pointer size.
    RemoteBuffer path(process, bytes);
    if (!path.Valid() || !path.Write(0, folder.c_str(), bytes)) return false;
    // Wine's classic dialog now and then ignores the request, and keeps ignoring it: it is repeated
    // a few times while the tree's selected item stays the one it was, and a tree that never moved
    // counts as not taken there (the folder then opens in Explorer; a tree that already showed the
    // folder does so too).
    HWND tree = BrowseFolderTree(dialog);
    LRESULT before = 0, after = 0;
    const bool seen = tree && SendWithin(tree, TVM_GETNEXTITEM, TVGN_CARET, 0, before);
    for (int tries = 0; tries < kSelectTries; ++tries) {
        LRESULT answer = 0;
        // wParam TRUE: lParam is a path, not an item id list.
        if (!path.Send(dialog, BFFM_SETSELECTIONW, TRUE, answer, kPressTimeoutMs)) return false;
        if (!seen || !SendWithin(tree, TVM_GETNEXTITEM, TVGN_CARET, 0, after) || after != before) return true;
    }
    return false;
}

}  // namespace qd::menu
