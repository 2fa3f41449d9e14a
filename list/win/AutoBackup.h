// The automatic backups: before a command that changes much of the list (sort, import, the
// deletion of missing rows, a restore), the whole list is saved as a backup file of its own into
// the backups folder, named by the date and time and numbered; the newest by number are kept,
// older ones removed. The files are ordinary backup files, so import reads them too.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "list/BackupRotation.h"
#include "list/ShortcutModel.h"

namespace qd {

// The files in folder that may be automatic backups, with when each was last written; none when
// the folder is missing.
std::vector<BackupFileEntry> BackupFolderFiles(const std::wstring& folder);

// Writes the rows as a new automatic backup into folder (made if missing), numbered after every
// backup there, and prunes the older ones (see RotateBackups): never the new one, nor a file named
// in keep (such as the backup being restored; names without folder), nor a file another program is
// reading (its delete is refused and it stays until a later pruning). Returns the new file's full
// name. Raises tk::Exception naming the folder when no backup could be written there (nothing is
// pruned then).
std::wstring WriteAutomaticBackup(const std::wstring& folder, const std::vector<ShortcutRow>& rows,
                                  const std::vector<std::wstring>& keep = {});

struct AutoBackupInfo {
    std::wstring File;  // full name
    BackupStamp Stamp;
    int Rows = -1;  // the entries it states; -1 when it cannot be read
};
// The automatic backups in folder, newest first (by their numbers, see RotateBackups); none when
// the folder is missing.
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
