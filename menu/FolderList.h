// The shortcut list as the folder menu reads it: the store's reading rules (the unbroken run of
// non-empty pairs N<i>/P<i> from index 0) applied to the key, kept between openings and read again
// whenever the registry reports a change of the key since the last reading, so the menu always
// shows what the editor (or anyone) wrote, without reading twenty thousand values at each opening.
// Also the menu's one change of the list: adding the folder the front window shows.
//
// The key is read through the list's writer, under its lock, so the menu never shows half of
// another program's write. The lock is waited for only briefly when a reading is at hand: while
// another program writes (a sort of ten thousand rows takes a while), the menu shows the last
// whole reading at once and reads again at its next opening. (A count of changes compared before
// and after an unlocked reading would miss a write that has set a row's alias but not yet its
// path and count; the lock cannot miss it.)
#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "list/ShortcutModel.h"
#include "list/ShortcutStore.h"
#include "toolkit/win/Scoped.h"
#include "list/win/ListWriter.h"
#include "toolkit/win/RegistryWatch.h"

namespace qd::menu {

// A row as the menu shows it: the list's own row type.
using Shortcut = ShortcutRow;

class FolderList {
public:
    FolderList(std::wstring keyPath, AccessorFactory accessors);
    // The writer's settings give the key, the store and where recovery files go.
    explicit FolderList(WriterSettings writer);
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
    // What the writer's recovery check found at a reading since the last call (a cut-off change of
    // another program put back, say), for the user once; "" when nothing.
    std::wstring TakeRecoveryNotice() { return std::exchange(recoveryNotice_, {}); }
    // How long a reading waits for another program's write when an earlier reading is at hand.
    static constexpr unsigned kBusyWaitMs = 250;

    // Posts `message` to `window` when the key changes, so that the owner can read it again before
    // the menu is next wanted (at most once until the next reading).
    void NotifyChanges(HWND window, UINT message);

    const std::wstring& KeyPath() const { return writer_.KeyPath; }
    const AccessorFactory& Accessors() const { return writer_.Accessors; }
    const WriterSettings& Writer() const { return writer_; }

private:
    bool Read(unsigned timeoutMs);

    WriterSettings writer_;
    std::vector<Shortcut> rows_;
    std::wstring error_;
    std::wstring recoveryNotice_;
    bool fresh_ = false;
    bool everRead_ = false;
    bool readLastTime_ = false;
    tk::TRegistryWatch watch_;
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

// Appends the folder as a new last row of the list in the key through the list's writer, decided
// on the list as the key holds it under the writer's lock (no row may hold the folder already).
// Returns what was done. Raises the store's registry error when the key refuses the values, and
// EListBusy when another program's write did not end in time.
FolderAddition AddFolderToList(FolderList& list, const std::wstring& folder);

}  // namespace qd::menu
