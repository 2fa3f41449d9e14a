// The list's context menu, built from a table: each row a command of the main window (enabled by
// the command's rule, showing the command's key) or an item with a handler and rule of its own.
#pragma once

#include <optional>

#include <string>

#include "resources/forms/MainFormDesc.h"
#include "toolkit/win/MenuItem.h"

namespace qd {

class TfrmMain;

struct ListMenuRow {
    const wchar_t* caption;  // "-": a separator line
    // The window's command the item runs, as its button and key do.
    std::optional<desc::MainCommand> command;
    // Without a command: what the item runs, and when it is enabled (always, when empty).
    void (*run)(TfrmMain&) = nullptr;
    bool (*enabled)(TfrmMain&) = nullptr;
    // Without a command: the caption as it stands when the menu opens (empty: caption), and the
    // key shown beside it.
    std::wstring (*label)(TfrmMain&) = nullptr;
    tk::TShortCut key = 0;
};

}  // namespace qd
