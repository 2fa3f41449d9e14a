#include "list/win/AutoBackup.h"

#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <cwchar>
#include <filesystem>
#include <fstream>
#include <memory>
#include <tuple>

#include "list/win/Backup.h"
#include "toolkit/Exception.h"
#include "toolkit/Text.h"
#include "toolkit/win/IniFile.h"

namespace qd {

namespace {

constexpr wchar_t kBackupExtension[] = L".pwb";

// The decimal number in text[at, at + digits), or -1 when any of it is not a digit.
int Digits(std::wstring_view text, size_t at, size_t digits) {
    int value = 0;
    for (size_t i = at; i < at + digits; ++i) {
        if (i >= text.size() || text[i] < L'0' || text[i] > L'9') return -1;
        value = value * 10 + (text[i] - L'0');
    }
    return value;
}

}  // namespace

std::wstring AutoBackupName(const BackupStamp& s) {
    wchar_t name[64];
    std::swprintf(name, 64, L"%04d-%02d-%02d %02d%02d%02d", s.Year, s.Month, s.Day, s.Hour, s.Minute, s.Second);
    std::wstring result = name;
    if (s.Serial > 1) result += L"-" + std::to_wstring(s.Serial);
    return result + kBackupExtension;
}

std::optional<BackupStamp> ParseAutoBackupName(std::wstring_view name) {
    // yyyy-mm-dd hhmmss[-n].pwb, the extension in any letter case.
    constexpr size_t kStampLength = 17;
    const size_t extension = std::size(kBackupExtension) - 1;
    if (name.size() < kStampLength + extension ||
        tk::AsciiUpper(name.substr(name.size() - extension)) != tk::AsciiUpper(kBackupExtension))
        return std::nullopt;
    if (name[4] != L'-' || name[7] != L'-' || name[10] != L' ') return std::nullopt;
    BackupStamp s;
    s.Year = Digits(name, 0, 4);
    s.Month = Digits(name, 5, 2);
    s.Day = Digits(name, 8, 2);
    s.Hour = Digits(name, 11, 2);
    s.Minute = Digits(name, 13, 2);
    s.Second = Digits(name, 15, 2);
    if (s.Year < 0 || s.Month < 1 || s.Month > 12 || s.Day < 1 || s.Day > 31 || s.Hour < 0 || s.Hour > 23 ||
        s.Minute < 0 || s.Minute > 59 || s.Second < 0 || s.Second > 60)
        return std::nullopt;
    const std::wstring_view rest = name.substr(kStampLength, name.size() - extension - kStampLength);
    if (!rest.empty()) {
        // "-n" with n from 2, without leading zeros.
        if (rest.size() < 2 || rest.size() > 6 || rest[0] != L'-' || rest[1] == L'0') return std::nullopt;
        s.Serial = Digits(rest, 1, rest.size() - 1);
        if (s.Serial < 2) return std::nullopt;
    }
    return s;
}

std::vector<std::wstring> BackupsToPrune(const std::vector<std::wstring>& names, const std::wstring& keep,
                                         size_t kept) {
    std::vector<std::pair<BackupStamp, std::wstring>> others;
    for (const std::wstring& name : names) {
        if (name == keep) continue;
        if (auto stamp = ParseAutoBackupName(name)) others.emplace_back(*stamp, name);
    }
    // Newest first; the one to keep takes one of the places.
    std::sort(others.begin(), others.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    const size_t othersKept = kept > 0 ? kept - 1 : 0;
    std::vector<std::wstring> prune;
    for (size_t i = othersKept; i < others.size(); ++i) prune.push_back(others[i].second);
    return prune;
}

void WriteBackupFile(const std::wstring& fileName, const std::vector<ShortcutRow>& rows, bool replace) {
    tk::WriteUnicodeFile(fileName, BackupText(rows), replace);
}

bool MakeFolders(const std::wstring& folder) {
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(folder), error);
    return std::filesystem::is_directory(std::filesystem::path(folder), error);
}

std::wstring WriteAutomaticBackup(const std::wstring& folder, const std::vector<ShortcutRow>& rows) {
    const auto failed = [&folder](const std::wstring& why) {
        return tk::Exception(tk::FormatText(L"No backup could be written to %s: %s", {folder, why}));
    };
    // A row the format cannot hold is found before anything is made on the disk.
    const std::wstring text = BackupText(rows);
    if (folder.empty()) throw failed(L"the folder is not known");
    if (!MakeFolders(folder)) throw failed(L"the folder cannot be made");
    SYSTEMTIME now{};
    GetLocalTime(&now);
    BackupStamp stamp{now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond, 1};
    const std::filesystem::path base(folder);
    const auto namesInFolder = [&base] {
        std::vector<std::wstring> names;
        std::error_code error;
        for (std::filesystem::directory_iterator it(base, error), end; !error && it != end; it.increment(error))
            if (it->is_regular_file(error)) names.push_back(it->path().filename().wstring());
        return names;
    };
    // After the backups of this second there: a serial freed by pruning is never used again, so a
    // later backup never takes an earlier name.
    for (const std::wstring& other : namesInFolder()) {
        const auto made = ParseAutoBackupName(other);
        if (made && std::tie(made->Year, made->Month, made->Day, made->Hour, made->Minute, made->Second) ==
                        std::tie(stamp.Year, stamp.Month, stamp.Day, stamp.Hour, stamp.Minute, stamp.Second))
            stamp.Serial = std::max(stamp.Serial, made->Serial + 1);
    }
    const std::wstring name = AutoBackupName(stamp);
    const std::wstring file = (base / name).wstring();
    try {
        tk::WriteUnicodeFile(file, text, false);
    } catch (const tk::Exception& e) {
        throw failed(e.Message());
    }
    std::error_code error;
    for (const std::wstring& old : BackupsToPrune(namesInFolder(), name)) std::filesystem::remove(base / old, error);
    return file;
}

std::vector<AutoBackupInfo> ListAutomaticBackups(const std::wstring& folder) {
    std::vector<AutoBackupInfo> found;
    std::error_code error;
    for (std::filesystem::directory_iterator it(std::filesystem::path(folder), error), end; !error && it != end;
         it.increment(error)) {
        if (!it->is_regular_file(error)) continue;
        const auto stamp = ParseAutoBackupName(it->path().filename().wstring());
        if (!stamp) continue;
        AutoBackupInfo info{it->path().wstring(), *stamp, -1};
        // The count is in the first line after the header of a backup written by this program; a
        // file changed by another program is asked as a whole.
        std::ifstream in(it->path(), std::ios::binary);
        char head[160] = {};
        in.read(head, sizeof(head));
        const std::string bytes(head, static_cast<size_t>(in.gcount()));
        std::optional<int> rows;
        if (bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE')
            rows = CountFromBackupHead(tk::DecodeText(bytes, tk::TTextEncoding::Utf16Le));
        info.Rows = rows ? *rows : tk::TIniFile(info.File).ReadInteger(kBackupSection, kBackupCountKey, -1);
        found.push_back(std::move(info));
    }
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.Stamp > b.Stamp; });
    return found;
}

std::wstring ApplicationDataFolder() {
    PWSTR path = nullptr;
    const HRESULT result = SHGetKnownFolderPath(FOLDERID_RoamingAppData, 0, nullptr, &path);
    const std::unique_ptr<wchar_t, decltype(&CoTaskMemFree)> owned(path, &CoTaskMemFree);
    return SUCCEEDED(result) && path ? std::wstring(path) : std::wstring();
}

std::wstring BackupFolderPath() {
    const std::wstring appData = ApplicationDataFolder();
    return appData.empty() ? std::wstring() : appData + L"\\Quiverdir\\backups";
}

std::wstring TemporaryFolder() {
    wchar_t folder[MAX_PATH + 2] = {};
    const DWORD n = GetTempPathW(MAX_PATH + 1, folder);
    return n == 0 || n > MAX_PATH + 1 ? std::wstring() : std::wstring(folder, n);
}

}  // namespace qd
