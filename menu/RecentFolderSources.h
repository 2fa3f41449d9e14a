// Where the folder menu's recent folders come from and go: its own record, a small file in
// %APPDATA%\Quiverdir (the folders the user went to through the menu), and the shell's Recent
// items (the shortcuts in the user's Recent folder, each read for the folder of its target). The
// switch that turns them off is [FolderMenu] RecentFolders in options.ini.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "menu/RecentFolders.h"

namespace qd::menu {

// The options.ini entry of the switch (section [FolderMenu]); on unless it says 0.
constexpr wchar_t kRecentFoldersEntry[] = L"RecentFolders";
// The shell's Recent items read at most: the newest by the shortcut's file time.
constexpr std::size_t kShellRecentLinksRead = 200;

// %APPDATA%\Quiverdir\RecentFolders.txt ("" when the system names no application data folder).
std::wstring DefaultRecentFoldersFile();
// The system's time now, as the record keeps it.
std::uint64_t FileTimeNow();

// The record in its file: nothing when the file is absent, unreadable or damaged.
std::vector<RecentFolder> ReadRecentFoldersFile(const std::wstring& file);
// Writes the record whole under a temporary name, flushed, and then puts it in the file's place,
// so the file holds the old record or the new one, never a part. Returns why it could not ("" when
// written).
std::wstring WriteRecentFoldersFile(const std::wstring& file, const std::vector<RecentFolder>& record);
// What reading a shortcut gave, by its file name: its file time then and its target's folder ("":
// it could not be read). Reading a shortcut costs about a millisecond under Wine; the listing of
// the folder costs little, so only shortcuts new or changed since the last reading are read.
struct ShellLinkRead {
    std::uint64_t Time = 0;
    std::wstring Folder;
};
using ShellLinkCache = std::unordered_map<std::wstring, ShellLinkRead>;

// The folders of the newest `maxLinks` shortcuts in the folder (the user's Recent folder when
// empty): a shortcut to a folder gives that folder, one to a file its folder; a shortcut that
// cannot be read is skipped. Newest first, with the shortcut's time. The cache keeps what was read
// for the next call (only the shortcuts still among the newest).
std::vector<RecentFolder> ReadShellRecentFolders(const std::wstring& recentFolder, std::size_t maxLinks,
                                                 ShellLinkCache& cache);

// The menu's recent folders: where they are kept, the switch, gathering both sources when the
// menu opens and the record of a visit.
class RecentFolders {
public:
    RecentFolders(std::wstring optionsFile, std::wstring recordFile, std::wstring shellRecentFolder);

    bool Enabled() const;
    // Writes the switch (throws what the INI file throws when it cannot).
    void SetEnabled(bool on) const;
    // Reads both sources again (at each opening of the menu, once it is on the screen).
    void Gather();
    // The folders worth checking: both sources, each once, newest first, at most `count`.
    std::vector<std::wstring> Candidates(std::size_t count) const;
    // The submenu's folders from what Gather read, without those `missing` says are gone.
    std::vector<std::wstring> Folders(const std::function<bool(const std::wstring&)>& missing) const;
    // The user went to the folder through the menu: recorded unless the switch is off. A record
    // that could not be written is kept in WriteError until the next one is written.
    void Record(const std::wstring& folder);
    const std::wstring& WriteError() const { return writeError_; }

private:
    std::wstring optionsFile_, recordFile_, shellRecentFolder_;
    std::vector<RecentFolder> own_, shell_;
    ShellLinkCache linkCache_;
    std::wstring writeError_;
};

}  // namespace qd::menu
