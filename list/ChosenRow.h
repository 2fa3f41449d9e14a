// The chosen row of the list named by what it holds, so that it can be found again after the
// list was replaced as a whole (a reload, a restore, the key read back after a refused write).
// Platform-free.
#pragma once

#include <vector>

#include "list/ShortcutModel.h"

namespace qd {

// Where the row that stood at oldIndex holding chosen's alias and path stands in rows: of the
// rows holding the same alias and path, the one nearest to oldIndex (the earlier one when two are
// as near); -1 when no row holds them.
int FindChosenRowAgain(const std::vector<ShortcutRow>& rows, const ShortcutRow& chosen, int oldIndex);

}  // namespace qd
