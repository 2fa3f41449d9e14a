// The main window's keys on Win32: the key table's keys as virtual-key codes and as the shortcuts
// that name them in the tool bar's hints and the list's menu. The window's one key hook
// (TfrmMain::KeyPressed, ListKeys.cpp) asks the table whether a key counts where it was typed and
// runs its command as the command's button or menu item runs it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "app/KeyTable.h"
#include "toolkit/win/MenuItem.h"

namespace qd {

// The table's chord of a virtual key pressed with the modifiers; none when the key is none of the
// table's.
std::optional<KeyChord> ChordOfKey(unsigned vk, std::uint8_t modifiers);
// The shortcut of a command, as menus show it; 0 when no key runs it.
tk::TShortCut CommandKey(desc::MainCommand command);
// A tool bar hint that names the key of the button's command, "Edit the selected folder (F2)"; the
// hint as it is when the command has no key (or the hint is empty and the action's shows).
std::wstring HintWithKey(const std::wstring& hint, desc::MainCommand command);

}  // namespace qd
