// The main window's commands by name, for the keys and the list's menu: each runs through the tool
// bar's own button or action (update rule first), so a key, a button and a menu item cannot differ.
// Also the two commands of the list that have no button: open the chosen row's folder and copy its
// path.
#include "app/Main.h"

#include "app/FindBox.h"
#include "app/Global.h"
#include "app/OpenFolder.h"
#include "toolkit/win/Application.h"
#include "toolkit/win/Clipboard.h"

namespace qd {

using desc::MainCommand;

tk::TAction* TfrmMain::ActionOf(MainCommand command) const {
    switch (command) {
    case MainCommand::Edit: return aEdit;
    case MainCommand::Delete: return aDelete;
    case MainCommand::ItemUp: return aItemUp;
    case MainCommand::ItemDown: return aItemDown;
    case MainCommand::Sort: return aSort;
    case MainCommand::OpenFolder: return aOpenFolder;
    case MainCommand::CopyPath: return aCopyPath;
    default: return nullptr;
    }
}

tk::TToolButton* TfrmMain::ButtonOf(MainCommand command) {
    for (const desc::ToolButtonDesc& d : desc::kMainToolButtons)
        if (d.command == command && command != MainCommand::Separator)
            return dynamic_cast<tk::TToolButton*>(FindComponent(d.name));
    return nullptr;
}

void TfrmMain::RunCommand(MainCommand command) {
    if (tk::TToolButton* button = ButtonOf(command)) {
        button->Click();
    } else if (tk::TAction* action = ActionOf(command)) {
        action->Execute();
    } else {
        switch (command) {
        case MainCommand::Paste: PasteFolders(); break;
        case MainCommand::Undo: Undo(); break;
        case MainCommand::Redo: Redo(); break;
        case MainCommand::Find: findBox_->Open(); break;
        case MainCommand::FindNext: findBox_->FindNext(); break;
        case MainCommand::FindPrevious: findBox_->FindPrevious(); break;
        case MainCommand::CloseFind: findBox_->Close(); break;
        case MainCommand::SystemMenu: suiForm1->PopupSystemMenu(); break;
        default: break;
        }
    }
}

bool TfrmMain::CommandEnabled(MainCommand command) {
    if (tk::TAction* action = ActionOf(command)) {
        action->Update();
        return action->Enabled();
    }
    if (command == MainCommand::Undo) return CanUndo();
    if (command == MainCommand::Redo) return CanRedo();
    // The plain buttons are always enabled.
    return ButtonOf(command) != nullptr;
}

void TfrmMain::aOpenFolderExecute(tk::TComponent*) {
    if (!SelectedRowExists()) return;
    const ShellFolderRunner& run = settings_.FolderRunner ? settings_.FolderRunner : RunShellOnFolder;
    OpenFolder(Handle(), model_.Row(FSelIndex).Path, AppOptions.ExploreFolder, run);
}

void TfrmMain::aCopyPathExecute(tk::TComponent*) {
    if (!SelectedRowExists()) return;
    const std::wstring& path = model_.Row(FSelIndex).Path;
    if (!tk::SetClipboardText(Handle(), path))
        tk::Application().ShowMessageBox(path + L"\r\n" + kPathNotCopied, kMessageCaption, MB_OK | MB_ICONWARNING);
}

}  // namespace qd
