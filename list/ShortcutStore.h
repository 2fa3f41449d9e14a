// The shortcut store: the list kept as value pairs N<i>/P<i> under one registry key, and the
// executable's path in the value Setting. The list is the unbroken run of pairs from index 0 whose
// alias and path are both non-empty. Every operation opens its own accessor, does its one job and
// closes it, so the logic works against any key-value store with these few operations.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace qd {

// One key at a time, opened by path, for reading or for writing; the registry is the real
// implementation. A key the user may read but not write opens for reading only.
class KeyValueAccessor {
public:
    virtual ~KeyValueAccessor() = default;
    virtual bool KeyExists(const std::wstring& keyPath) = 0;
    // Opens the key for reading; never creates it. False when it cannot be opened.
    virtual bool OpenKeyReadOnly(const std::wstring& keyPath) = 0;
    // Opens the key for writing, creating it when canCreate. False when it cannot be opened.
    virtual bool OpenKey(const std::wstring& keyPath, bool canCreate) = 0;
    // Absent or empty values read as ""; a value of a non-string type throws.
    virtual std::wstring ReadString(const std::wstring& name) = 0;
    // Throws when the value cannot be written.
    virtual void WriteString(const std::wstring& name, const std::wstring& text) = 0;
    // Throws when the value is still there afterwards; an absent value is no error.
    virtual void DeleteValue(const std::wstring& name) = 0;
    // Waits until the open key's changes are on the disk (the key opened for reading); throws
    // when that fails. Stores that keep nothing on a disk have nothing to do.
    virtual void Flush() {}
    // The names of the open key's values (the key opened for reading); nullopt when the store
    // cannot list them, so callers look for the values they know of instead.
    virtual std::optional<std::vector<std::wstring>> ValueNames() { return std::nullopt; }
    // How many values the open key holds (opened for reading); nullopt when the store cannot say.
    virtual std::optional<size_t> ValueCount() { return std::nullopt; }
    virtual void CloseKey() = 0;
};

using AccessorFactory = std::function<std::unique_ptr<KeyValueAccessor>()>;

// Closes the key on every path out of an operation, exceptions included.
class OpenedKey {
public:
    explicit OpenedKey(KeyValueAccessor& accessor) : accessor_(accessor) {}
    ~OpenedKey() {
        if (open_) accessor_.CloseKey();
    }
    OpenedKey(const OpenedKey&) = delete;
    OpenedKey& operator=(const OpenedKey&) = delete;
    bool OpenForReading(const std::wstring& keyPath) { return open_ = accessor_.OpenKeyReadOnly(keyPath); }
    // A key that will not open for a change is an error, as a refused write is
    // ("Failed to open key '<key>' for writing").
    void OpenForWriting(const std::wstring& keyPath, bool canCreate);

private:
    KeyValueAccessor& accessor_;
    bool open_ = false;
};

// Pairs First..Last (Last < First: none) of a list that differ from another list's.
struct PairRange {
    int First = 0;
    int Last = -1;
};

// The rows the store mirrors: the main window's shortcut model.
class ShortcutRows {
public:
    virtual ~ShortcutRows() = default;
    virtual int RowCount() = 0;
    virtual std::wstring Alias(int row) = 0;
    virtual std::wstring Path(int row) = 0;
    virtual void AppendRow(const std::wstring& alias, const std::wstring& path) = 0;
};

// The rows a comparison looks at: all of them unless the caller knows better.
constexpr PairRange kAllPairs{0, 0x7FFFFFFF};

// The pairs of `to` that differ from those of `from` at the same index, from the first to the last
// (pairs of `to` past the end of `from` all count). Only the pairs within `within` are compared:
// the caller knows the others are equal, which for lists of different length can be only those
// in front of within.First.
PairRange DifferingPairs(ShortcutRows& from, ShortcutRows& to, PairRange within = kAllPairs);

constexpr wchar_t kStoreKeyPath[] = L"Software\\Quiverdir";
constexpr wchar_t kSeedWindowsAlias[] = L"Windows安装目录";
constexpr wchar_t kSeedDriveAlias[] = L"C:\\";
constexpr wchar_t kSeedDrivePath[] = L"C:\\";

std::wstring AliasValueName(int index);  // "N" + index
std::wstring PathValueName(int index);   // "P" + index

class ShortcutStore {
public:
    ShortcutStore(AccessorFactory accessors, ShortcutRows& rows)
        : accessors_(std::move(accessors)), rows_(rows) {}

    // The writing operations raise ERegistryException naming the key when it cannot be opened
    // for writing ("Failed to open key '<key>' for writing"), and naming the value when a write
    // is refused; what was written before the failure stays.

    // Writes one value, creating the key if needed.
    void WriteRegString(const std::wstring& keyPath, const std::wstring& name, const std::wstring& value);
    // Rewrites rows first..last from the list (or from the given rows); nothing at all when last
    // lies past the end.
    void WriteItemRange(const std::wstring& keyPath, int first, int last);
    void WriteItemRange(const std::wstring& keyPath, int first, int last, ShortcutRows& from);
    // Takes the key from the list `from`, which it holds, to the list `to` in one opening of the
    // key: writes the pairs from the first row that differs to the last (rows equal at both ends,
    // compared by position, are left alone), then deletes the pairs past the new end, N before P,
    // from the front, so the first deletion already ends the list. A list that grows is written
    // from its end backwards and one that does not from the front: a row inserted or removed that
    // fails part-way leaves a row twice in the key, never a row lost.
    // `within` as for DifferingPairs.
    void RewriteRows(const std::wstring& keyPath, ShortcutRows& from, ShortcutRows& to, PairRange within = kAllPairs);
    // Deletes N<index>, then P<index>. A key that does not exist holds nothing to delete.
    void DeleteItemValues(const std::wstring& keyPath, int index);
    // Appends the stored rows to the list (without clearing it first). Reads only: a key the
    // user may not write loads too; a key that will not open adds nothing.
    void LoadItems(const std::wstring& keyPath);
    void LoadItems(const std::wstring& keyPath, ShortcutRows& into);
    // First run: when the key does not exist, writes the two seed shortcuts.
    void SeedStore(const std::wstring& keyPath, const std::wstring& windowsDirectory);
    // Writes the executable's path to Setting unless it holds exactly that text already.
    void RecordExePath(const std::wstring& keyPath, const std::wstring& exePath);

    // Makes the key hold exactly the given list: every pair of it, in one opening of the key, then
    // the pairs past its end deleted, up to the first index where neither value holds text.
    void WriteList(const std::wstring& keyPath, ShortcutRows& rows);
    // One value's text; "" when it or the key is absent.
    std::wstring ReadValue(const std::wstring& keyPath, const std::wstring& name);
    // Deletes one value; a key that does not exist holds nothing to delete.
    void DeleteValue(const std::wstring& keyPath, const std::wstring& name);
    // Waits until what was written to the key is on the disk; a key that will not open has
    // nothing to flush.
    void Flush(const std::wstring& keyPath);

private:
    AccessorFactory accessors_;
    ShortcutRows& rows_;
};

}  // namespace qd
