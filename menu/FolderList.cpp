#include "menu/FolderList.h"

#include "list/win/Backup.h"
#include "list/FolderAlias.h"
#include "toolkit/Exception.h"

namespace qd::menu {

FolderList::FolderList(std::wstring keyPath, AccessorFactory accessors)
    : keyPath_(std::move(keyPath)), accessors_(std::move(accessors)),
      changed_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

void CALLBACK FolderList::KeyChanged(void* self, BOOLEAN) {
    auto* list = static_cast<FolderList*>(self);
    PostMessageW(list->notifyWindow_, list->notifyMessage_, 0, 0);
}

void FolderList::NotifyChanges(HWND window, UINT message) {
    notifyWindow_ = window;
    notifyMessage_ = message;
}

bool FolderList::Changed() {
    // A key that could not be watched (it did not exist, say) is read every time.
    if (!watched_ || !changed_) return true;
    return WaitForSingleObject(changed_.get(), 0) == WAIT_OBJECT_0;
}

void FolderList::Watch() {
    // Armed before the reading: a change made while the rows are read is reported too, and the
    // next opening reads again.
    wait_.reset();
    if (!changed_) return;
    ResetEvent(changed_.get());
    HKEY key = nullptr;
    if (!watched_ && RegOpenKeyExW(HKEY_CURRENT_USER, keyPath_.c_str(), 0, KEY_NOTIFY, &key) == ERROR_SUCCESS)
        watched_.reset(key);
    if (!watched_) return;
    const LONG armed = RegNotifyChangeKeyValue(watched_.get(), FALSE, REG_NOTIFY_CHANGE_NAME | REG_NOTIFY_CHANGE_LAST_SET,
                                               changed_.get(), TRUE);
    if (armed != ERROR_SUCCESS) {
        // The key went (it was deleted): watch it again once it is back.
        watched_.reset();
        return;
    }
    HANDLE wait = nullptr;
    if (notifyWindow_ && RegisterWaitForSingleObject(&wait, changed_.get(), &FolderList::KeyChanged, this, INFINITE,
                                                     WT_EXECUTEONLYONCE))
        wait_.reset(wait);
}

void FolderList::Read() {
    rows_.clear();
    error_.clear();
    RowsInto into(rows_);
    ShortcutStore store(accessors_, into);
    try {
        store.LoadItems(keyPath_, into);
    } catch (const tk::Exception& e) {
        // As in the editor: the rows before the bad value stay, the rest of the list is not read.
        error_ = e.Message();
    }
}

const std::vector<Shortcut>& FolderList::Rows() {
    readLastTime_ = false;
    if (fresh_ && !Changed()) return rows_;
    Watch();
    Read();
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
    // The list as the key holds it this moment: the new row goes after its last row.
    list.Forget();
    std::vector<Shortcut> rows = list.Rows();
    if (!list.Error().empty()) throw tk::ERegistryException(list.Error());
    const FolderAddition plan = PlanFolderAddition(rows, folder);
    if (plan.AlreadyThere) return plan;
    RowsInto into(rows);
    ShortcutStore store(list.Accessors(), into);
    const int index = static_cast<int>(rows.size());
    store.WriteRegString(list.KeyPath(), AliasValueName(index), plan.Alias);
    store.WriteRegString(list.KeyPath(), PathValueName(index), folder);
    return plan;
}

}  // namespace qd::menu
