#include "app/Backup.h"

#include <windows.h>

#include <algorithm>
#include <unordered_map>
#include <vector>

#include "toolkit/Exception.h"
#include "toolkit/Text.h"

namespace qd {

using tk::AsciiUpper;

namespace {

// A value as the profile functions hand out a single key: one pair of enclosing quotes removed.
std::wstring Unquoted(const std::wstring& value) {
    if (value.size() >= 2 && (value.front() == L'"' || value.front() == L'\'') && value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

// The index in a key named letter + decimal index ("N12"), written as the program writes it
// (no sign, no leading zeros); -1 for any other key.
long long PairIndex(const std::wstring& key, wchar_t letter) {
    if (key.size() < 2 || AsciiUpper(key[0]) != letter) return -1;
    if (key.size() > 2 && key[1] == L'0') return -1;
    long long index = 0;
    for (size_t i = 1; i < key.size(); ++i) {
        if (key[i] < L'0' || key[i] > L'9' || i > 10) return -1;
        index = index * 10 + (key[i] - L'0');
    }
    return index;
}

}  // namespace

std::wstring BackupFileName(const std::wstring& chosen) {
    const size_t folderEnd = chosen.find_last_of(L"\\/:");
    const size_t dot = chosen.find_last_of(L'.');
    const bool hasExtension = dot != std::wstring::npos && (folderEnd == std::wstring::npos || dot > folderEnd);
    if (hasExtension && AsciiUpper(std::wstring_view(chosen).substr(dot + 1)) == L"PWB") return chosen;
    return chosen + L".pwb";
}

std::wstring PathCompareKey(std::wstring_view path) {
    std::wstring key = AsciiUpper(path);
    if (key.empty() || key.back() != L'\\') key += L'\\';
    return key;
}

std::wstring ShortcutIndex::Key(std::wstring_view alias, std::wstring_view path) {
    std::wstring key(alias);
    key += L'\0';  // no alias holds a zero, so the two parts cannot run into each other
    key += PathCompareKey(path);
    return key;
}

void ShortcutIndex::Add(std::wstring_view alias, std::wstring_view path) { keys_.insert(Key(alias, path)); }

bool ShortcutIndex::Contains(std::wstring_view alias, std::wstring_view path) const {
    return keys_.count(Key(alias, path)) != 0;
}

void ExportBackup(const tk::TIniFile& file, ShortcutRows& rows) {
    const int count = rows.RowCount();
    std::vector<std::pair<std::wstring, std::wstring>> writes;
    writes.reserve(static_cast<size_t>(count) * 2 + 1);
    writes.emplace_back(kBackupCountKey, std::to_wstring(count));
    for (int i = 0; i < count; ++i) {
        writes.emplace_back(AliasValueName(i), rows.Alias(i));
        writes.emplace_back(PathValueName(i), rows.Path(i));
    }

    // The section is rewritten whole in one write (a write per key would rewrite the file each
    // time): existing keys keep their place with the new value, new keys follow in order, keys
    // this export does not write stay as they were.
    file.UseUnicode();
    tk::TIniFile::Entries entries = file.ReadSection(kBackupSection);
    std::unordered_map<std::wstring, size_t> position;
    for (size_t i = 0; i < entries.size(); ++i) position.emplace(AsciiUpper(entries[i].first), i);
    for (auto& [key, value] : writes) {
        auto it = position.find(AsciiUpper(key));
        if (it != position.end()) {
            entries[it->second].second = std::move(value);
        } else {
            position.emplace(AsciiUpper(key), entries.size());
            entries.emplace_back(std::move(key), std::move(value));
        }
    }
    file.WriteSection(kBackupSection, entries);
}

int ImportBackup(const tk::TIniFile& file, ShortcutRows& rows,
                 const std::function<void(const std::wstring& alias, const std::wstring& path)>& append) {
    const long long count = file.ReadInteger(kBackupSection, kBackupCountKey, 0);
    if (count <= 0) return 0;

    // The whole section in one read; the first of repeated keys counts, as for a single read.
    // Only indexes the file has keys for can give an entry (the others read as empty), so the
    // work is bounded by the file, whatever Count claims.
    std::unordered_map<std::wstring, std::wstring> values;
    std::vector<long long> indexes;
    for (const auto& [key, value] : file.ReadSection(kBackupSection)) {
        values.emplace(AsciiUpper(key), Unquoted(value));
        for (long long index : {PairIndex(key, L'N'), PairIndex(key, L'P')})
            if (index >= 0 && index < count) indexes.push_back(index);
    }
    std::sort(indexes.begin(), indexes.end());
    indexes.erase(std::unique(indexes.begin(), indexes.end()), indexes.end());
    auto read = [&values](const std::wstring& key) {
        auto it = values.find(key);
        return it == values.end() ? std::wstring() : it->second;
    };

    ShortcutIndex present;
    for (int i = 0; i < rows.RowCount(); ++i) present.Add(rows.Alias(i), rows.Path(i));
    int appended = 0;
    for (long long k : indexes) {
        const std::wstring alias = read(AliasValueName(static_cast<int>(k)));
        const std::wstring path = read(PathValueName(static_cast<int>(k)));
        // The store cannot hold an empty alias or path: such an entry is no shortcut.
        if (alias.empty() || path.empty() || present.Contains(alias, path)) continue;
        append(alias, path);
        present.Add(alias, path);
        ++appended;
    }
    return appended;
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
        std::wstring v = Unquoted(std::wstring(text.substr(start, end - start)));
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

std::vector<ShortcutRow> ReadBackupRows(const std::wstring& fileName) {
    if (GetFileAttributesW(fileName.c_str()) == INVALID_FILE_ATTRIBUTES)
        throw tk::Exception(tk::FormatText(L"The backup %s is missing", {fileName}));
    const auto damaged = [&fileName](const std::wstring& what) {
        return tk::Exception(tk::FormatText(L"The backup %s is damaged: %s", {fileName, what}));
    };
    std::unordered_map<std::wstring, std::wstring> values;
    {
        const tk::TUnicodeIniCopy file(fileName);
        for (const auto& [key, value] : file.File().ReadSection(kBackupSection))
            values.emplace(AsciiUpper(key), Unquoted(value));
    }
    const auto count = values.count(AsciiUpper(kBackupCountKey)) ? tk::ParseInt32(values[AsciiUpper(kBackupCountKey)])
                                                                  : std::nullopt;
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

}  // namespace qd
