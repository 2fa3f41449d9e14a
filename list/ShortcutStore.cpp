#include "list/ShortcutStore.h"

#include <algorithm>

#include "toolkit/Exception.h"
#include "toolkit/Text.h"

namespace qd {

void OpenedKey::OpenForWriting(const std::wstring& keyPath, bool canCreate) {
    open_ = accessor_.OpenKey(keyPath, canCreate);
    if (!open_) throw tk::ERegistryException(tk::FormatText(L"Failed to open key '%s' for writing", {keyPath}));
}

std::wstring AliasValueName(int index) { return L"N" + std::to_wstring(index); }

std::wstring PathValueName(int index) { return L"P" + std::to_wstring(index); }

void ShortcutStore::WriteRegString(const std::wstring& keyPath, const std::wstring& name, const std::wstring& value) {
    auto accessor = accessors_();
    OpenedKey key(*accessor);
    key.OpenForWriting(keyPath, true);
    accessor->WriteString(name, value);
}

void ShortcutStore::WriteItemRange(const std::wstring& keyPath, int first, int last) {
    WriteItemRange(keyPath, first, last, rows_);
}

void ShortcutStore::WriteItemRange(const std::wstring& keyPath, int first, int last, ShortcutRows& from) {
    const int count = from.RowCount();
    if (first >= count) return;
    auto accessor = accessors_();
    OpenedKey key(*accessor);
    key.OpenForWriting(keyPath, true);
    // A range reaching past the end writes nothing, not a partial range.
    if (last < first || last >= count) return;
    for (int i = first; i <= last; ++i) {
        accessor->WriteString(AliasValueName(i), from.Alias(i));
        accessor->WriteString(PathValueName(i), from.Path(i));
    }
}

PairRange DifferingPairs(ShortcutRows& from, ShortcutRows& to, PairRange within) {
    const int oldCount = from.RowCount(), newCount = to.RowCount();
    const int common = std::min(oldCount, newCount);
    auto same = [&](int i) { return from.Alias(i) == to.Alias(i) && from.Path(i) == to.Path(i); };
    int first = std::clamp(within.First, 0, common);
    const int searchEnd = std::min(common - 1, within.Last);
    while (first <= searchEnd && same(first)) ++first;
    if (newCount > oldCount) return {first, newCount - 1};
    if (first > searchEnd && newCount == oldCount) return {first, first - 1};
    // Only rows that keep their index can be equal at the end.
    int last = newCount == oldCount ? searchEnd : common - 1;
    while (last >= first && same(last)) --last;
    return {first, last};
}

void ShortcutStore::RewriteRows(const std::wstring& keyPath, ShortcutRows& from, ShortcutRows& to, PairRange within) {
    const int oldCount = from.RowCount(), newCount = to.RowCount();
    const PairRange write = DifferingPairs(from, to, within);
    if (write.Last < write.First && newCount >= oldCount) return;
    auto accessor = accessors_();
    OpenedKey key(*accessor);
    key.OpenForWriting(keyPath, true);
    auto writePair = [&](int i) {
        accessor->WriteString(AliasValueName(i), to.Alias(i));
        accessor->WriteString(PathValueName(i), to.Path(i));
    };
    if (newCount > oldCount) {
        for (int i = write.Last; i >= write.First; --i) writePair(i);
    } else {
        for (int i = write.First; i <= write.Last; ++i) writePair(i);
    }
    for (int i = newCount; i < oldCount; ++i) {
        accessor->DeleteValue(AliasValueName(i));
        accessor->DeleteValue(PathValueName(i));
    }
}

void ShortcutStore::DeleteItemValues(const std::wstring& keyPath, int index) {
    auto accessor = accessors_();
    // A key that is not there holds no values: the deletion has nothing to do.
    if (!accessor->KeyExists(keyPath)) return;
    OpenedKey key(*accessor);
    key.OpenForWriting(keyPath, false);
    accessor->DeleteValue(AliasValueName(index));
    accessor->DeleteValue(PathValueName(index));
}

void ShortcutStore::LoadItems(const std::wstring& keyPath) { LoadItems(keyPath, rows_); }

void ShortcutStore::LoadItems(const std::wstring& keyPath, ShortcutRows& into) {
    auto accessor = accessors_();
    OpenedKey key(*accessor);
    if (!key.OpenForReading(keyPath)) return;
    for (int i = 0;; ++i) {
        const std::wstring alias = accessor->ReadString(AliasValueName(i));
        const std::wstring path = accessor->ReadString(PathValueName(i));
        if (alias.empty() || path.empty()) break;
        into.AppendRow(alias, path);
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
        if (key.OpenForReading(keyPath)) stored = accessor->ReadString(L"Setting");
    }
    if (stored.empty() || stored != exePath) WriteRegString(keyPath, L"Setting", exePath);
}

void ShortcutStore::WriteList(const std::wstring& keyPath, ShortcutRows& rows) {
    const int count = rows.RowCount();
    // How far pairs reach past the list's end, read before the key is opened for writing (which
    // may not allow reading).
    int end = count;
    {
        auto accessor = accessors_();
        OpenedKey key(*accessor);
        if (key.OpenForReading(keyPath))
            while (!accessor->ReadString(AliasValueName(end)).empty() || !accessor->ReadString(PathValueName(end)).empty())
                ++end;
    }
    auto accessor = accessors_();
    OpenedKey key(*accessor);
    key.OpenForWriting(keyPath, true);
    for (int i = 0; i < count; ++i) {
        accessor->WriteString(AliasValueName(i), rows.Alias(i));
        accessor->WriteString(PathValueName(i), rows.Path(i));
    }
    for (int i = count; i < end; ++i) {
        accessor->DeleteValue(AliasValueName(i));
        accessor->DeleteValue(PathValueName(i));
    }
}

std::wstring ShortcutStore::ReadValue(const std::wstring& keyPath, const std::wstring& name) {
    auto accessor = accessors_();
    OpenedKey key(*accessor);
    if (!key.OpenForReading(keyPath)) return {};
    return accessor->ReadString(name);
}

void ShortcutStore::DeleteValue(const std::wstring& keyPath, const std::wstring& name) {
    auto accessor = accessors_();
    if (!accessor->KeyExists(keyPath)) return;
    OpenedKey key(*accessor);
    key.OpenForWriting(keyPath, false);
    accessor->DeleteValue(name);
}

void ShortcutStore::Flush(const std::wstring& keyPath) {
    // The system flushes a key opened for reading (it asks for the right to query values, which a
    // key opened for writing alone lacks).
    auto accessor = accessors_();
    OpenedKey key(*accessor);
    if (key.OpenForReading(keyPath)) accessor->Flush();
}

}  // namespace qd
