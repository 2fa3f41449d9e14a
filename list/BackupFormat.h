// The backup file's text: the whole list as an INI section (PathWarden: Count, then N<i> and P<i>
// for each row), written by the program as one text and read back strictly (a recovery, a restore)
// or leniently (an import). Plain functions over the section's entries; the files themselves are
// read and written through the profile functions in list/win/Backup.h.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <utility>
#include <vector>

#include "list/PathRules.h"
#include "list/ShortcutModel.h"

namespace qd {

constexpr wchar_t kBackupSection[] = L"PathWarden";
constexpr wchar_t kBackupCountKey[] = L"Count";

// The entries of a section, in file order, as the profile functions read them.
using BackupEntries = std::vector<std::pair<std::wstring, std::wstring>>;

// The name export writes to: the chosen name, with ".pwb" appended unless its extension already
// is PWB in any letter case.
std::wstring BackupFileName(const std::wstring& chosen);

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

// A value as the profile functions hand out a single key: one pair of enclosing quotes removed.
std::wstring UnquotedBackupValue(const std::wstring& value);

// The index in a key named letter + decimal index ("N12"), written as the program writes it (no
// sign, no leading zeros, the letter in either case); -1 for any other key.
long long BackupPairIndex(const std::wstring& key, wchar_t letter);

// The whole list a backup section holds, read strictly: Count and every pair below it must be
// there and non-empty, else tk::Exception says the file (named by fileName) is damaged. The work
// and the rows reserved are bounded by the entries, whatever Count claims.
std::vector<ShortcutRow> StrictBackupRows(const BackupEntries& section, const std::wstring& fileName);

// The entries of a section the import takes, in index order: those with both an alias and a path,
// below count, that the list (present) lacks; an entry repeated in the file is taken once. The
// first of repeated keys counts. The work is bounded by the entries, whatever count claims.
std::vector<ShortcutRow> BackupEntriesToImport(const BackupEntries& section, long long count, ShortcutIndex present);

}  // namespace qd
