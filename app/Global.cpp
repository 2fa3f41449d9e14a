#include "app/Global.h"

#include <windows.h>
#include <shlobj.h>

#include <cwchar>
#include <filesystem>
#include <vector>

#include "app/OptionsPlace.h"
#include "list/win/AutoBackup.h"
#include "toolkit/win/Form.h"
#include "toolkit/win/IniFile.h"
#include "toolkit/win/Scoped.h"

namespace qd {

TAppOptions AppOptions;

namespace {
constexpr wchar_t kSection[] = L"Options";
}

void SaveOptionsFile(const std::wstring& fileName, const TAppOptions& options) {
    tk::TIniFile ini(fileName);
    ini.WriteBool(kSection, L"ExploreFolder", options.ExploreFolder);
    ini.WriteBool(kSection, L"AskDelete", options.AskDelete);
    ini.WriteBool(kSection, L"ShowTips", options.ShowTips);
}

void ReadWriteOptionsFile(const std::wstring& fileName, bool load) {
    if (!load) {
        SaveOptionsFile(fileName, AppOptions);
        return;
    }
    tk::TIniFile ini(fileName);
    AppOptions.ExploreFolder = ini.ReadBool(kSection, L"ExploreFolder", true);
    AppOptions.AskDelete = ini.ReadBool(kSection, L"AskDelete", true);
    AppOptions.ShowTips = ini.ReadBool(kSection, L"ShowTips", false);
}

void ReadWriteOptions(bool load) { ReadWriteOptionsFile(OptionsFilePath(), load); }

std::wstring ExePath() {
    // Paths may be longer than MAX_PATH: grow until the whole name fits.
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n < buffer.size()) return std::wstring(buffer.data(), n);
        buffer.resize(buffer.size() * 2);
    }
}

bool FolderWritable(const std::wstring& folder) {
    // A hidden file of a fresh name, deleted when its handle closes; no other file is touched.
    DWORD serial = GetCurrentProcessId() * 7919u + GetTickCount();
    for (int attempt = 0; attempt < 100; ++attempt, ++serial) {
        wchar_t name[32];
        std::swprintf(name, 32, L"\\~qd-write-%08lX.tmp", static_cast<unsigned long>(serial));
        const tk::ScopedFile probe(CreateFileW((folder + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                               FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE,
                                               nullptr));
        if (probe.Valid()) return true;
        if (GetLastError() != ERROR_FILE_EXISTS) return false;
    }
    return false;
}

std::wstring OptionsFileFor(const std::wstring& programFolder, const std::wstring& appData,
                            const std::function<bool(const std::wstring& folder)>& writable) {
    const std::wstring beside = ChooseOptionsPlace(programFolder, false, true, L"").File;
    const bool besideExists = GetFileAttributesW(beside.c_str()) != INVALID_FILE_ATTRIBUTES;
    const OptionsPlace place = ChooseOptionsPlace(programFolder, besideExists, writable(programFolder), appData);
    if (place.PerUser) {
        // The profile functions make no folders; a file there already is never replaced.
        MakeFolders(std::filesystem::path(place.File).parent_path().wstring());
        if (place.CopyBesideFirst) CopyFileW(beside.c_str(), place.File.c_str(), TRUE);
    }
    return place.File;
}

std::wstring OptionsFilePath() {
    const std::wstring exe = ExePath();
    const size_t slash = exe.find_last_of(L"\\/");
    return OptionsFileFor(slash == std::wstring::npos ? std::wstring() : exe.substr(0, slash), ApplicationDataFolder(),
                          &FolderWritable);
}

std::wstring HelpFilePath() {
    const std::wstring exe = ExePath();
    const size_t slash = exe.find_last_of(L"\\/");
    return (slash == std::wstring::npos ? std::wstring() : exe.substr(0, slash + 1)) + L"Quiverdir.html";
}

bool DirectoryExists(const std::wstring& path) {
    const UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS);
    const DWORD attributes = GetFileAttributesW(path.c_str());
    SetErrorMode(oldMode);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

int CALLBACK BrowseCallback(HWND window, UINT message, LPARAM, LPARAM) {
    if (message == BFFM_INITIALIZED) {
        // Centred by the client area's size, so the frame leaves it slightly off centre.
        int x = 0, y = 0;
        RECT client;
        if (GetClientRect(window, &client)) {
            x = (GetSystemMetrics(SM_CXSCREEN) - (client.right - client.left)) / 2;
            y = (GetSystemMetrics(SM_CYSCREEN) - (client.bottom - client.top)) / 2;
        }
        SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return 0;
}

namespace {

// The application's windows stay disabled while the picker is up; the error mode keeps the
// system's critical-error boxes away. Both are restored on every way out.
class PickerScope {
public:
    PickerScope() : disabled_(tk::EnabledThreadWindows()) {
        for (HWND w : disabled_) EnableWindow(w, FALSE);
        oldMode_ = SetErrorMode(SEM_FAILCRITICALERRORS);
    }
    ~PickerScope() {
        SetErrorMode(oldMode_);
        for (HWND w : disabled_) EnableWindow(w, TRUE);
    }
    PickerScope(const PickerScope&) = delete;
    PickerScope& operator=(const PickerScope&) = delete;

private:
    std::vector<HWND> disabled_;
    UINT oldMode_ = 0;
};

}  // namespace

bool BrowseForFolder(const std::wstring& title, const std::wstring& root, std::wstring& dir) {
    if (!DirectoryExists(dir)) dir.clear();
    IMalloc* allocator = nullptr;
    if (FAILED(SHGetMalloc(&allocator)) || !allocator) return false;
    auto* name = static_cast<wchar_t*>(allocator->Alloc(MAX_PATH * sizeof(wchar_t)));
    if (!name) {
        allocator->Release();
        return false;
    }
    name[0] = L'\0';
    HWND owner = GetActiveWindow();

    LPITEMIDLIST rootItem = nullptr;
    if (!root.empty()) {
        IShellFolder* desktop = nullptr;
        if (SUCCEEDED(SHGetDesktopFolder(&desktop)) && desktop) {
            std::wstring text = root;
            desktop->ParseDisplayName(owner, nullptr, text.data(), nullptr, &rootItem, nullptr);
            desktop->Release();
        }
    }

    BROWSEINFOW info{};
    info.hwndOwner = owner;
    info.pidlRoot = rootItem;
    info.pszDisplayName = name;
    info.lpszTitle = title.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    info.lpfn = &BrowseCallback;
    info.lParam = 0;

    bool chosen = false;
    LPITEMIDLIST item = nullptr;
    {
        PickerScope scope;
        item = SHBrowseForFolderW(&info);
    }
    if (item) {
        // The path may be longer than the display-name buffer: ask with a buffer of its own.
        std::vector<wchar_t> path(MAX_PATH, L'\0');
        if (SHGetPathFromIDListW(item, path.data())) {
            dir = path.data();
            chosen = true;
        }
        allocator->Free(item);
    }
    if (rootItem) allocator->Free(rootItem);
    allocator->Free(name);
    allocator->Release();
    return chosen;
}

std::wstring WindowsDirectory() {
    std::vector<wchar_t> buffer(MAX_PATH);
    UINT n = GetWindowsDirectoryW(buffer.data(), static_cast<UINT>(buffer.size()));
    if (n >= buffer.size()) {
        buffer.resize(n + 1);
        n = GetWindowsDirectoryW(buffer.data(), static_cast<UINT>(buffer.size()));
    }
    return std::wstring(buffer.data(), n < buffer.size() ? n : 0);
}

}  // namespace qd
