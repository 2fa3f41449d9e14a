#include "app/ShortcutStore.h"

namespace qd {

namespace {

// Closes the key on every path out of an operation, exceptions included.
class OpenedKey {
public:
    explicit OpenedKey(KeyValueAccessor& accessor) : accessor_(accessor) {}
    ~OpenedKey() {
        if (open_) accessor_.CloseKey();
    }
    bool Open(const std::wstring& keyPath, bool canCreate) { return open_ = accessor_.OpenKey(keyPath, canCreate); }

private:
    KeyValueAccessor& accessor_;
    bool open_ = false;
};

}  // namespace

std::wstring AliasValueName(int index) { return L"N" + std::to_wstring(index); }

std::wstring PathValueName(int index) { return L"P" + std::to_wstring(index); }

void ShortcutStore::WriteRegString(const std::wstring& keyPath, const std::wstring& name, const std::wstring& value) {
    auto accessor = accessors_();
    OpenedKey key(*accessor);
    if (key.Open(keyPath, true)) accessor->WriteString(name, value);
}

void ShortcutStore::WriteItemRange(const std::wstring& keyPath, int first, int last) {
    const int count = rows_.RowCount();
    if (first >= count) return;
    auto accessor = accessors_();
    OpenedKey key(*accessor);
    if (!key.Open(keyPath, true)) return;
    // A range reaching past the end writes nothing, not a partial range.
    if (last < first || last >= count) return;
    for (int i = first; i <= last; ++i) {
        accessor->WriteString(AliasValueName(i), rows_.Alias(i));
        accessor->WriteString(PathValueName(i), rows_.Path(i));
    }
}

void ShortcutStore::DeleteItemValues(const std::wstring& keyPath, int index) {
    auto accessor = accessors_();
    OpenedKey key(*accessor);
    if (!key.Open(keyPath, false)) return;
    accessor->DeleteValue(AliasValueName(index));
    accessor->DeleteValue(PathValueName(index));
}

void ShortcutStore::LoadItems(const std::wstring& keyPath) {
    auto accessor = accessors_();
    OpenedKey key(*accessor);
    if (!key.Open(keyPath, true)) return;
    for (int i = 0;; ++i) {
        const std::wstring alias = accessor->ReadString(AliasValueName(i));
        const std::wstring path = accessor->ReadString(PathValueName(i));
        if (alias.empty() || path.empty()) break;
        rows_.AppendRow(alias, path);
    }
}

void ShortcutStore::SeedStore(const std::wstring& keyPath, const std::wstring& windowsDirectory) {
    {
        auto accessor = accessors_();
        if (accessor->KeyExists(keyPath)) return;
    }
    WriteRegString(keyPath, AliasValueName(0), kSeedWindowsAlias);
    WriteRegString(keyPath, PathValueName(0), windowsDirectory);
    WriteRegString(keyPath, AliasValueName(1), kSeedDriveAlias);
    WriteRegString(keyPath, PathValueName(1), kSeedDrivePath);
}

void ShortcutStore::RecordExePath(const std::wstring& keyPath, const std::wstring& exePath) {
    std::wstring stored;
    {
        auto accessor = accessors_();
        OpenedKey key(*accessor);
        if (key.Open(keyPath, true)) stored = accessor->ReadString(L"Setting");
    }
    if (stored.empty() || stored != exePath) WriteRegString(keyPath, L"Setting", exePath);
}

}  // namespace qd
