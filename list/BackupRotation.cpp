#include "list/BackupRotation.h"

#include <algorithm>
#include <cwchar>

#include "toolkit/Text.h"

namespace qd {

namespace {

constexpr std::wstring_view kBackupExtension = L".pwb";

// The decimal number in text[at, at + digits), or -1 when any of it is not a digit.
long long Digits(std::wstring_view text, size_t at, size_t digits) {
    long long value = 0;
    for (size_t i = at; i < at + digits; ++i) {
        if (i >= text.size() || text[i] < L'0' || text[i] > L'9') return -1;
        value = value * 10 + (text[i] - L'0');
    }
    return value;
}

bool SameName(std::wstring_view a, std::wstring_view b) { return tk::AsciiUpper(a) == tk::AsciiUpper(b); }

}  // namespace

std::wstring AutoBackupName(const BackupStamp& s) {
    wchar_t name[64];
    std::swprintf(name, 64, L"%04d-%02d-%02d %02d%02d%02d", s.Year, s.Month, s.Day, s.Hour, s.Minute, s.Second);
    std::wstring result = name;
    if (s.Sequence > 0)
        result += L" #" + std::to_wstring(s.Sequence);
    else if (s.Serial > 1)
        result += L"-" + std::to_wstring(s.Serial);
    return result + std::wstring(kBackupExtension);
}

std::optional<BackupStamp> ParseAutoBackupName(std::wstring_view name) {
    // yyyy-mm-dd hhmmss[ #n | -n].pwb
    constexpr size_t kStampLength = 17;
    const size_t extension = kBackupExtension.size();
    if (name.size() < kStampLength + extension ||
        tk::AsciiUpper(name.substr(name.size() - extension)) != tk::AsciiUpper(kBackupExtension))
        return std::nullopt;
    if (name[4] != L'-' || name[7] != L'-' || name[10] != L' ') return std::nullopt;
    BackupStamp s;
    s.Year = static_cast<int>(Digits(name, 0, 4));
    s.Month = static_cast<int>(Digits(name, 5, 2));
    s.Day = static_cast<int>(Digits(name, 8, 2));
    s.Hour = static_cast<int>(Digits(name, 11, 2));
    s.Minute = static_cast<int>(Digits(name, 13, 2));
    s.Second = static_cast<int>(Digits(name, 15, 2));
    if (s.Year < 0 || s.Month < 1 || s.Month > 12 || s.Day < 1 || s.Day > 31 || s.Hour < 0 || s.Hour > 23 ||
        s.Minute < 0 || s.Minute > 59 || s.Second < 0 || s.Second > 60)
        return std::nullopt;
    const std::wstring_view rest = name.substr(kStampLength, name.size() - extension - kStampLength);
    if (rest.empty()) return s;
    // " #n" (the number) or "-n" (an older name's serial), n without leading zeros.
    const size_t at = rest[0] == L' ' ? 2 : 1;
    if (rest.size() <= at || rest.size() > at + 9 || rest[at] == L'0') return std::nullopt;
    const long long n = Digits(rest, at, rest.size() - at);
    if (at == 2 && rest[1] == L'#' && n >= 1) {
        s.Sequence = static_cast<std::uint32_t>(n);
        return s;
    }
    if (at == 1 && rest[0] == L'-' && n >= 2 && rest.size() <= 6) {
        s.Serial = static_cast<int>(n);
        return s;
    }
    return std::nullopt;
}

BackupRotation RotateBackups(const std::vector<BackupFileEntry>& files, const std::vector<std::wstring>& protectedNames,
                             size_t kept) {
    struct Found {
        const BackupFileEntry* file;
        BackupStamp stamp;
    };
    std::vector<Found> found;
    for (const BackupFileEntry& file : files)
        if (auto stamp = ParseAutoBackupName(file.Name)) found.push_back({&file, *stamp});
    // Newest first: the number, then when the file was written, then what the name says.
    std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
        if (a.stamp.Sequence != b.stamp.Sequence) return a.stamp.Sequence > b.stamp.Sequence;
        if (a.file->WriteTime != b.file->WriteTime) return a.file->WriteTime > b.file->WriteTime;
        return a.stamp > b.stamp;
    });
    BackupRotation rotation;
    for (size_t i = 0; i < found.size(); ++i) {
        const std::wstring& name = found[i].file->Name;
        rotation.Order.push_back(name);
        const bool isProtected = std::any_of(protectedNames.begin(), protectedNames.end(),
                                             [&name](const std::wstring& p) { return SameName(p, name); });
        if (i >= kept && !isProtected) rotation.Delete.push_back(name);
    }
    return rotation;
}

std::uint32_t NextBackupSequence(const std::vector<std::wstring>& names) {
    std::uint32_t highest = 0;
    for (const std::wstring& name : names)
        if (auto stamp = ParseAutoBackupName(name)) highest = std::max(highest, stamp->Sequence);
    return highest >= kMaxBackupSequence ? 0 : highest + 1;
}

}  // namespace qd
