// The path rules every program of the list shares: what counts as a full path, when two paths name
// the same folder, when two rows name the same shortcut, and which part of a path answers for it.
#pragma once

#include <string>
#include <string_view>

#include "toolkit/FolderPath.h"

namespace qd {

// True for a path from the root of a drive ("C:\", "C:/") or of a network share ("\\server\share");
// false for a relative path (".", "docs", "C:Temp"), which would be read against whatever folder
// the reading program happens to be in.
using tk::IsFullPath;

// Two paths name the same folder when these keys are equal: one closing backslash added unless
// there, the ASCII letters a-z upper-cased, nothing else changed (the import's rule of old, which
// stored lists and backups rely on).
std::wstring SameFolderKey(std::wstring_view path);

// Two paths name the same folder (an empty path names none).
inline bool SameFolder(std::wstring_view a, std::wstring_view b) {
    return !a.empty() && !b.empty() && SameFolderKey(a) == SameFolderKey(b);
}

// A row's alias and folder as one key: two rows name the same shortcut for the import and for
// adding dropped folders when their keys are equal (the alias exactly, the folder by SameFolderKey).
std::wstring ShortcutKey(std::wstring_view alias, std::wstring_view path);

// The part of a path that answers for it ("\\server", "x:"); empty for a relative path.
using tk::FolderRoot;

}  // namespace qd
