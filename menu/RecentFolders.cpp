#include "menu/RecentFolders.h"

#include <algorithm>
#include <unordered_set>

#include "list/PathRules.h"
#include "toolkit/Text.h"

namespace qd::menu {

namespace {

constexpr std::string_view kFileHeader = "Quiverdir recent folders 1";

}  // namespace

std::vector<std::wstring> MergeRecentFolders(const std::vector<RecentFolder>& own,
                                             const std::vector<RecentFolder>& shell,
                                             const std::function<bool(const std::wstring&)>& missing,
                                             std::size_t cap) {
    std::vector<const RecentFolder*> all;
    all.reserve(own.size() + shell.size());
    for (const RecentFolder& f : own) all.push_back(&f);
    for (const RecentFolder& f : shell) all.push_back(&f);
    // Stable: on equal times the menu's own entry comes first.
    std::stable_sort(all.begin(), all.end(), [](const RecentFolder* a, const RecentFolder* b) { return a->Time > b->Time; });
    std::vector<std::wstring> folders;
    std::unordered_set<std::wstring> seen;
    for (const RecentFolder* f : all) {
        if (folders.size() >= cap) break;
        if (f->Folder.empty()) continue;
        // Seen first, then checked: an older entry of a missing folder does not come back.
        if (!seen.insert(SameFolderKey(f->Folder)).second) continue;
        if (missing && missing(f->Folder)) continue;
        folders.push_back(f->Folder);
    }
    return folders;
}

std::vector<RecentFolder> RecordRecentFolder(std::vector<RecentFolder> record, const std::wstring& folder,
                                             std::uint64_t time) {
    if (folder.empty()) return record;
    std::erase_if(record, [&](const RecentFolder& f) { return SameFolder(f.Folder, folder); });
    record.insert(record.begin(), RecentFolder{folder, time});
    if (record.size() > kRecentFoldersKept) record.resize(kRecentFoldersKept);
    return record;
}

std::string RecentFileText(const std::vector<RecentFolder>& record) {
    std::string text(kFileHeader);
    text += "\r\n";
    for (const RecentFolder& f : record) {
        // A folder name never holds a line break; one that did would break the file's lines.
        if (f.Folder.empty() || f.Folder.find_first_of(L"\r\n\t") != std::wstring::npos) continue;
        text += std::to_string(f.Time) + "\t" + tk::ToUtf8(f.Folder) + "\r\n";
    }
    return text;
}

std::vector<RecentFolder> ParseRecentFile(std::string_view text) {
    std::vector<RecentFolder> record;
    const auto nextLine = [&text]() {
        const size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        return line;
    };
    if (text.empty() || nextLine() != kFileHeader) return record;
    while (!text.empty() && record.size() < kRecentFoldersKept) {
        const std::string_view line = nextLine();
        const size_t tab = line.find('\t');
        if (tab == 0 || tab == std::string_view::npos || tab > 20 || tab + 1 == line.size()) continue;
        std::uint64_t time = 0;
        bool number = true;
        for (const char c : line.substr(0, tab)) {
            if (c < '0' || c > '9' || time > (UINT64_MAX - 9) / 10) {
                number = false;
                break;
            }
            time = time * 10 + static_cast<std::uint64_t>(c - '0');
        }
        if (!number) continue;
        std::wstring folder = tk::FromUtf8(line.substr(tab + 1));
        if (folder.empty() || folder.find(L'\t') != std::wstring::npos) continue;
        record.push_back({std::move(folder), time});
    }
    std::stable_sort(record.begin(), record.end(), [](const RecentFolder& a, const RecentFolder& b) { return a.Time > b.Time; });
    return record;
}

}  // namespace qd::menu
