// The shortcut list as the folder menu reads it: the store's reading rules (the unbroken run of
// non-empty pairs N<i>/P<i> from index 0) applied to the key, kept between openings and read again
// whenever the registry reports a change of the key since the last reading, so the menu always
// shows what the editor (or anyone) wrote, without reading twenty thousand values at each opening.
// Also the menu's one change of the list: adding the folder the front window shows.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "list/ShortcutModel.h"
#include "list/ShortcutStore.h"
#include "toolkit/win/Scoped.h"

namespace qd::menu {

// A row as the menu shows it: the list's own row type.
using Shortcut = ShortcutRow;

class FolderList {
public:
    FolderList(std::wstring keyPath, AccessorFactory accessors);
    FolderList(const FolderList&) = delete;
    FolderList& operator=(const FolderList&) = delete;

    // The rows the key holds now: read again when the key changed since the last reading (or was
    // never read), else those of the last reading.
    const std::vector<Shortcut>& Rows();
    // The text of the store's error that ended the last reading early (a value of another type),
    // the rows before it kept; empty after a whole reading.
    const std::wstring& Error() const { return error_; }
    // Whether the last call of Rows() read the key (for the benchmark and the tests).
    bool ReadLastTime() const { return readLastTime_; }
    // Forgets the rows: the next Rows() reads the key.
    void Forget() { fresh_ = false; }

    // Posts `message` to `window` when the key changes, so that the owner can read it again before
    // the menu is next wanted (at most once until the next reading).
    void NotifyChanges(HWND window, UINT message);

    const std::wstring& KeyPath() const { return keyPath_; }
    const AccessorFactory& Accessors() const { return accessors_; }

private:
    bool Changed();
    void Watch();
    void Read();
    static void CALLBACK KeyChanged(void* self, BOOLEAN timedOut);

    std::wstring keyPath_;
    AccessorFactory accessors_;
    std::vector<Shortcut> rows_;
    std::wstring error_;
    bool fresh_ = false;
    bool readLastTime_ = false;
    tk::ScopedRegKey watched_;         // the key, opened for change notifications
    tk::ScopedKernelHandle changed_;   // set by the registry when the key changes
    tk::ScopedWait wait_;              // the wait that tells the window
    HWND notifyWindow_ = nullptr;
    UINT notifyMessage_ = 0;
};

// What adding a folder to the list comes to: nothing when a row already holds the same folder
// (by the import's path rule: letter case of A-Z and a trailing backslash do not matter), else a
// new last row with the alias the add command proposes (the folder's name).
struct FolderAddition {
    bool AlreadyThere = false;
    int ExistingRow = -1;
    std::wstring Alias;
};
FolderAddition PlanFolderAddition(const std::vector<Shortcut>& rows, const std::wstring& folder);

// Appends the folder as a new last row of the list in the key, by the store's rules for an
// appended row (N<n>, then P<n>), after reading the list again. Returns what was done. Raises the
// store's registry error when the key refuses the values.
FolderAddition AddFolderToList(FolderList& list, const std::wstring& folder);

}  // namespace qd::menu
