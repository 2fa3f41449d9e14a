#include "list/win/AutoBackup.h"

#include <windows.h>
#include <shlobj.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>

#include "list/win/Backup.h"
#include "toolkit/Exception.h"
#include "toolkit/Text.h"
#include "toolkit/win/IniFile.h"

namespace qd {

std::vector<BackupFileEntry> BackupFolderFiles(const std::wstring& folder) {
    std::vector<BackupFileEntry> files;
    std::error_code error;
    for (std::filesystem::directory_iterator it(std::filesystem::path(folder), error), end; !error && it != end;
         it.increment(error)) {
        if (!it->is_regular_file(error)) continue;
        WIN32_FILE_ATTRIBUTE_DATA data{};
        std::uint64_t written = 0;
        if (GetFileAttributesExW(it->path().c_str(), GetFileExInfoStandard, &data))
            written = (std::uint64_t{data.ftLastWriteTime.dwHighDateTime} << 32) | data.ftLastWriteTime.dwLowDateTime;
        files.push_back({it->path().filename().wstring(), written});
    }
    return files;
}

void WriteBackupFile(const std::wstring& fileName, const std::vector<ShortcutRow>& rows, bool replace) {
    tk::WriteUnicodeFile(fileName, BackupText(rows), replace);
}

bool MakeFolders(const std::wstring& folder) {
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(folder), error);
    return std::filesystem::is_directory(std::filesystem::path(folder), error);
}

std::wstring WriteAutomaticBackup(const std::wstring& folder, const std::vector<ShortcutRow>& rows,
                                  const std::vector<std::wstring>& keep) {
    const auto failed = [&folder](const std::wstring& why) {
        return tk::Exception(tk::FormatText(L"No backup could be written to %s: %s", {folder, why}));
    };
    // A row the format cannot hold is found before anything is made on the disk.
    const std::wstring text = BackupText(rows);
    if (folder.empty()) throw failed(L"the folder is not known");
    if (!MakeFolders(folder)) throw failed(L"the folder cannot be made");
    SYSTEMTIME now{};
    GetLocalTime(&now);
    const std::filesystem::path base(folder);
    const auto namesInFolder = [&folder] {
        std::vector<std::wstring> names;
        for (const BackupFileEntry& file : BackupFolderFiles(folder)) names.push_back(file.Name);
        return names;
    };
    // Numbered after every backup there, whatever the clock says. Another program writing a
    // backup at the same moment may take the same number: the name is then taken, and the next
    // number is tried.
    std::uint32_t sequence = NextBackupSequence(namesInFolder());
    std::wstring name, file;
    for (int attempt = 0;; ++attempt, ++sequence) {
        if (sequence == 0 || sequence > kMaxBackupSequence)
            throw failed(L"the backups there are numbered up to the highest number; move the newest away");
        name = AutoBackupName({now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond, 1, sequence});
        file = (base / name).wstring();
        try {
            tk::WriteUnicodeFile(file, text, false);
            break;
        } catch (const tk::Exception& e) {
            if (attempt >= 100 || GetFileAttributesW(file.c_str()) == INVALID_FILE_ATTRIBUTES) throw failed(e.Message());
        }
    }
    std::vector<std::wstring> keptNames = keep;
    keptNames.push_back(name);
    // A file another program holds open for reading refuses the delete and stays until a later
    // backup prunes it.
    for (const std::wstring& old : RotateBackups(BackupFolderFiles(folder), keptNames).Delete)
        DeleteFileW((base / old).c_str());
    return file;
}

std::vector<AutoBackupInfo> ListAutomaticBackups(const std::wstring& folder) {
    std::vector<AutoBackupInfo> found;
    for (const std::wstring& name : RotateBackups(BackupFolderFiles(folder), {}, SIZE_MAX).Order) {
        const std::filesystem::path path = std::filesystem::path(folder) / name;
        AutoBackupInfo info{path.wstring(), *ParseAutoBackupName(name), -1};
        // The count is in the first line after the header of a backup written by this program; a
        // file changed by another program is asked as a whole.
        std::ifstream in(path, std::ios::binary);
        char head[160] = {};
        in.read(head, sizeof(head));
        const std::string bytes(head, static_cast<size_t>(in.gcount()));
        std::optional<int> rows;
        if (bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE')
            rows = CountFromBackupHead(tk::DecodeText(bytes, tk::TTextEncoding::Utf16Le));
        info.Rows = rows ? *rows : tk::TIniFile(info.File).ReadInteger(kBackupSection, kBackupCountKey, -1);
        found.push_back(std::move(info));
    }
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
