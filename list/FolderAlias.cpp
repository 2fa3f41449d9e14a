#include "list/FolderAlias.h"

namespace qd {

std::wstring GetFolderAlias(const std::wstring& path) {
    // Searched in the wide text: a double-byte character whose ANSI form holds the byte 0x5C is
    // no backslash and is never split.
    std::wstring result = path;
    std::wstring rest = path;
    bool found = false;
    for (size_t slash; (slash = rest.find(L'\\')) != std::wstring::npos;) {
        found = true;
        rest.erase(0, slash + 1);
    }
    if (found && !rest.empty()) result = rest;
    return result;
}

}  // namespace qd
