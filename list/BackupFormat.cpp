#include "list/BackupFormat.h"

#include <algorithm>
#include <unordered_map>

#include "list/PathRules.h"
#include "list/ShortcutStore.h"
#include "toolkit/Exception.h"
#include "toolkit/Text.h"

namespace qd {

using tk::AsciiUpper;

std::wstring UnquotedBackupValue(const std::wstring& value) {
    if (value.size() >= 2 && (value.front() == L'"' || value.front() == L'\'') && value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

long long BackupPairIndex(const std::wstring& key, wchar_t letter) {
    if (key.size() < 2 || AsciiUpper(key[0]) != letter) return -1;
    if (key.size() > 2 && key[1] == L'0') return -1;
    long long index = 0;
    for (size_t i = 1; i < key.size(); ++i) {
        if (key[i] < L'0' || key[i] > L'9' || i > 10) return -1;
        index = index * 10 + (key[i] - L'0');
    }
    return index;
}

std::wstring BackupFileName(const std::wstring& chosen) {
    const size_t folderEnd = chosen.find_last_of(L"\\/:");
    const size_t dot = chosen.find_last_of(L'.');
    const bool hasExtension = dot != std::wstring::npos && (folderEnd == std::wstring::npos || dot > folderEnd);
    if (hasExtension && AsciiUpper(std::wstring_view(chosen).substr(dot + 1)) == L"PWB") return chosen;
    return chosen + L".pwb";
}

std::wstring ShortcutIndex::Key(std::wstring_view alias, std::wstring_view path) { return ShortcutKey(alias, path); }

void ShortcutIndex::Add(std::wstring_view alias, std::wstring_view path) { keys_.insert(Key(alias, path)); }

bool ShortcutIndex::Contains(std::wstring_view alias, std::wstring_view path) const {
    return keys_.count(Key(alias, path)) != 0;
}

namespace {

// Characters the profile functions trim from the ends of a value (the Unicode blanks included).
bool TrimmedByReaders(wchar_t c) {
    return c <= L' ' || c == 0x1A || c == 0x85 || c == 0xA0 || c == 0x1680 || (c >= 0x2000 && c <= 0x200A) ||
           c == 0x2028 || c == 0x2029 || c == 0x202F || c == 0x205F || c == 0x3000 || c == 0xFEFF;
}

}  // namespace

std::wstring BackupValueText(const std::wstring& value) {
    if (value.empty()) return value;
    const bool enclosed = value.size() >= 2 && (value.front() == L'"' || value.front() == L'\'') &&
                          value.back() == value.front();
    if (!enclosed && !TrimmedByReaders(value.front()) && !TrimmedByReaders(value.back())) return value;
    return L'"' + value + L'"';
}

std::wstring BackupText(const std::vector<ShortcutRow>& rows) {
    std::wstring text;
    size_t size = 40;
    for (const ShortcutRow& row : rows) size += row.Alias.size() + row.Path.size() + 32;
    text.reserve(size);
    text += L'[';
    text += kBackupSection;
    text += L"]\r\n";
    text += kBackupCountKey;
    text += L'=';
    text += std::to_wstring(rows.size());
    text += L"\r\n";
    auto line = [&text](wchar_t letter, size_t index, const std::wstring& value) {
        if (value.find_first_of(L"\r\n") != std::wstring::npos)
            throw tk::Exception(tk::FormatText(L"Row %s holds a line break, which a backup file cannot hold",
                                               {std::to_wstring(index + 1)}));
        text += letter;
        text += std::to_wstring(index);
        text += L'=';
        text += BackupValueText(value);
        text += L"\r\n";
    };
    for (size_t i = 0; i < rows.size(); ++i) {
        line(L'N', i, rows[i].Alias);
        line(L'P', i, rows[i].Path);
    }
    return text;
}

std::optional<int> CountFromBackupHead(std::wstring_view text) {
    if (!text.empty() && text.front() == L'\uFEFF') text.remove_prefix(1);
    const std::wstring head = L"[" + std::wstring(kBackupSection) + L"]\r\n" + kBackupCountKey + L"=";
    if (text.substr(0, head.size()) != head) return std::nullopt;
    text.remove_prefix(head.size());
    const size_t end = text.find(L'\r');
    if (end == std::wstring_view::npos || end == 0 || end > 10) return std::nullopt;
    int count = 0;
    for (wchar_t c : text.substr(0, end)) {
        if (c < L'0' || c > L'9') return std::nullopt;
        count = count * 10 + (c - L'0');
    }
    return count;
}

std::vector<ShortcutRow> RowsFromBackupText(std::wstring_view text, const std::wstring& fileName) {
    const auto damaged = [&fileName](const std::wstring& what) {
        return tk::Exception(tk::FormatText(L"The backup %s is damaged: %s", {fileName, what}));
    };
    const std::optional<int> count = CountFromBackupHead(text);
    if (!count) throw damaged(L"it states no number of entries");
    if (!text.empty() && text.front() == L'\uFEFF') text.remove_prefix(1);
    // Past the header and the Count line.
    size_t at = text.find(L"\r\n");
    at = text.find(L"\r\n", at + 2) + 2;
    const auto value = [&](wchar_t letter, int index) -> std::optional<std::wstring> {
        const std::wstring name = letter + std::to_wstring(index) + L"=";
        if (text.substr(at, name.size()) != name) return std::nullopt;
        const size_t start = at + name.size();
        const size_t end = text.find(L"\r\n", start);
        if (end == std::wstring_view::npos) return std::nullopt;
        at = end + 2;
        std::wstring v = UnquotedBackupValue(std::wstring(text.substr(start, end - start)));
        if (v.empty()) return std::nullopt;
        return v;
    };
    std::vector<ShortcutRow> rows;
    rows.reserve(std::min(static_cast<size_t>(*count), text.size() / 8));  // bounded by the text
    for (int i = 0; i < *count; ++i) {
        std::optional<std::wstring> alias = value(L'N', i);
        std::optional<std::wstring> path = alias ? value(L'P', i) : std::nullopt;
        if (!alias || !path)
            throw damaged(tk::FormatText(L"entry %s of %s is missing", {std::to_wstring(i + 1), std::to_wstring(*count)}));
        rows.push_back({std::move(*alias), std::move(*path), false});
    }
    if (at != text.size()) throw damaged(L"it holds more than its entries");
    return rows;
}

std::vector<ShortcutRow> StrictBackupRows(const BackupEntries& section, const std::wstring& fileName) {
    const auto damaged = [&fileName](const std::wstring& what) {
        return tk::Exception(tk::FormatText(L"The backup %s is damaged: %s", {fileName, what}));
    };
    std::unordered_map<std::wstring, std::wstring> values;
    for (const auto& [key, value] : section) values.emplace(AsciiUpper(key), UnquotedBackupValue(value));
    const std::wstring countKey = AsciiUpper(kBackupCountKey);
    const auto count = values.count(countKey) ? tk::ParseInt32(values[countKey]) : std::nullopt;
    if (!count || *count < 0) throw damaged(L"it states no number of entries");
    std::vector<ShortcutRow> rows;
    rows.reserve(std::min(static_cast<size_t>(*count), values.size() / 2));  // bounded by the file
    for (int i = 0; i < *count; ++i) {
        auto alias = values.find(AliasValueName(i)), path = values.find(PathValueName(i));
        if (alias == values.end() || path == values.end() || alias->second.empty() || path->second.empty())
            throw damaged(tk::FormatText(L"entry %s of %s is missing", {std::to_wstring(i + 1), std::to_wstring(*count)}));
        rows.push_back({alias->second, path->second, false});
    }
    return rows;
}

std::vector<ShortcutRow> BackupEntriesToImport(const BackupEntries& section, long long count, ShortcutIndex present) {
    std::vector<ShortcutRow> entries;
    if (count <= 0) return entries;
    // Only indexes the file has keys for can give an entry (the others read as empty), so the
    // work is bounded by the file, whatever Count claims.
    std::unordered_map<std::wstring, std::wstring> values;
    std::vector<long long> indexes;
    for (const auto& [key, value] : section) {
        values.emplace(AsciiUpper(key), UnquotedBackupValue(value));
        for (long long index : {BackupPairIndex(key, L'N'), BackupPairIndex(key, L'P')})
            if (index >= 0 && index < count) indexes.push_back(index);
    }
    std::sort(indexes.begin(), indexes.end());
    indexes.erase(std::unique(indexes.begin(), indexes.end()), indexes.end());
    auto read = [&values](const std::wstring& key) {
        auto it = values.find(key);
        return it == values.end() ? std::wstring() : it->second;
    };
    for (long long k : indexes) {
        std::wstring alias = read(AliasValueName(static_cast<int>(k)));
        std::wstring path = read(PathValueName(static_cast<int>(k)));
        // The store cannot hold an empty alias or path: such an entry is no shortcut. Nor does it
        // take a relative path (written by an older program), which each program would read
        // against another folder.
        if (alias.empty() || path.empty() || !IsFullPath(path) || present.Contains(alias, path)) continue;
        present.Add(alias, path);
        entries.push_back({std::move(alias), std::move(path), false});
    }
    return entries;
}

}  // namespace qd
