// The texts and look of the folder check in the main window.
#pragma once

#include <windows.h>

#include "list/ShortcutModel.h"
#include "toolkit/win/ListView.h"

namespace qd {

// "删除不存在的路径": the question (with the number of rows) and the answers when there is nothing to delete.
constexpr wchar_t kConfirmDeleteMissing[] = L"列表中有 %s 项的文件夹不存在。确定要把这些项从列表中删除吗?";
constexpr wchar_t kNoMissingFolders[] = L"列表中没有文件夹不存在的项。";
constexpr wchar_t kNoMissingFoldersYet[] = L"路径检查还没有完成，目前没有发现文件夹不存在的项。";

// The text colour of a row whose folder is missing.
constexpr COLORREF kMissingFolderTextColor = RGB(0x90, 0x90, 0x90);

// How a row shows what the check found: missing greyed with a cross, unknown with a question mark.
tk::TListItemLook FolderMarkLook(const ShortcutRow& row);

}  // namespace qd
