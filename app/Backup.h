// The backup file: the whole list written to an INI file (section PathWarden: Count, then N<i>
// and P<i> for each row) and merged back without duplicates. The files are UTF-16 so that no
// character of an alias or path is lost; files in the ANSI code page (older backups) read too.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "app/ShortcutModel.h"
#include "app/ShortcutStore.h"
#include "toolkit/win/IniFile.h"

namespace qd {

constexpr wchar_t kBackupSection[] = L"PathWarden";
constexpr wchar_t kBackupCountKey[] = L"Count";
constexpr wchar_t kExportTitle[] = L"导出别名和路径";
constexpr wchar_t kImportTitle[] = L"导入别名和路径";
constexpr wchar_t kBackupFilter[] = L"Backup files (*.pwb)|*.PWB|All files (*.*)| *.*";
constexpr wchar_t kOverwriteQuestion[] = L" 已经存在，要覆盖它吗？";  // follows the file name
// An import that failed part-way: the error's message, then the number of entries it added.
constexpr wchar_t kImportStopped[] = L"%s\r\nEntries added before the import stopped: %s";

// The name export writes to: the chosen name, with ".pwb" appended unless its extension already
// is PWB in any letter case.
std::wstring BackupFileName(const std::wstring& chosen);

// Two paths name the same folder for the import when these keys are equal: a trailing backslash
// added unless there, the ASCII letters a-z upper-cased, nothing else changed.
std::wstring PathCompareKey(std::wstring_view path);

// The shortcuts a list holds, as the import's duplicate test sees them: the alias exactly, the
// path by its compare key. Lookups take constant time, so long lists and files stay fast.
class ShortcutIndex {
public:
    void Add(std::wstring_view alias, std::wstring_view path);
    bool Contains(std::wstring_view alias, std::wstring_view path) const;

private:
    static std::wstring Key(std::wstring_view alias, std::wstring_view path);
    std::unordered_set<std::wstring> keys_;
};

// Writes Count and every row's pair to the file, updating it in place: the keys written replace
// those of the same name, everything else in the file stays.
void ExportBackup(const tk::TIniFile& file, ShortcutRows& rows);

// Reads the file's entries and hands each one the list lacks to append (which adds the row and
// writes it to the store), in file order. Entries with an empty alias or path are skipped, and
// the reading ends where the file has no more pairs, whatever Count says. Returns how many were
// appended.
int ImportBackup(const tk::TIniFile& file, ShortcutRows& rows,
                 const std::function<void(const std::wstring& alias, const std::wstring& path)>& append);

// A value as a backup line holds it: in quotes when a reader would otherwise change it (blanks
// at either end, which the profile functions trim, or a pair of enclosing quotes, which they
// remove); as it is otherwise.
std::wstring BackupValueText(const std::wstring& value);

// The whole text of a backup file holding the rows: the section header, Count, then N<i> and
// P<i> of every row, each line ended by CR LF. A value holding a line break cannot be written
// to a line: tk::Exception names its row.
std::wstring BackupText(const std::vector<ShortcutRow>& rows);

// Count as a backup written by BackupText states it in its first lines; nullopt when the text
// does not begin that way (another writer's file, which must be read whole).
std::optional<int> CountFromBackupHead(std::wstring_view text);

// The rows of a text as BackupText writes it (a byte order mark before it allowed), read strictly:
// the header, Count, then N<i> and P<i> of every row in order, each non-empty; anything else
// raises tk::Exception saying the backup fileName is damaged and how.
std::vector<ShortcutRow> RowsFromBackupText(std::wstring_view text, const std::wstring& fileName);

// The whole list a backup file holds, read strictly: Count and every pair below it must be there
// and non-empty, else tk::Exception says the file is damaged (or missing) and names it. Files in
// any encoding the import reads are read.
std::vector<ShortcutRow> ReadBackupRows(const std::wstring& fileName);

}  // namespace qd
