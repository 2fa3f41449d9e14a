#include "toolkit/FolderPath.h"

namespace tk {

namespace {

bool IsSlash(wchar_t c) { return c == L'\\' || c == L'/'; }

wchar_t AsciiLower(wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

bool StartsWithIgnoringAsciiCase(std::wstring_view text, std::wstring_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (AsciiLower(text[i]) != AsciiLower(prefix[i])) return false;
    return true;
}

std::wstring DriveRoot(std::wstring_view path) {
    if (path.size() < 2 || path[1] != L':') return {};
    const wchar_t letter = AsciiLower(path[0]);
    if (letter < L'a' || letter > L'z') return {};
    return {letter, L':'};
}

std::wstring ServerRoot(std::wstring_view rest) {
    // rest starts just after the two slashes: the server name runs to the next slash.
    size_t end = 0;
    while (end < rest.size() && !IsSlash(rest[end])) ++end;
    if (end == 0) return {};
    std::wstring root = L"\\\\";
    for (size_t i = 0; i < end; ++i) root.push_back(AsciiLower(rest[i]));
    return root;
}

// "X:\" for a path that starts with a drive letter and a colon.
std::wstring DriveVolume(std::wstring_view path) {
    if (DriveRoot(path).empty()) return {};
    return {path[0], L':', L'\\'};
}

// "\\server\share\" for the text after the two leading slashes of a network path.
std::wstring ShareVolume(std::wstring_view rest) {
    size_t server = 0;
    while (server < rest.size() && !IsSlash(rest[server])) ++server;
    if (server == 0 || server == rest.size()) return {};
    size_t share = server + 1;
    while (share < rest.size() && !IsSlash(rest[share])) ++share;
    if (share == server + 1) return {};
    std::wstring root = L"\\\\";
    root.append(rest.substr(0, server));
    root.push_back(L'\\');
    root.append(rest.substr(server + 1, share - server - 1));
    root.push_back(L'\\');
    return root;
}

}  // namespace

std::wstring VolumeRoot(std::wstring_view path) {
    if (path.size() >= 2 && IsSlash(path[0]) && IsSlash(path[1])) {
        if (path.size() >= 4 && (path[2] == L'?' || path[2] == L'.') && IsSlash(path[3])) {
            const std::wstring_view rest = path.substr(4);
            if (StartsWithIgnoringAsciiCase(rest, L"UNC") && rest.size() > 3 && IsSlash(rest[3]))
                return ShareVolume(rest.substr(4));
            return DriveVolume(rest);
        }
        return ShareVolume(path.substr(2));
    }
    return DriveVolume(path);
}

bool IsFullPath(std::wstring_view path) {
    const auto isDriveLetter = [](wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); };
    const bool drive = path.size() >= 3 && isDriveLetter(path[0]) && path[1] == L':' && IsSlash(path[2]);
    const bool share = path.size() >= 3 && IsSlash(path[0]) && IsSlash(path[1]) && !IsSlash(path[2]);
    return drive || share;
}

std::wstring FolderRoot(std::wstring_view path) {
    if (path.size() >= 2 && IsSlash(path[0]) && IsSlash(path[1])) {
        // "\\?\" and "\\.\" name a device path: a drive or "UNC\server" follows.
        if (path.size() >= 4 && (path[2] == L'?' || path[2] == L'.') && IsSlash(path[3])) {
            const std::wstring_view rest = path.substr(4);
            if (StartsWithIgnoringAsciiCase(rest, L"UNC") && rest.size() > 3 && IsSlash(rest[3]))
                return ServerRoot(rest.substr(4));
            return DriveRoot(rest);
        }
        return ServerRoot(path.substr(2));
    }
    return DriveRoot(path);
}

}  // namespace tk
