#include "menu/FolderList.h"

#include "list/win/Backup.h"
#include "list/FolderAlias.h"
#include "toolkit/Exception.h"

namespace qd::menu {

namespace {

WriterSettings WriterFor(std::wstring keyPath, AccessorFactory accessors) {
    WriterSettings writer = WriterSettings::ForThisProgram();
    writer.KeyPath = std::move(keyPath);
    writer.Accessors = std::move(accessors);
    return writer;
}

}  // namespace

FolderList::FolderList(std::wstring keyPath, AccessorFactory accessors)
    : FolderList(WriterFor(std::move(keyPath), std::move(accessors))) {}

FolderList::FolderList(WriterSettings writer) : writer_(std::move(writer)), watch_(writer_.KeyPath) {}

void FolderList::NotifyChanges(HWND window, UINT message) { watch_.PostOnChange(window, message); }

bool FolderList::Read(unsigned timeoutMs) {
    WriterSettings settings = writer_;
    settings.LockTimeoutMs = timeoutMs;
    ListWriter writer(settings);
    StoredList list;
    try {
        list = writer.Read();
    } catch (const EListBusy&) {
        return false;
    } catch (const tk::Exception& e) {
        // The lock could not be made: as a value that ends the reading, said in the menu.
        rows_.clear();
        error_ = e.Message();
        return true;
    }
    if (const std::wstring notice = RecoveryMessage(writer.LastRecovery()); !notice.empty()) recoveryNotice_ = notice;
    rows_.clear();
    rows_.reserve(list.Rows.size());
    for (ShortcutRow& row : list.Rows) rows_.push_back({std::move(row.Alias), std::move(row.Path)});
    // As in the editor: the rows before a bad value stay, the rest of the list is not read.
    error_ = std::move(list.Error);
    return true;
}

const std::vector<Shortcut>& FolderList::Rows() {
    readLastTime_ = false;
    // A key that could not be watched (it did not exist, say) is read every time. The watch is
    // armed before the reading: a change made while the rows are read is reported too, and the
    // next opening reads again.
    if (fresh_ && !watch_.Changed()) return rows_;
    watch_.Arm();
    // With a whole reading at hand another program's long write is not waited for: that reading
    // is shown and the next opening reads again. Without one, the writer's full limit applies.
    if (!Read(everRead_ ? kBusyWaitMs : writer_.LockTimeoutMs)) {
        fresh_ = false;
        return rows_;
    }
    everRead_ = true;
    fresh_ = true;
    readLastTime_ = true;
    return rows_;
}

FolderAddition PlanFolderAddition(const std::vector<Shortcut>& rows, const std::wstring& folder) {
    const std::wstring key = SameFolderKey(folder);
    for (size_t i = 0; i < rows.size(); ++i)
        if (SameFolderKey(rows[i].Path) == key) return {true, static_cast<int>(i), rows[i].Alias};
    return {false, -1, GetFolderAlias(folder)};
}

FolderAddition AddFolderToList(FolderList& list, const std::wstring& folder) {
    FolderAddition plan;
    ListWriter writer(list.Writer());
    writer.Apply([&](const std::vector<ShortcutRow>& current) {
        std::vector<Shortcut> rows;
        rows.reserve(current.size());
        for (const ShortcutRow& row : current) rows.push_back({row.Alias, row.Path});
        plan = PlanFolderAddition(rows, folder);
        std::vector<ShortcutRow> next = current;
        if (!plan.AlreadyThere) next.push_back({plan.Alias, folder});
        return next;
    });
    list.Forget();
    return plan;
}

}  // namespace qd::menu
