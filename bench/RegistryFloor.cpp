// The registry work alone, as the floor of the list commands that the window benchmark measures:
// reading a list of pairs, or writing (or deleting) them, under one key opened once. A program of
// its own, so that the floor is measured in a process as fresh as the window's. Prints the time in
// milliseconds on standard output.
//
//   bench_registry_floor.exe read KEY COUNT          RegQueryValueEx of N0, P0 .. N<COUNT-1>, P<COUNT-1>
//   bench_registry_floor.exe write KEY FIRST COUNT   RegSetValueEx of the pairs FIRST .. FIRST+COUNT-1
//   bench_registry_floor.exe delete KEY FIRST COUNT  RegDeleteValue of those pairs
// KEY is below HKEY_CURRENT_USER. Exit status 1 when a value cannot be read or written.
#include <windows.h>
#include <shellapi.h>

#include <chrono>
#include <cstdio>
#include <string>

namespace {

int Fail(const char* what) {
    std::fprintf(stderr, "%s\n", what);
    return 1;
}

}  // namespace

int main() {
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc < 4) return Fail("usage: read KEY COUNT | write KEY FIRST COUNT | delete KEY FIRST COUNT");
    const std::wstring mode = argv[1], keyPath = argv[2];
    const int first = mode == L"read" ? 0 : _wtoi(argv[3]);
    const int count = mode == L"read" ? _wtoi(argv[3]) : argc > 4 ? _wtoi(argv[4]) : 0;
    const auto start = std::chrono::steady_clock::now();
    HKEY key = nullptr;
    if (mode == L"read") {
        if (RegOpenKeyExW(HKEY_CURRENT_USER, keyPath.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
            return Fail("cannot open the key");
    } else if (RegCreateKeyExW(HKEY_CURRENT_USER, keyPath.c_str(), 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &key,
                               nullptr) != ERROR_SUCCESS) {
        return Fail("cannot open the key for writing");
    }
    wchar_t data[1024];
    for (int i = first; i < first + count; ++i) {
        for (const wchar_t* prefix : {L"N", L"P"}) {
            const std::wstring name = prefix + std::to_wstring(i);
            if (mode == L"read") {
                DWORD type = 0, bytes = sizeof(data);
                if (RegQueryValueExW(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data), &bytes) !=
                    ERROR_SUCCESS)
                    return Fail("cannot read a value");
            } else if (mode == L"write") {
                const std::wstring text = (prefix[0] == L'N' ? L"floor " : L"C:\\Floor\\") + std::to_wstring(100000 + i);
                if (RegSetValueExW(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                                   static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))) != ERROR_SUCCESS)
                    return Fail("cannot write a value");
            } else {
                RegDeleteValueW(key, name.c_str());
            }
        }
    }
    RegCloseKey(key);
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    std::printf("%.3f\n", ms);
    LocalFree(argv);
    return 0;
}
