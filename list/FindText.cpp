#include "list/FindText.h"

#include <cstdint>

namespace qd {

bool ContainsFolded(std::wstring_view text, std::wstring_view part) {
    if (part.empty()) return true;
    if (text.size() < part.size()) return false;
    const wchar_t first = part[0];
    const size_t last = text.size() - part.size();
    for (size_t i = 0; i <= last; ++i) {
        if (FoldLetterCase(text[i]) != first) continue;
        size_t j = 1;
        while (j < part.size() && FoldLetterCase(text[i + j]) == part[j]) ++j;
        if (j == part.size()) return true;
    }
    return false;
}

wchar_t FoldLetterCase(wchar_t c) {
    const auto u = static_cast<std::uint32_t>(c);
    auto to = [](std::uint32_t v) { return static_cast<wchar_t>(v); };
    if (u < 0x80) return u >= 'A' && u <= 'Z' ? to(u + 0x20) : c;
    if (u < 0x100) return u >= 0xC0 && u <= 0xDE && u != 0xD7 ? to(u + 0x20) : c;  // Latin-1, not the sign ×
    if (u < 0x180) {
        // Latin Extended-A: capital and small letter side by side, the capital first, except in
        // the runs from Ĺ to ň and from Ź to ž where the pairs start on odd values; Ÿ pairs with ÿ.
        // The dotted capital İ and the dotless ı have no partner in the other case.
        if (u == 0x178) return to(0xFF);
        if ((u >= 0x100 && u <= 0x12F) || (u >= 0x132 && u <= 0x137) || (u >= 0x14A && u <= 0x177))
            return (u & 1) == 0 ? to(u + 1) : c;
        if ((u >= 0x139 && u <= 0x148) || (u >= 0x179 && u <= 0x17E)) return (u & 1) != 0 ? to(u + 1) : c;
        return c;
    }
    if (u >= 0x370 && u < 0x400) {
        // Greek: capitals with their accented forms, and the final sigma as the sigma.
        if (u >= 0x391 && u <= 0x3AB && u != 0x3A2) return to(u + 0x20);
        if (u == 0x386) return to(0x3AC);
        if (u >= 0x388 && u <= 0x38A) return to(u + 0x25);
        if (u == 0x38C) return to(0x3CC);
        if (u == 0x38E || u == 0x38F) return to(u + 0x3F);
        if (u == 0x3C2) return to(0x3C3);
        return c;
    }
    if (u >= 0x400 && u < 0x430) return u < 0x410 ? to(u + 0x50) : to(u + 0x20);  // Cyrillic
    if (u >= 0xFF21 && u <= 0xFF3A) return to(u + 0x20);                          // full-width Ａ to Ｚ
    return c;
}

std::wstring FoldLetterCase(std::wstring_view text) {
    std::wstring folded(text);
    for (wchar_t& c : folded) c = FoldLetterCase(c);
    return folded;
}

bool ContainsIgnoringCase(std::wstring_view text, std::wstring_view part) {
    return ContainsFolded(text, FoldLetterCase(part));
}

int FindRow(const std::vector<ShortcutRow>& rows, std::wstring_view text, int start, FindDirection direction) {
    const int n = static_cast<int>(rows.size());
    if (n == 0 || text.empty()) return -1;
    const std::wstring part = FoldLetterCase(text);
    int row = ((start % n) + n) % n;
    const int step = direction == FindDirection::Forward ? 1 : n - 1;
    for (int looked = 0; looked < n; ++looked, row = (row + step) % n) {
        const ShortcutRow& r = rows[static_cast<size_t>(row)];
        if (ContainsFolded(r.Alias, part) || ContainsFolded(r.Path, part)) return row;
    }
    return -1;
}

}  // namespace qd
