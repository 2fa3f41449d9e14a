#include "app/FolderAdd.h"

#include <algorithm>
#include <unordered_map>

#include "app/AddItem.h"
#include "list/win/Backup.h"
#include "app/Global.h"
#include "toolkit/Text.h"

namespace qd {

namespace {

// How many refused names a message shows, and how long each may be.
constexpr size_t kRefusedNamesShown = 10;
constexpr size_t kRefusedNameLength = 120;

bool IsSlash(wchar_t c) { return c == L'\\' || c == L'/'; }

std::wstring_view Trimmed(std::wstring_view text) {
    const size_t first = text.find_first_not_of(L" \t");
    if (first == std::wstring_view::npos) return {};
    return text.substr(first, text.find_last_not_of(L" \t") - first + 1);
}

}  // namespace

FolderAddPlan PlanFolderAdds(const std::vector<std::wstring>& paths, const std::vector<ShortcutRow>& rows,
                             const std::function<FolderAddVerdict(const std::wstring&)>& verdictOf) {
    FolderAddPlan plan;
    std::unordered_map<std::wstring, int> held;  // first row of each shortcut
    for (size_t i = 0; i < rows.size(); ++i) held.emplace(ShortcutKey(rows[i].Alias, rows[i].Path), static_cast<int>(i));
    for (const std::wstring& path : paths) {
        const FolderAddVerdict verdict = IsFullPath(path) ? verdictOf(path) : FolderAddVerdict::Refuse;
        if (verdict == FolderAddVerdict::Refuse) {
            plan.Refused.push_back(path);
            continue;
        }
        const std::wstring alias = GetFolderAlias(path);
        const auto [at, added] = held.emplace(ShortcutKey(alias, path), static_cast<int>(rows.size() + plan.Add.size()));
        if (added) {
            plan.Add.push_back({alias, path});
        } else {
            plan.Skipped.push_back(path);
            plan.Choose = at->second;
        }
    }
    return plan;
}

std::vector<std::wstring> PastedPaths(std::wstring_view text) {
    std::vector<std::wstring> paths;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find_first_of(L"\r\n", start);
        if (end == std::wstring_view::npos) end = text.size();
        std::wstring_view line = Trimmed(text.substr(start, end - start));
        if (line.size() >= 2 && line.front() == L'"' && line.back() == L'"') line = Trimmed(line.substr(1, line.size() - 2));
        // A drive's root keeps its backslash: "C:" alone names the drive's current folder.
        while (line.size() > 1 && IsSlash(line.back()) && !(line.size() == 3 && line[1] == L':')) line.remove_suffix(1);
        if (!line.empty()) paths.emplace_back(line);
        start = end + 1;
    }
    return paths;
}

std::wstring RefusedFoldersText(const std::vector<std::wstring>& refused) {
    std::wstring text = kNotFoldersRefused;
    for (size_t i = 0; i < refused.size() && i < kRefusedNamesShown; ++i) {
        text += L"\r\n";
        if (refused[i].size() > kRefusedNameLength) {
            text += refused[i].substr(0, kRefusedNameLength);
            text += L"...";
        } else {
            text += refused[i];
        }
    }
    if (refused.size() > kRefusedNamesShown)
        text += L"\r\n" + tk::FormatText(kMoreNotFolders, {tk::IntToText(static_cast<long long>(refused.size() - kRefusedNamesShown))});
    return text;
}

std::vector<int> MovedRowOrder(int count, int from, int to) {
    std::vector<int> order(static_cast<size_t>(std::max(count, 0)));
    for (int k = 0; k < count; ++k) order[static_cast<size_t>(k)] = k;
    if (from < 0 || from >= count || to < 0 || to >= count) return order;
    const int step = from < to ? 1 : -1;
    for (int k = from; k != to; k += step) order[static_cast<size_t>(k)] = k + step;
    order[static_cast<size_t>(to)] = from;
    return order;
}

}  // namespace qd
