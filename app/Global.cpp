#include "app/Global.h"

#include <windows.h>

#include <vector>

#include "toolkit/win/IniFile.h"

namespace qd {

TAppOptions AppOptions;

namespace {
constexpr wchar_t kSection[] = L"Options";
}

void ReadWriteOptionsFile(const std::wstring& fileName, bool load) {
    tk::TIniFile ini(fileName);
    if (load) {
        AppOptions.ExploreFolder = ini.ReadBool(kSection, L"ExploreFolder", true);
        AppOptions.AskDelete = ini.ReadBool(kSection, L"AskDelete", true);
        AppOptions.ShowTips = ini.ReadBool(kSection, L"ShowTips", false);
    } else {
        ini.WriteBool(kSection, L"ExploreFolder", AppOptions.ExploreFolder);
        ini.WriteBool(kSection, L"AskDelete", AppOptions.AskDelete);
        ini.WriteBool(kSection, L"ShowTips", AppOptions.ShowTips);
    }
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

std::wstring OptionsFilePath() {
    const std::wstring exe = ExePath();
    const size_t slash = exe.find_last_of(L"\\/");
    return (slash == std::wstring::npos ? std::wstring() : exe.substr(0, slash + 1)) + L"options.ini";
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
