// A look at a built or installed program from inside Windows, for the release test:
//   release_probe version FILE              the version resource and manifest, one NAME=VALUE a line
//   release_probe wait-window CLASS SECONDS  waits for a top-level window of that class, prints its caption
//   release_probe close-window CLASS SECONDS sends it WM_CLOSE and waits until no such window is left
// Output is UTF-8. Exit status 0 when it did what was asked, 1 when not, 2 on a wrong command line.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace {

void Print(const std::wstring& text) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), bytes.data(), n, nullptr, nullptr);
    bytes += '\n';
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

struct ModuleFree {
    void operator()(HMODULE module) const { FreeLibrary(module); }
};
using ModuleHandle = std::unique_ptr<std::remove_pointer_t<HMODULE>, ModuleFree>;

std::wstring FixedVersion(DWORD high, DWORD low) {
    return std::to_wstring(HIWORD(high)) + L"." + std::to_wstring(LOWORD(high)) + L"." +
           std::to_wstring(HIWORD(low)) + L"." + std::to_wstring(LOWORD(low));
}

// The manifest's requested execution level, or "none" without a manifest resource.
std::wstring ExecutionLevel(const wchar_t* file) {
    ModuleHandle module(LoadLibraryExW(file, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    if (!module) return L"unreadable";
    HRSRC res = FindResourceW(module.get(), MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    if (!res) return L"none";
    HGLOBAL data = LoadResource(module.get(), res);
    const char* text = data ? static_cast<const char*>(LockResource(data)) : nullptr;
    if (!text) return L"unreadable";
    const std::string manifest(text, SizeofResource(module.get(), res));
    const std::string key = "requestedExecutionLevel level=\"";
    const size_t at = manifest.find(key);
    if (at == std::string::npos) return L"unset";
    const size_t end = manifest.find('"', at + key.size());
    if (end == std::string::npos) return L"unset";
    const std::string level = manifest.substr(at + key.size(), end - at - key.size());
    return std::wstring(level.begin(), level.end());
}

int Version(const wchar_t* file) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(file, &ignored);
    if (size == 0) {
        Print(L"no version resource");
        return 1;
    }
    std::vector<unsigned char> info(size);
    if (!GetFileVersionInfoW(file, 0, size, info.data())) return 1;
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) && fixed) {
        Print(L"FixedFileVersion=" + FixedVersion(fixed->dwFileVersionMS, fixed->dwFileVersionLS));
        Print(L"FixedProductVersion=" + FixedVersion(fixed->dwProductVersionMS, fixed->dwProductVersionLS));
    }
    struct Translation { WORD language, codePage; };
    Translation* translations = nullptr;
    if (!VerQueryValueW(info.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translations), &length) ||
        length < sizeof(Translation)) {
        Print(L"no translation");
        return 1;
    }
    wchar_t block[32];
    wsprintfW(block, L"\\StringFileInfo\\%04x%04x\\", translations[0].language, translations[0].codePage);
    Print(std::wstring(L"Translation=") + std::wstring(block + 16, 8));
    for (const wchar_t* name : {L"ProductName", L"ProductVersion", L"FileVersion", L"FileDescription",
                                L"CompanyName", L"LegalCopyright", L"OriginalFilename"}) {
        wchar_t* value = nullptr;
        if (VerQueryValueW(info.data(), (std::wstring(block) + name).c_str(), reinterpret_cast<void**>(&value), &length) && value)
            Print(std::wstring(name) + L"=" + value);
    }
    Print(L"ExecutionLevel=" + ExecutionLevel(file));
    return 0;
}

// Polls until the window of the class exists (want true) or is gone (want false).
HWND Await(const wchar_t* cls, bool want, double seconds) {
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(seconds * 1000);
    for (;;) {
        HWND window = FindWindowW(cls, nullptr);
        if ((window != nullptr) == want) return window;
        if (GetTickCount64() > deadline) return window;
        Sleep(50);
    }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc == 3 && std::wstring(argv[1]) == L"version") return Version(argv[2]);
    if (argc == 4 && std::wstring(argv[1]) == L"wait-window") {
        HWND window = Await(argv[2], true, _wtof(argv[3]));
        if (!window) return 1;
        wchar_t caption[256] = L"";
        GetWindowTextW(window, caption, 256);
        Print(caption);
        return 0;
    }
    if (argc == 4 && std::wstring(argv[1]) == L"close-window") {
        HWND window = FindWindowW(argv[2], nullptr);
        if (window) PostMessageW(window, WM_CLOSE, 0, 0);
        return Await(argv[2], false, _wtof(argv[3])) ? 1 : 0;
    }
    Print(L"usage: release_probe version FILE | wait-window CLASS SECONDS | close-window CLASS SECONDS");
    return 2;
}
