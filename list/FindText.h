// Finding rows by a piece of their text, as the find box does: a row matches when its alias or its
// path contains the text typed, letter case ignored. Plain functions without windows, so that tests
// and the benchmark call them directly.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "list/ShortcutModel.h"

namespace qd {

// The form a character is compared in when letter case is ignored: the small letter for a capital
// of the Latin, Greek and Cyrillic alphabets and for a full-width Latin capital; every other
// character (Chinese among them, digits, marks) as it is.
wchar_t FoldLetterCase(wchar_t c);
std::wstring FoldLetterCase(std::wstring_view text);

// True when part occurs in text, letter case ignored. An empty part occurs in every text.
bool ContainsIgnoringCase(std::wstring_view text, std::wstring_view part);
// The same for a part folded already (FoldLetterCase), which a search of many texts folds once.
bool ContainsFolded(std::wstring_view text, std::wstring_view foldedPart);

enum class FindDirection { Forward, Backward };

// The first row whose alias or path contains text (letter case ignored), looking at row start
// first, then on in the direction and round past the end of the list to where it began. A start
// outside the list is taken round it (-1 is the last row). -1 when no row matches or the text is
// empty.
int FindRow(const std::vector<ShortcutRow>& rows, std::wstring_view text, int start, FindDirection direction);

}  // namespace qd
