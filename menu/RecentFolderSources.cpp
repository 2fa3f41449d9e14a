#include "menu/RecentFolderSources.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <algorithm>

#include "list/win/AutoBackup.h"
#include "menu/FolderMenuLogic.h"
#include "toolkit/Text.h"
#include "toolkit/win/IniFile.h"
#include "toolkit/win/ComPtr.h"
#include "toolkit/win/Scoped.h"
#include "toolkit/win/SystemError.h"

namespace qd::menu {

namespace {

// The record is a few kilobytes; a file larger than this is not ours to read whole.
constexpr DWORD kLargestRecordFile = 256 * 1024;

std::uint64_t ToUint64(const FILETIME& t) {
    return (static_cast<std::uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
}

}  // namespace

std::wstring DefaultRecentFoldersFile() {
    const std::wstring appData = ApplicationDataFolder();
    return appData.empty() ? std::wstring() : appData + L"\\Quiverdir\\RecentFolders.txt";
}

std::uint64_t FileTimeNow() {
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    return ToUint64(now);
}

std::vector<RecentFolder> ReadRecentFoldersFile(const std::wstring& file) {
    if (file.empty()) return {};
    const tk::ScopedFile handle(CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!handle.Valid()) return {};
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(handle.get(), &size) || size.QuadPart > kLargestRecordFile) return {};
    std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!bytes.empty() && !ReadFile(handle.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr))
        return {};
    bytes.resize(read);
    return ParseRecentFile(bytes);
}

std::wstring WriteRecentFoldersFile(const std::wstring& file, const std::vector<RecentFolder>& record) {
    if (file.empty()) return L"the application data folder is not known";
    const size_t slash = file.find_last_of(L"\\/");
    if (slash != std::wstring::npos && !MakeFolders(file.substr(0, slash))) return L"the folder cannot be made";
    const std::string text = RecentFileText(record);
    const std::wstring temporary = file + L"." + std::to_wstring(GetCurrentProcessId()) + L".tmp";
    DWORD failed = 0;
    {
        const tk::ScopedFile handle(
            CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!handle.Valid()) return tk::SystemErrorText(GetLastError());
        DWORD written = 0;
        if (!WriteFile(handle.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) ||
            written != text.size() || !FlushFileBuffers(handle.get()))
            failed = GetLastError() ? GetLastError() : ERROR_WRITE_FAULT;
    }
    if (failed) {
        // Closed first: only then can the part written go.
        DeleteFileW(temporary.c_str());
        return tk::SystemErrorText(failed);
    }
    if (!MoveFileExW(temporary.c_str(), file.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD error = GetLastError();
        DeleteFileW(temporary.c_str());
        return tk::SystemErrorText(error);
    }
    return L"";
}

namespace {

// The folder of the shortcut's target ("": the shortcut cannot be read).
std::wstring ReadLinkFolder(IShellLinkW* shellLink, const std::wstring& file) {
    tk::ComPtr<IPersistFile> persist;
    if (FAILED(shellLink->QueryInterface(IID_IPersistFile, persist.put_void()))) return L"";
    if (FAILED(persist->Load(file.c_str(), STGM_READ))) return L"";
    // The target as the shortcut holds it, with the attributes saved in it: nothing is asked of
    // the target's drive (which may be a network share that does not answer).
    wchar_t target[MAX_PATH] = {};
    WIN32_FIND_DATAW data{};
    if (shellLink->GetPath(target, MAX_PATH, &data, SLGP_RAWPATH) != S_OK || !target[0]) return L"";
    std::wstring path = target;
    if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        const size_t slash = path.find_last_of(L"\\/");
        if (slash == std::wstring::npos) return L"";
        path.resize(slash == 2 && path[1] == L':' ? 3 : slash);
    }
    return path;
}

}  // namespace

std::vector<RecentFolder> ReadShellRecentFolders(const std::wstring& recentFolder, std::size_t maxLinks,
                                                 ShellLinkCache& cache) {
    std::wstring folder = recentFolder;
    if (folder.empty()) {
        wchar_t path[MAX_PATH] = {};
        if (FAILED(SHGetFolderPathW(nullptr, CSIDL_RECENT, nullptr, SHGFP_TYPE_CURRENT, path))) return {};
        folder = path;
    }
    if (folder.empty()) return {};
    if (folder.back() != L'\\') folder += L'\\';

    // The shortcuts' names and times first (one listing of the folder), then only the newest read.
    struct Link {
        std::wstring Name;
        std::uint64_t Time;
    };
    std::vector<Link> links;
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW((folder + L"*.lnk").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return {};
    {
        const tk::OnScopeExit close([search] { FindClose(search); });
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                links.push_back({found.cFileName, ToUint64(found.ftLastWriteTime)});
        } while (FindNextFileW(search, &found));
    }
    const size_t keep = std::min(maxLinks, links.size());
    std::partial_sort(links.begin(), links.begin() + static_cast<std::ptrdiff_t>(keep), links.end(),
                      [](const Link& a, const Link& b) { return a.Time > b.Time; });
    links.resize(keep);

    const tk::ScopedComInit com;
    ShellLinkCache kept;
    std::vector<RecentFolder> folders;
    for (const Link& link : links) {
        const auto known = cache.find(link.Name);
        ShellLinkRead read;
        if (known != cache.end() && known->second.Time == link.Time) {
            read = known->second;
        } else {
            tk::ComPtr<IShellLinkW> shellLink;
            if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                        shellLink.put_void())))
                break;
            read = {link.Time, ReadLinkFolder(shellLink.get(), folder + link.Name)};
        }
        if (!read.Folder.empty()) folders.push_back({read.Folder, link.Time});
        kept.emplace(link.Name, std::move(read));
    }
    cache = std::move(kept);
    return folders;
}

// ---- RecentFolders ----

RecentFolders::RecentFolders(std::wstring optionsFile, std::wstring recordFile, std::wstring shellRecentFolder)
    : optionsFile_(std::move(optionsFile)), recordFile_(std::move(recordFile)),
      shellRecentFolder_(std::move(shellRecentFolder)) {}

bool RecentFolders::Enabled() const {
    return tk::TIniFile(optionsFile_).ReadBool(kSettingsSection, kRecentFoldersEntry, true);
}

void RecentFolders::SetEnabled(bool on) const {
    tk::TIniFile(optionsFile_).WriteString(kSettingsSection, kRecentFoldersEntry, on ? L"1" : L"0");
}

void RecentFolders::Gather() {
    own_ = ReadRecentFoldersFile(recordFile_);
    shell_ = ReadShellRecentFolders(shellRecentFolder_, kShellRecentLinksRead, linkCache_);
}

std::vector<std::wstring> RecentFolders::Candidates(std::size_t count) const {
    return MergeRecentFolders(own_, shell_, nullptr, count);
}

std::vector<std::wstring> RecentFolders::Folders(const std::function<bool(const std::wstring&)>& missing) const {
    return MergeRecentFolders(own_, shell_, missing);
}

void RecentFolders::Record(const std::wstring& folder) {
    if (folder.empty() || !Enabled()) return;
    // Read again just before: another copy of the menu (another session of the user) may have
    // written meanwhile.
    writeError_ = WriteRecentFoldersFile(recordFile_, RecordRecentFolder(ReadRecentFoldersFile(recordFile_), folder,
                                                                         FileTimeNow()));
}

}  // namespace qd::menu
