#include "app/ListContextMenu.h"

#include "app/ListKeys.h"
#include "app/Main.h"

namespace qd {

namespace {

using desc::MainCommand;

// The items, top to bottom. A row of its own looks like
//   {L"Caption", {}, [](TfrmMain& f) { f.Something(); }, [](TfrmMain& f) { return f.Model().Count() > 0; }},
constexpr ListMenuRow kListMenu[] = {
    {L"打开文件夹", MainCommand::OpenFolder},
    {L"复制路径", MainCommand::CopyPath},
    {L"编辑", MainCommand::Edit},
    {L"删除", MainCommand::Delete},
    {L"上移", MainCommand::ItemUp},
    {L"下移", MainCommand::ItemDown},
    {L"-"},
    {L"检查路径", {}, [](TfrmMain& f) { f.CheckPaths(); }, [](TfrmMain& f) { return f.Model().Count() > 0; }},
    {L"删除不存在的路径", {}, [](TfrmMain& f) { f.DeleteMissingRows(); }, [](TfrmMain& f) { return f.Model().Count() > 0; }},
    {L"-"},
    // Named after the step they take back or do again: "撤销 删除".
    {L"撤销", MainCommand::Undo, {}, {}, [](TfrmMain& f) { return std::wstring(L"撤销 ") + f.UndoName(); }},
    {L"重做", MainCommand::Redo, {}, {}, [](TfrmMain& f) { return std::wstring(L"重做 ") + f.RedoName(); }},
    {L"恢复以前的列表", {}, [](TfrmMain& f) { f.RestorePreviousList(); }},
};

}  // namespace

void TfrmMain::BuildListMenu() {
    pmList = new TsuiPopupMenu(this);
    pmList->SetName(L"pmList");
    for (const ListMenuRow& row : kListMenu) {
        tk::TMenuItem* item = pmList->Items()->Add(row.caption);
        if (row.command) {
            item->SetShortCut(CommandKey(*row.command));
            // Enter's command, shown bold as the menu's default.
            item->SetDefault(*row.command == MainCommand::OpenFolder);
        }
        item->OnClick = [this, &row](tk::TComponent*) {
            if (row.command) {
                RunCommand(*row.command);
            } else if (row.run) {
                row.run(*this);
            }
        };
    }
    pmList->Loaded();
}

void TfrmMain::lvMainContextPopup(tk::TComponent*, POINT at, bool byKeyboard) {
    // Asked for from the keyboard, the menu opens at the chosen row.
    if (byKeyboard) at = lvMain->ItemMenuPoint(SelectedRowExists() ? FSelIndex : -1);
    for (int i = 0; i < pmList->Items()->Count(); ++i) {
        const ListMenuRow& row = kListMenu[i];
        const bool enabled = row.command ? CommandEnabled(*row.command) : !row.enabled || row.enabled(*this);
        pmList->Items()->Items(i)->SetEnabled(enabled);
        if (row.label) pmList->Items()->Items(i)->SetCaption(enabled ? row.label(*this) : row.caption);
    }
    pmList->Popup(at.x, at.y);
}

}  // namespace qd
