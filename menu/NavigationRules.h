// The rules of taking the user to a folder, as plain functions: what kind of window is in front
// (from its class and its controls), the text that takes a file dialog to a folder, and how the
// answers read out of other programs are checked before they are believed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "list/PathRules.h"

namespace qd::menu {

// Control identifiers of the common file dialogs.
constexpr int kFileNameCombo = 0x47C;  // the file name field of the Explorer-style dialogs (cmb13)
constexpr int kFileNameEdit = 0x480;   // the file name field of the old and the newer dialogs (edt1)
constexpr int kFileTypeList = 0x470;   // the list of file types (cmb1)
constexpr int kLookInList = 0x471;     // the folder list above the files of the older dialogs (cmb2)
constexpr int kOldFileList = 0x460;    // the list box of files of the oldest dialogs (lst1)
// The folder tree of the shell's browse-for-folder dialog (SHBrowseForFolder).
constexpr int kBrowseFolderTree = 0x3741;

// What can be seen of a window from outside.
struct WindowFacts {
    std::wstring className;
    bool enabled = true;
    bool nameField = false;       // a file name field (kFileNameCombo or kFileNameEdit)
    bool lookInList = false;      // a kLookInList child: the dialogs of the common dialog library before Vista
    bool fileTypesShown = false;  // a visible kFileTypeList
    // The files it lists: the shell's view of a folder ("SHELLDLL_DefView", in every dialog since
    // the Explorer-style ones) or the oldest dialogs' list box of files (kOldFileList).
    bool filesListed = false;
    bool passwordField = false;  // the name field is a password field (ES_PASSWORD)
    bool askingThread = false;   // it belongs to the thread that asks: one of the menu's own windows
    // The folder tree of the shell's browse-for-folder dialog: a tree view (SysTreeView32) numbered
    // kBrowseFolderTree, or the newer dialog's, inside its "SHBrowseForFolder ShellNameSpace Control".
    bool folderTree = false;
};
enum class FrontKind {
    // An Open or Save dialog: taken to a folder through its file name field.
    FileDialog,
    // A newer dialog that shows no file types: it may pick folders, where OK would choose the
    // folder typed and close; its folder may be read, its OK is never pressed.
    UncertainDialog,
    ExplorerWindow,
    // The shell's browse-for-folder dialog: its tree is moved to the folder and nothing pressed.
    FolderTree,
    // A console window: its shell is taken there when it waits at its prompt (ConsoleSwitch).
    Console,
    Other,
};

// Other programs' dialogs may use the file dialogs' control numbers for anything: a dialog is taken
// for a file dialog only when it also lists files, and never when the field is a password field
// (a text written there, and the empty text put back, would wipe what the user typed) or the
// window is the menu's own. A browse-for-folder dialog has the folder tree and neither a name field
// nor a list of files.
FrontKind KindOf(const WindowFacts& facts);
// Explorer's folder windows: "CabinetWClass", "ExploreWClass" (the explore verb's on older
// systems) and Wine's "ExplorerWClass".
bool IsExplorerClass(std::wstring_view className);
// Console windows: "ConsoleWindowClass" (Windows' console host) and Wine's "WineConsoleClass".
bool IsConsoleClass(std::wstring_view className);

// The text that takes a file dialog to the folder when typed into its name field and confirmed:
// the absolute path (drive or network share) with one closing backslash. Empty for a text the
// dialog could take as something else: relative, with wildcards or quotes (a filter, a list of
// files), with control characters.
std::wstring DialogFolderText(const std::wstring& folder);

// Whether a folder a dialog reports is the one asked for: the list's own rule.
using qd::SameFolder;

// The text a dialog wrote into a buffer in answer to a request for its folder, given the length it
// said (in characters, its terminator included). A UTF-16 text must end exactly where the length
// says; otherwise the answer is read as a text in the ANSI code page up to its first zero byte
// (an ANSI dialog may count characters or bytes). Either terminator must lie inside the buffer:
// a text without one was cut and is refused.
bool TextFromAnswer(const std::vector<std::uint8_t>& buffer, long long length, std::wstring& text);

// Reads count bytes at offset into out; false when they cannot be read.
using ByteReader = std::function<bool(std::size_t offset, void* out, std::size_t count)>;
// The size in bytes of an item id list (its two-byte terminator included), read piece by piece:
// each item starts with its own size. 0 when the list is not well formed within limit bytes: an
// item shorter than its size field, a list that runs past the limit or cannot be read.
std::size_t ItemIdListSize(const ByteReader& read, std::size_t limit);

}  // namespace qd::menu
