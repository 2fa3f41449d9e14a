#include "toolkit/win/Clipboard.h"

#include <cstring>

#include "toolkit/win/Scoped.h"

namespace tk {

namespace {

struct FreeGlobal {
    void operator()(HGLOBAL memory) const { GlobalFree(memory); }
};
// Movable global memory, freed at the end of the scope unless the clipboard took it over.
using ScopedGlobal = ScopedHandleOf<HGLOBAL, FreeGlobal>;

// The clipboard, opened for this thread until the end of the scope.
class ScopedClipboard {
public:
    explicit ScopedClipboard(HWND owner) {
        // Clipboard viewers and managers open it briefly after every change: wait for them.
        for (int attempt = 0; attempt < 25 && !open_; ++attempt) {
            if (attempt > 0) Sleep(20);
            open_ = OpenClipboard(owner) != FALSE;
        }
    }
    ~ScopedClipboard() {
        if (open_) CloseClipboard();
    }
    ScopedClipboard(const ScopedClipboard&) = delete;
    ScopedClipboard& operator=(const ScopedClipboard&) = delete;
    bool Open() const { return open_; }

private:
    bool open_ = false;
};

}  // namespace

bool SetClipboardText(HWND owner, const std::wstring& text) {
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    ScopedGlobal memory(GlobalAlloc(GMEM_MOVEABLE, bytes));
    if (!memory) return false;
    void* data = GlobalLock(memory.get());
    if (!data) return false;
    std::memcpy(data, text.c_str(), bytes);
    GlobalUnlock(memory.get());

    const ScopedClipboard clipboard(owner);
    if (!clipboard.Open() || !EmptyClipboard()) return false;
    if (!SetClipboardData(CF_UNICODETEXT, memory.get())) return false;
    memory.release();  // the clipboard's now
    return true;
}

}  // namespace tk
