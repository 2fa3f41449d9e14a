// Whether the rows' folders exist, found out off the menu's thread so that the menu opens at once
// and a folder that does not answer (a network share that is gone) never holds it up. The results
// come back on the menu's thread through its window's message queue.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace qd::menu {

enum class FolderState { Unknown, Exists, Missing };

class FolderChecks {
public:
    virtual ~FolderChecks() = default;
    // Starts checking a new batch of paths; the results of earlier batches are no longer
    // reported. Whenever results are waiting, `message` is posted to the window given at creation
    // (once until they are taken).
    virtual void Start(std::vector<std::wstring> paths) = 0;
    // The results that came in since the last call, each the index of its path in the batch and
    // what was found.
    virtual std::vector<std::pair<int, FolderState>> TakeResults() = 0;
};

std::unique_ptr<FolderChecks> MakeFolderChecks(HWND window, UINT message);

}  // namespace qd::menu
