#include "list/MenuFilter.h"

#include <cstdint>

#include "list/FindText.h"
#include "list/PinyinInitials.h"

namespace qd {

namespace {

// The letter bit a folded character of the typed text stands for in the pinyin table: a to z,
// also full-width (ａ to ｚ); 0 for any other character.
std::uint32_t LetterBit(wchar_t folded) {
    if (folded >= L'a' && folded <= L'z') return 1u << (folded - L'a');
    if (folded >= 0xFF41 && folded <= 0xFF5A) return 1u << (folded - 0xFF41);
    return 0;
}

bool SameOrInitial(wchar_t aliasChar, wchar_t foldedTyped) {
    if (FoldLetterCase(aliasChar) == foldedTyped) return true;
    return (pinyin::Initials(aliasChar) & LetterBit(foldedTyped)) != 0;
}

}  // namespace

int AliasMatchAt(std::wstring_view alias, std::wstring_view foldedText) {
    if (foldedText.empty()) return 0;
    if (alias.size() < foldedText.size()) return -1;
    const size_t n = foldedText.size();
    const size_t last = alias.size() - n;
    for (size_t i = 0; i <= last; ++i) {
        size_t j = 0;
        while (j < n && SameOrInitial(alias[i + j], foldedText[j])) ++j;
        if (j == n) return static_cast<int>(i);
    }
    return -1;
}

std::vector<int> FilterRows(const std::vector<ShortcutRow>& rows, std::wstring_view text) {
    std::vector<int> first, rest;
    if (text.empty()) {
        first.reserve(rows.size());
        for (size_t i = 0; i < rows.size(); ++i) first.push_back(static_cast<int>(i));
        return first;
    }
    const std::wstring folded = FoldLetterCase(text);
    for (size_t i = 0; i < rows.size(); ++i) {
        const int at = AliasMatchAt(rows[i].Alias, folded);
        if (at == 0) {
            first.push_back(static_cast<int>(i));
        } else if (at > 0 || ContainsFolded(rows[i].Path, folded)) {
            rest.push_back(static_cast<int>(i));
        }
    }
    first.insert(first.end(), rest.begin(), rest.end());
    return first;
}

}  // namespace qd
