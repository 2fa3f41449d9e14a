#include "toolkit/win/Clipboard.h"

#include <cstring>
#include <memory>

#include "toolkit/Exception.h"
#include "toolkit/win/FileDrop.h"
#include "toolkit/win/Scoped.h"
#include "toolkit/win/ScopedOle.h"

namespace tk {

namespace {

struct FreeGlobal {
    void operator()(HGLOBAL memory) const { GlobalFree(memory); }
};
// Movable global memory, freed at the end of the scope unless the clipboard took it over.
using ScopedGlobal = ScopedHandleOf<HGLOBAL, FreeGlobal>;

// The clipboard opened for this thread; nullptr when it stayed held by another program. Clipboard
// viewers and managers open it briefly after every change, so it is asked again for about half a
// second.
std::unique_ptr<ScopedClipboard> OpenClipboardWaiting(HWND owner) {
    for (int attempt = 0; attempt < 25; ++attempt) {
        if (attempt > 0) Sleep(20);
        auto clipboard = std::make_unique<ScopedClipboard>(owner);
        if (clipboard->Open()) return clipboard;
    }
    return nullptr;
}

}  // namespace

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
    const auto clipboard = OpenClipboardWaiting(owner);
    if (!clipboard) throw Exception(L"The clipboard is in use by another program; try again");
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

bool SetClipboardText(HWND owner, const std::wstring& text) {
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    ScopedGlobal memory(GlobalAlloc(GMEM_MOVEABLE, bytes));
    if (!memory) return false;
    {
        ScopedGlobalLock lock(memory.get());
        if (!lock.Data()) return false;
        std::memcpy(lock.Data(), text.c_str(), bytes);
    }
    const auto clipboard = OpenClipboardWaiting(owner);
    if (!clipboard || !EmptyClipboard()) return false;
    if (!SetClipboardData(CF_UNICODETEXT, memory.get())) return false;
    memory.release();  // the clipboard's now
    return true;
}

}  // namespace tk
