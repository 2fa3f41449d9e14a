// The automatic backups' names and their order. Each backup's name carries the date and time it
// was made (for people) and a number one higher than any other backup's in the folder (for the
// program): the order, newest first, and which backups go when more than the kept number are
// there, follow the numbers, never the dates, so a clock that was once ahead or behind cannot make
// a new backup look old. Backups named before the numbers were given (date and time only) count as
// older than every numbered one, and among themselves go by when their files were last written.
#pragma once

#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qd {

// How many automatic backups are kept.
constexpr size_t kBackupsKept = 20;
// The highest number a backup's name may carry.
constexpr std::uint32_t kMaxBackupSequence = 999999999;

// What a backup's name says: the date and time it was made (local time), and either its number
// (Sequence, from 1) or, in a name from before the numbers, its place among those made in the
// same second (Serial, 1 for the first).
struct BackupStamp {
    int Year = 0, Month = 0, Day = 0, Hour = 0, Minute = 0, Second = 0;
    int Serial = 1;
    std::uint32_t Sequence = 0;  // 0: a name without a number
    auto operator<=>(const BackupStamp&) const = default;
};

// "2026-12-07 213015 #17.pwb" for a numbered stamp; "2026-12-07 213015.pwb" (the second and later
// of one second "-2", "-3", ...) for one without a number.
std::wstring AutoBackupName(const BackupStamp& stamp);
// The stamp of a name AutoBackupName writes (the extension in any letter case); nullopt for any
// other name, so no other file is ever taken for an automatic backup.
std::optional<BackupStamp> ParseAutoBackupName(std::wstring_view name);

// A file in the backups folder: its name (without folder) and when it was last written (any
// clock that grows with time, such as the file system's ticks).
struct BackupFileEntry {
    std::wstring Name;
    std::uint64_t WriteTime = 0;
};

struct BackupRotation {
    std::vector<std::wstring> Order;   // the automatic backups, newest first
    std::vector<std::wstring> Delete;  // those past the kept number, oldest last
};

// Orders the automatic backups among files: by number (higher is newer); equal numbers, and names
// without one, by write time, then by the date and time of the name. Names that are no automatic
// backup are in neither list. The first kept backups stay; the rest are to be deleted, except the
// protected ones (the backup just written, the one being restored), which are never deleted and
// take none of the kept places. Names compare without regard to the letter case of A-Z.
BackupRotation RotateBackups(const std::vector<BackupFileEntry>& files, const std::vector<std::wstring>& protectedNames,
                             size_t kept = kBackupsKept);

// The number for the next backup among the names: one more than the highest there (1 when none
// has a number); 0 when the highest is kMaxBackupSequence already.
std::uint32_t NextBackupSequence(const std::vector<std::wstring>& names);

}  // namespace qd
