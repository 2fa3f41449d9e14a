// The list's context menu, built from a table: each row a command of the main window (enabled by
// the command's rule, showing the command's key) or an item with a handler and rule of its own.
#pragma once

#include <optional>

#include <string>

#include "resources/forms/MainFormDesc.h"

namespace qd {

class TfrmMain;

struct ListMenuRow {
    const wchar_t* caption;  // "-": a separator line
    // The window's command the item runs, as its button and key do.
    std::optional<desc::MainCommand> command;
    // Without a command: what the item runs, and when it is enabled (always, when empty).
    void (*run)(TfrmMain&) = nullptr;
    bool (*enabled)(TfrmMain&) = nullptr;
    // The caption as it stands when the menu opens while the item is enabled (empty: caption).
    std::wstring (*label)(TfrmMain&) = nullptr;
};

}  // namespace qd
