// Adding folders named by their paths, as a drop from Explorer or a paste brings them: which
// paths become new rows (with the alias the folder picker proposes, the folder's own name), which
// the list holds already (by the backup import's test: the same alias, and the same path but for
// letter case and a trailing backslash) and which name no folder. Also the new order of the rows
// when one is dragged to another place.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "list/FolderAddQueue.h"
#include "list/PathRules.h"
#include "list/ShortcutModel.h"

namespace qd {

struct FolderAddPlan {
    std::vector<ShortcutRow> Add;       // the new rows, in the order of their paths
    std::vector<std::wstring> Skipped;  // the paths of folders the list holds already
    std::vector<std::wstring> Refused;  // the paths that name no folder
    int Choose = -1;                    // the row holding the last folder skipped, or -1
};


// Plans adding the folders at the given paths after the rows, by the verdict on each path (from
// the folder check's answers, see FolderAddVerdictOf): refused paths become no row; a folder
// that could not be checked is added, as a folder that is there is. The rows planned for earlier
// paths count as held already, so a folder named twice is added once.
FolderAddPlan PlanFolderAdds(const std::vector<std::wstring>& paths, const std::vector<ShortcutRow>& rows,
                             const std::function<FolderAddVerdict(const std::wstring&)>& verdictOf);

// The paths a pasted text names, one per line: the blanks around a line, one pair of quotes
// around it (Explorer's "Copy as path" adds them) and backslashes ending it (but a drive's root)
// are left out; lines left empty name nothing.
std::vector<std::wstring> PastedPaths(std::wstring_view text);

// The message naming refused paths: the first few, each cut to a readable length, then how many
// more there are.
std::wstring RefusedFoldersText(const std::vector<std::wstring>& refused);

// The order of the rows after row from has been moved to row to (row k is then the row now at
// order[k]): the rows between move by one toward where it was, as a run of single moves would.
std::vector<int> MovedRowOrder(int count, int from, int to);

}  // namespace qd
