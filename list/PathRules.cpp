#include "list/PathRules.h"

#include "toolkit/Text.h"

namespace qd {

namespace {

bool IsSlash(wchar_t c) { return c == L'\\' || c == L'/'; }

bool IsDriveLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }

}  // namespace

bool IsFullPath(std::wstring_view path) {
    const bool drive = path.size() >= 3 && IsDriveLetter(path[0]) && path[1] == L':' && IsSlash(path[2]);
    const bool share = path.size() >= 3 && IsSlash(path[0]) && IsSlash(path[1]) && !IsSlash(path[2]);
    return drive || share;
}

std::wstring SameFolderKey(std::wstring_view path) {
    std::wstring key = tk::AsciiUpper(path);
    if (key.empty() || key.back() != L'\\') key += L'\\';
    return key;
}

std::wstring ShortcutKey(std::wstring_view alias, std::wstring_view path) {
    std::wstring key(alias);
    key += L'\0';  // no alias holds a zero, so the two parts cannot run into each other
    key += SameFolderKey(path);
    return key;
}

}  // namespace qd
