// The backup file: the whole list written to an INI file (section PathWarden: Count, then N<i>
// and P<i> for each row) and merged back without duplicates. The files are UTF-16 so that no
// character of an alias or path is lost; files in the ANSI code page (older backups) read too.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "list/BackupFormat.h"
#include "list/ShortcutModel.h"
#include "list/ShortcutStore.h"
#include "toolkit/win/IniFile.h"

namespace qd {

constexpr wchar_t kExportTitle[] = L"导出别名和路径";
constexpr wchar_t kImportTitle[] = L"导入别名和路径";
constexpr wchar_t kBackupFilter[] = L"Backup files (*.pwb)|*.PWB|All files (*.*)| *.*";
constexpr wchar_t kOverwriteQuestion[] = L" 已经存在，要覆盖它吗？";  // follows the file name
// An import that failed part-way: the error's message, then the number of entries it added.
constexpr wchar_t kImportStopped[] = L"%s\r\nEntries added before the import stopped: %s";

// Writes Count and every row's pair to the file, updating it in place: the keys written replace
// those of the same name, everything else in the file stays.
void ExportBackup(const tk::TIniFile& file, ShortcutRows& rows);

// Reads the file's entries and hands each one the list lacks to append (which adds the row and
// writes it to the store), in file order. Entries with an empty alias or path are skipped, and
// the reading ends where the file has no more pairs, whatever Count says. Returns how many were
// appended.
int ImportBackup(const tk::TIniFile& file, ShortcutRows& rows,
                 const std::function<void(const std::wstring& alias, const std::wstring& path)>& append);

// The whole list a backup file holds, read strictly: Count and every pair below it must be there
// and non-empty, else tk::Exception says the file is damaged (or missing) and names it. Files in
// any encoding the import reads are read.
std::vector<ShortcutRow> ReadBackupRows(const std::wstring& fileName);

}  // namespace qd
