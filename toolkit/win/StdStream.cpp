#include "toolkit/win/StdStream.h"

#include <string>

#include "toolkit/Text.h"

namespace tk {

namespace {

bool Usable(HANDLE h) {
    if (h == nullptr || h == INVALID_HANDLE_VALUE) return false;
    SetLastError(NO_ERROR);
    return GetFileType(h) != FILE_TYPE_UNKNOWN || GetLastError() == NO_ERROR;
}

// Attaches the process to its starter's console once; true when it has that console.
bool StarterConsole() {
    static const bool attached = AttachConsole(ATTACH_PARENT_PROCESS) != 0 || GetLastError() == ERROR_ACCESS_DENIED;
    return attached;
}

}  // namespace

TStdStream::TStdStream(TStdStreamKind kind) {
    HANDLE standard = GetStdHandle(kind == TStdStreamKind::Output ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
    if (Usable(standard)) {
        handle_ = standard;
    } else if (StarterConsole()) {
        console_ = std::make_unique<ScopedFile>(CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE,
                                                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                                            OPEN_EXISTING, 0, nullptr));
        if (console_->Valid()) handle_ = console_->get();
    }
    DWORD mode = 0;
    isConsole_ = handle_ && GetConsoleMode(handle_, &mode);
}

bool TStdStream::Write(std::wstring_view text) {
    if (!handle_) return false;
    if (text.empty()) return true;
    if (isConsole_) {
        DWORD written = 0;
        return WriteConsoleW(handle_, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
               written == text.size();
    }
    const std::string bytes = ToUtf8(text);
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD written = 0;
        if (!WriteFile(handle_, bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &written, nullptr) ||
            written == 0)
            return false;
        done += written;
    }
    return true;
}

}  // namespace tk
