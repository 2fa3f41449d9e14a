// The folder menu's filter as you type: which rows stay for a typed text, and in which order. A row
// stays when its alias or its path contains the text, letter case folded as the find box folds it
// (FoldLetterCase); an alias also matches where the text gives the pinyin initials of its Chinese
// characters ("bj" in 北京, "gzwj" in 工作文件, and mixed, "gz文件"). Rows whose alias starts with
// the text come first, then the others, each group in list order. Plain functions without windows.
#pragma once

#include <string_view>
#include <vector>

#include "list/ShortcutModel.h"

namespace qd {

// Where the alias matches the folded text first, a character of the text matching a character of
// the alias that folds to it or, for a Chinese character, a Latin letter (also a full-width one)
// that one of its readings starts with. -1 when nowhere; 0 for an empty text.
int AliasMatchAt(std::wstring_view alias, std::wstring_view foldedText);

// The rows (their indices) that stay for text, the best first as described above; every row for an
// empty text.
std::vector<int> FilterRows(const std::vector<ShortcutRow>& rows, std::wstring_view text);

}  // namespace qd
