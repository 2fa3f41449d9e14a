// The folder menu's recent folders as plain rules: the menu's own record (the folders the user
// went to through the menu) as the text of its file, and the submenu's rows made from that record
// and the folders of the files the shell lists as recently used.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace qd::menu {

// One folder and when it was used (the system's file time: 100 ns since 1601; larger is newer).
struct RecentFolder {
    std::wstring Folder;
    std::uint64_t Time = 0;
    bool operator==(const RecentFolder&) const = default;
};

// The menu keeps this many of its own, and shows this many in the submenu.
constexpr std::size_t kRecentFoldersKept = 20;

// The submenu's folders: both sources together, newest first (on equal times the menu's own
// first), each folder once (by SameFolderKey: its newest use counts), empty entries and those
// `missing` says are gone left out, at most `cap`.
std::vector<std::wstring> MergeRecentFolders(const std::vector<RecentFolder>& own,
                                             const std::vector<RecentFolder>& shell,
                                             const std::function<bool(const std::wstring&)>& missing,
                                             std::size_t cap = kRecentFoldersKept);

// The record after the user went to `folder` at `time`: it comes first, an earlier entry of the
// same folder goes, and the record keeps the newest kRecentFoldersKept.
std::vector<RecentFolder> RecordRecentFolder(std::vector<RecentFolder> record, const std::wstring& folder,
                                             std::uint64_t time);

// The record's file: UTF-8, a first line naming the format, then one "<time><TAB><folder>" a line.
std::string RecentFileText(const std::vector<RecentFolder>& record);
// Reads it leniently: a file without the first line gives nothing; a line that is not a decimal
// time, a tab and a folder is skipped; at most kRecentFoldersKept entries, newest first.
std::vector<RecentFolder> ParseRecentFile(std::string_view text);

}  // namespace qd::menu
