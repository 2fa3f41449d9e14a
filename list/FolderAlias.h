// The alias proposed for a folder, shared by the property dialog's folder picker and the folder
// menu's "add the current folder".
#pragma once

#include <string>

namespace qd {

// The text after the folder's last backslash; the whole path when it has none or ends with one
// (C:\Windows gives Windows, C:\ gives C:\).
std::wstring GetFolderAlias(const std::wstring& path);

}  // namespace qd
