// The one place of the reader that asks the operating system: the temporary folder and a GUID.
#include "skin/reader/TempFileName.h"

#include <cstdint>
#include <cstdio>
#include <random>

#ifdef _WIN32
#include <windows.h>
#include <objbase.h>
#endif

namespace skin {

std::wstring NewGuidText() {
#ifdef _WIN32
    GUID guid{};
    wchar_t text[40] = {};
    if (SUCCEEDED(CoCreateGuid(&guid)) && StringFromGUID2(guid, text, 40) == 39) return text;
#endif
    // A version 4 GUID from a random source (also the fallback if the system call fails).
    static thread_local std::mt19937_64 engine{std::random_device{}()};
    std::uint64_t hi = engine(), lo = engine();
    hi = (hi & ~0xF000ull) | 0x4000ull;
    lo = (lo & ~(0xC0ull << 56)) | (0x80ull << 56);
    wchar_t text2[40];
    std::swprintf(text2, 40, L"{%08X-%04X-%04X-%04X-%012llX}", static_cast<unsigned>(hi >> 32),
                  static_cast<unsigned>((hi >> 16) & 0xFFFF), static_cast<unsigned>(hi & 0xFFFF),
                  static_cast<unsigned>(lo >> 48), static_cast<unsigned long long>(lo & 0xFFFFFFFFFFFFull));
    return text2;
}

std::filesystem::path NewTempFileName() {
#ifdef _WIN32
    wchar_t folder[MAX_PATH + 2] = {};
    const DWORD n = GetTempPathW(MAX_PATH + 1, folder);
    std::wstring dir = (n > 0 && n <= MAX_PATH + 1) ? std::wstring(folder, n) : std::wstring(L".\\");
    if (dir.back() != L'\\') dir += L'\\';
    return std::filesystem::path(dir + NewGuidText());
#else
    std::error_code ec;
    std::filesystem::path dir = std::filesystem::temp_directory_path(ec);
    if (ec) dir = "/tmp";
    return dir / std::filesystem::path(NewGuidText());
#endif
}

}  // namespace skin
