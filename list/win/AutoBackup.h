// The automatic backups: before a command that changes much of the list (sort, import, the
// deletion of missing rows, a restore), the whole list is saved as a backup file of its own into
// the backups folder, named by the date and time; the newest are kept, older ones removed. The
// files are ordinary backup files, so import reads them too.
#pragma once

#include <compare>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "list/ShortcutModel.h"

namespace qd {

// How many automatic backups are kept.
constexpr size_t kBackupsKept = 20;

// When a backup was made (local time), and its place among those made in the same second (1 for
// the first).
struct BackupStamp {
    int Year = 0, Month = 0, Day = 0, Hour = 0, Minute = 0, Second = 0;
    int Serial = 1;
    auto operator<=>(const BackupStamp&) const = default;
};

// "2026-12-07 213015.pwb"; the second and later backups of one second get "-2", "-3", ...
// before the extension.
std::wstring AutoBackupName(const BackupStamp& stamp);
// The stamp of a file name written by AutoBackupName; nullopt for any other name, so no other
// file is ever taken for an automatic backup.
std::optional<BackupStamp> ParseAutoBackupName(std::wstring_view name);
// The names among names (file names without folder) to delete so that only the newest kept
// automatic backups remain, the one named keep always among them; names that are no automatic
// backup are never chosen.
std::vector<std::wstring> BackupsToPrune(const std::vector<std::wstring>& names, const std::wstring& keep,
                                         size_t kept = kBackupsKept);

// Writes the rows as a new automatic backup into folder (made if missing) and prunes the older
// ones. Returns the new file's full name. Raises tk::Exception naming the folder when no backup
// could be written there (nothing is pruned then).
std::wstring WriteAutomaticBackup(const std::wstring& folder, const std::vector<ShortcutRow>& rows);

struct AutoBackupInfo {
    std::wstring File;  // full name
    BackupStamp Stamp;
    int Rows = -1;  // the entries it states; -1 when it cannot be read
};
// The automatic backups in folder, newest first; none when the folder is missing.
std::vector<AutoBackupInfo> ListAutomaticBackups(const std::wstring& folder);

// Writes the whole text of a backup file in one write, under a temporary name first and then
// moved to its name, flushed to the disk. Raises tk::Exception when it cannot be written.
void WriteBackupFile(const std::wstring& fileName, const std::vector<ShortcutRow>& rows, bool replace);

// Makes the folder and the folders above it; false when it is not there afterwards.
bool MakeFolders(const std::wstring& folder);

// The user's roaming application data folder (%APPDATA%); "" when the system does not say.
std::wstring ApplicationDataFolder();
// Where the program keeps its automatic backups: %APPDATA%\Quiverdir\backups ("" when the
// application data folder is not known).
std::wstring BackupFolderPath();
// The system's folder for temporary files; "" when it does not say.
std::wstring TemporaryFolder();

}  // namespace qd
