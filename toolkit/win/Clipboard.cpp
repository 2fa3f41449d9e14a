#include "toolkit/win/Clipboard.h"

#include <cstring>

#include "toolkit/Exception.h"
#include "toolkit/win/FileDrop.h"
#include "toolkit/win/ScopedOle.h"

namespace tk {

std::wstring ClipboardTextOf(const void* block, size_t size) {
    std::wstring text;
    if (!block) return text;
    const auto* bytes = static_cast<const unsigned char*>(block);
    for (size_t at = 0; at + sizeof(wchar_t) <= size; at += sizeof(wchar_t)) {
        wchar_t c;
        std::memcpy(&c, bytes + at, sizeof(c));
        if (c == 0) break;
        text += c;
    }
    return text;
}

ClipboardFiles ReadClipboardFiles(HWND owner) {
    // Another program may have it open for a moment (a clipboard viewer reading it, say).
    for (int attempt = 0;; ++attempt) {
        ScopedClipboard clipboard(owner);
        if (!clipboard.Open()) {
            if (attempt == 20) throw Exception(L"The clipboard is in use by another program; try again");
            Sleep(25);
            continue;
        }
        ClipboardFiles result;
        if (HANDLE list = GetClipboardData(CF_HDROP)) {
            result.HasFileList = true;
            result.FileNames = FileListNames(static_cast<HDROP>(list));
        } else if (HANDLE text = GetClipboardData(CF_UNICODETEXT)) {
            const ScopedGlobalLock lock(static_cast<HGLOBAL>(text));
            result.HasText = lock.Data() != nullptr;
            result.Text = ClipboardTextOf(lock.Data(), lock.Size());
        }
        return result;
    }
}

}  // namespace tk
