#include "app/ListKeys.h"

#include "app/Main.h"

namespace qd {

std::optional<desc::MainCommand> ListKeyCommand(tk::TShortCut key) {
    for (const ListKey& k : kListKeys)
        if (k.key == key) return k.command;
    return std::nullopt;
}

tk::TShortCut CommandKey(desc::MainCommand command) {
    for (const ListKey& k : kListKeys)
        if (k.command == command) return k.key;
    return 0;
}

std::wstring HintWithKey(const std::wstring& hint, desc::MainCommand command) {
    const tk::TShortCut key = CommandKey(command);
    if (hint.empty() || key == 0) return hint;
    return hint + L" (" + tk::ShortCutToText(key) + L")";
}

bool TfrmMain::lvMainKeyDown(tk::TComponent*, tk::TShortCut key) {
    const std::optional<desc::MainCommand> command = ListKeyCommand(key);
    if (!command) return false;
    // A command that cannot run now (no row chosen, the first row moved up) still takes its key.
    RunCommand(*command);
    return true;
}

}  // namespace qd
