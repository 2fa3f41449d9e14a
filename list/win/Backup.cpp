#include "list/win/Backup.h"

#include <windows.h>

#include <algorithm>
#include <unordered_map>
#include <vector>

#include "toolkit/Exception.h"
#include "toolkit/Text.h"
#include "toolkit/win/Scoped.h"

namespace qd {

using tk::AsciiUpper;

void ExportBackup(const tk::TIniFile& file, ShortcutRows& rows) {
    const int count = rows.RowCount();
    std::vector<std::pair<std::wstring, std::wstring>> writes;
    writes.reserve(static_cast<size_t>(count) * 2 + 1);
    writes.emplace_back(kBackupCountKey, std::to_wstring(count));
    for (int i = 0; i < count; ++i) {
        writes.emplace_back(AliasValueName(i), rows.Alias(i));
        writes.emplace_back(PathValueName(i), rows.Path(i));
    }

    // The section is rewritten whole in one write (a write per key would rewrite the file each
    // time): existing keys keep their place with the new value, new keys follow in order, keys
    // this export does not write stay as they were.
    file.UseUnicode();
    tk::TIniFile::Entries entries = file.ReadSection(kBackupSection);
    std::unordered_map<std::wstring, size_t> position;
    for (size_t i = 0; i < entries.size(); ++i) position.emplace(AsciiUpper(entries[i].first), i);
    for (auto& [key, value] : writes) {
        auto it = position.find(AsciiUpper(key));
        if (it != position.end()) {
            entries[it->second].second = std::move(value);
        } else {
            position.emplace(AsciiUpper(key), entries.size());
            entries.emplace_back(std::move(key), std::move(value));
        }
    }
    file.WriteSection(kBackupSection, entries);
}

int ImportBackup(const tk::TIniFile& file, ShortcutRows& rows,
                 const std::function<void(const std::wstring& alias, const std::wstring& path)>& append) {
    const long long count = file.ReadInteger(kBackupSection, kBackupCountKey, 0);
    if (count <= 0) return 0;
    // The whole section in one read.
    ShortcutIndex present;
    for (int i = 0; i < rows.RowCount(); ++i) present.Add(rows.Alias(i), rows.Path(i));
    const std::vector<ShortcutRow> entries = BackupEntriesToImport(file.ReadSection(kBackupSection), count, std::move(present));
    for (const ShortcutRow& entry : entries) append(entry.Alias, entry.Path);
    return static_cast<int>(entries.size());
}

std::vector<ShortcutRow> ReadBackupRows(const std::wstring& fileName) {
    if (GetFileAttributesW(fileName.c_str()) == INVALID_FILE_ATTRIBUTES)
        throw tk::Exception(tk::FormatText(L"The backup %s is missing", {fileName}));
    // Held open while it is read, without leave to delete it: another program pruning its automatic
    // backups meanwhile cannot take this one away (its delete is refused).
    const tk::ScopedFile hold(CreateFileW(fileName.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    const tk::TUnicodeIniCopy file(fileName);
    return StrictBackupRows(file.File().ReadSection(kBackupSection), fileName);
}

}  // namespace qd
