// The main window's keys in one table: each key (with its modifiers), the command it runs and where
// it counts. Whether a key counts is decided here alone, from the key and the kind of window that
// has the keyboard; the window maps Win32's key codes and windows to these and runs the command.
// Platform-free: no Win32 here.
#pragma once

#include <cstdint>
#include <optional>

#include "resources/forms/MainFormDesc.h"

namespace qd {

// The keys of the table (the window maps its virtual-key codes to these).
enum class Key : std::uint8_t { Enter, Escape, Space, Insert, Delete, Up, Down, F2, F3, F5, C, F, V, Y, Z };

// Modifier bits of a chord. A chord counts only with exactly its modifiers held.
inline constexpr std::uint8_t kNoModifier = 0, kShift = 1, kCtrl = 2, kAlt = 4;

struct KeyChord {
    Key key;
    std::uint8_t modifiers = kNoModifier;
    bool operator==(const KeyChord&) const = default;
};

// The kind of window a key is typed into.
enum class KeyFocus : std::uint8_t {
    List,          // the shortcut list
    FindBox,       // the find box, an edit box of the window
    EditBox,       // any other edit box of the window
    OtherControl,  // any other window of the main window: the frame, the tool bar, the list's header
    Outside,       // no window of the main window's, or the main window while something modal is in front
};

struct KeyPlace {
    KeyFocus focus;
    bool findBoxOpen = false;
};

// Where a key counts.
enum class KeyRule : std::uint8_t {
    List,          // only in the list: typed elsewhere, the key is that window's own
    NotInEditBox,  // anywhere in the window but an edit box, which undoes its own typing
    Window,        // anywhere in the window, in the find box too and with the find box closed
    FindBox,       // only in the open find box
};

struct KeyEntry {
    KeyChord chord;
    desc::MainCommand command;
    KeyRule rule;
};

// No plain letter or digit is among the keys: typed into the list, those choose the row whose alias
// begins with them. A key listed twice has rules that never hold together. The first entry of a
// command names its key in the tool bar's hints and the list's menu.
inline constexpr KeyEntry kKeyTable[] = {
    {{Key::Insert}, desc::MainCommand::Add, KeyRule::List},
    {{Key::F2}, desc::MainCommand::Edit, KeyRule::List},
    {{Key::Delete}, desc::MainCommand::Delete, KeyRule::List},
    {{Key::Up, kCtrl}, desc::MainCommand::ItemUp, KeyRule::List},
    {{Key::Down, kCtrl}, desc::MainCommand::ItemDown, KeyRule::List},
    {{Key::F5}, desc::MainCommand::Refresh, KeyRule::List},
    {{Key::Enter}, desc::MainCommand::OpenFolder, KeyRule::List},
    {{Key::C, kCtrl}, desc::MainCommand::CopyPath, KeyRule::List},
    {{Key::V, kCtrl}, desc::MainCommand::Paste, KeyRule::List},
    {{Key::Z, kCtrl}, desc::MainCommand::Undo, KeyRule::NotInEditBox},
    {{Key::Y, kCtrl}, desc::MainCommand::Redo, KeyRule::NotInEditBox},
    {{Key::F, kCtrl}, desc::MainCommand::Find, KeyRule::Window},
    {{Key::F3}, desc::MainCommand::FindNext, KeyRule::Window},
    {{Key::F3, kShift}, desc::MainCommand::FindPrevious, KeyRule::Window},
    {{Key::Enter}, desc::MainCommand::FindNext, KeyRule::FindBox},
    {{Key::Enter, kShift}, desc::MainCommand::FindPrevious, KeyRule::FindBox},
    {{Key::Escape}, desc::MainCommand::CloseFind, KeyRule::FindBox},
    // The frame's system menu, at the window's top left corner; Shift changes nothing.
    {{Key::Space, kAlt}, desc::MainCommand::SystemMenu, KeyRule::Window},
    {{Key::Space, kAlt | kShift}, desc::MainCommand::SystemMenu, KeyRule::Window},
};

// Whether a key with this rule counts when typed at place.
bool KeyCounts(KeyRule rule, KeyPlace place);
// The command a key runs when typed at place; none when it is no key of the window there (the
// window typed into then has it).
std::optional<desc::MainCommand> KeyCommand(KeyChord chord, KeyPlace place);
// The key that names a command in hints and menus; none when no key runs it.
std::optional<KeyChord> KeyOfCommand(desc::MainCommand command);

}  // namespace qd
