// The main window's keys: a table of which key (with its modifiers) runs which command of the
// window, and the texts that name the keys in the tool bar's hints and the list's menu. The keys
// act while the list has the focus; each runs what the command's button or menu item runs.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "resources/forms/MainFormDesc.h"
#include "toolkit/win/MenuItem.h"

namespace qd {

struct ListKey {
    tk::TShortCut key;
    desc::MainCommand command;
};

constexpr tk::TShortCut Ctrl(unsigned vk) { return static_cast<tk::TShortCut>(tk::scCtrl | vk); }

// No plain letter or digit is among the keys: typed into the list, those choose the row whose alias
// begins with them.
inline constexpr ListKey kListKeys[] = {
    {VK_INSERT, desc::MainCommand::Add},
    {VK_F2, desc::MainCommand::Edit},
    {VK_DELETE, desc::MainCommand::Delete},
    {Ctrl(VK_UP), desc::MainCommand::ItemUp},
    {Ctrl(VK_DOWN), desc::MainCommand::ItemDown},
    {VK_F5, desc::MainCommand::Refresh},
    {VK_RETURN, desc::MainCommand::OpenFolder},
    {Ctrl('C'), desc::MainCommand::CopyPath},
};

// The command of a key pressed with its modifiers; none when the key is no command.
std::optional<desc::MainCommand> ListKeyCommand(tk::TShortCut key);
// The key of a command, 0 when it has none.
tk::TShortCut CommandKey(desc::MainCommand command);
// A tool bar hint that names the key of the button's command, "Edit the selected folder (F2)"; the
// hint as it is when the command has no key (or the hint is empty and the action's shows).
std::wstring HintWithKey(const std::wstring& hint, desc::MainCommand command);

}  // namespace qd
