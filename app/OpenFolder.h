// Opening a favourite's folder in a new Explorer window through the shell. Only an existing folder
// ever reaches the shell: a path naming a program, a script, a document or a web address would be
// started or opened by it, so such a path is refused with a message that names it.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace qd {

// The verb the shell is asked with: "explore" shows the folder with the folder tree.
const wchar_t* OpenFolderVerb(bool explore);

// Hands a folder to the shell with a verb; true when the shell took it. Tests replace it to see
// what would have been started.
using ShellFolderRunner = std::function<bool(HWND owner, const wchar_t* verb, const std::wstring& folder)>;
bool RunShellOnFolder(HWND owner, const wchar_t* verb, const std::wstring& folder);

// Opens path in a new Explorer window ("explore" when explore, else "open"). A path that is not an
// existing folder gets a message box naming it and is never handed to the shell; a shell that
// refuses the folder gets a message box too. True when the folder was handed over and taken.
bool OpenFolder(HWND owner, const std::wstring& path, bool explore,
                const ShellFolderRunner& run = RunShellOnFolder);

}  // namespace qd
