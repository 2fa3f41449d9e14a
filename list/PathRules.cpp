#include "list/PathRules.h"

#include "toolkit/Text.h"

namespace qd {

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
