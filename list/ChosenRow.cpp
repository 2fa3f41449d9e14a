#include "list/ChosenRow.h"

#include <cstdlib>

namespace qd {

int FindChosenRowAgain(const std::vector<ShortcutRow>& rows, const ShortcutRow& chosen, int oldIndex) {
    int found = -1;
    for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
        if (!SameShortcut(rows[static_cast<size_t>(i)], chosen)) continue;
        // The rows are visited in order: a later row replaces the one found only when nearer.
        if (found < 0 || std::abs(i - oldIndex) < std::abs(found - oldIndex)) found = i;
        if (i >= oldIndex) break;  // every row further on is further away
    }
    return found;
}

}  // namespace qd
