#include "toolkit/win/FileDrop.h"

#include <shlobj.h>

#include <cstring>

#include "toolkit/Exception.h"
#include "toolkit/Text.h"
#include "toolkit/win/Application.h"

namespace tk {

namespace {

constexpr wchar_t kDeliveryClass[] = L"tk.FileDropDelivery";
constexpr UINT kDeliverMessage = WM_APP + 1;

std::wstring HresultText(HRESULT hr) {
    wchar_t text[16];
    swprintf(text, 16, L"0x%08lX", static_cast<unsigned long>(hr));
    return text;
}

FORMATETC FileListFormat() { return {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL}; }

bool HoldsFileList(IDataObject* data) {
    FORMATETC format = FileListFormat();
    return data && data->QueryGetData(&format) == S_OK;
}

std::vector<std::wstring> ReadFileList(IDataObject* data) {
    if (!data) return {};
    FORMATETC format = FileListFormat();
    ScopedStgMedium medium;
    if (FAILED(data->GetData(&format, medium.put())) || medium.get().tymed != TYMED_HGLOBAL) return {};
    return FileListNames(static_cast<HDROP>(medium.get().hGlobal));
}

}  // namespace

std::vector<std::wstring> ParseFileList(const void* block, size_t size) {
    // DROPFILES, then the names from its offset on, each ended by a zero, the list by an empty
    // name. Everything is read within the block: a name that runs to its end unterminated is cut
    // off data, not a name.
    std::vector<std::wstring> names;
    DROPFILES header;
    if (!block || size < sizeof(header)) return names;
    std::memcpy(&header, block, sizeof(header));
    const auto* bytes = static_cast<const unsigned char*>(block);
    size_t at = header.pFiles;
    if (at < sizeof(header) || at >= size) return names;
    if (header.fWide) {
        std::wstring name;
        for (; at + sizeof(wchar_t) <= size; at += sizeof(wchar_t)) {
            wchar_t c;
            std::memcpy(&c, bytes + at, sizeof(c));
            if (c != 0) {
                name += c;
            } else if (name.empty()) {
                break;
            } else {
                names.push_back(std::move(name));
                name.clear();
            }
        }
    } else {
        const char* text = reinterpret_cast<const char*>(bytes);
        while (at < size && text[at] != 0) {
            const void* end = std::memchr(text + at, 0, size - at);
            if (!end) break;
            const size_t length = static_cast<const char*>(end) - (text + at);
            const int wide = MultiByteToWideChar(CP_ACP, 0, text + at, static_cast<int>(length), nullptr, 0);
            std::wstring name(static_cast<size_t>(wide), L'\0');
            MultiByteToWideChar(CP_ACP, 0, text + at, static_cast<int>(length), name.data(), wide);
            names.push_back(std::move(name));
            at += length + 1;
        }
    }
    return names;
}

std::vector<std::wstring> FileListNames(HDROP list) {
    const ScopedGlobalLock lock(reinterpret_cast<HGLOBAL>(list));
    return ParseFileList(lock.Data(), lock.Size());
}

DWORD FileDropEffect(DWORD allowed) {
    if (allowed & DROPEFFECT_LINK) return DROPEFFECT_LINK;
    if (allowed & DROPEFFECT_COPY) return DROPEFFECT_COPY;
    return DROPEFFECT_NONE;
}

// The COM object the dragging program talks to. It lives as long as anyone holds a reference;
// once its owner has gone it takes nothing.
class FileDropTarget::Target : public IDropTarget {
public:
    explicit Target(FileDropTarget* owner) : owner_(owner) {}
    void Detach() { owner_ = nullptr; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDropTarget)) {
            *object = static_cast<IDropTarget*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&references_);
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }

    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD, POINTL, DWORD* effect) override {
        if (!effect) return E_INVALIDARG;
        holdsFiles_ = owner_ && HoldsFileList(data);
        return DragOver(0, {}, effect);
    }
    HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL, DWORD* effect) override {
        if (!effect) return E_INVALIDARG;
        *effect = holdsFiles_ ? FileDropEffect(*effect) : DROPEFFECT_NONE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragLeave() override {
        holdsFiles_ = false;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) override {
        if (!effect) return E_INVALIDARG;
        holdsFiles_ = false;
        const DWORD allowed = *effect;
        *effect = DROPEFFECT_NONE;
        // Nothing may unwind into the dragging program's call.
        try {
            std::vector<std::wstring> names = owner_ ? ReadFileList(data) : std::vector<std::wstring>();
            if (names.empty() || FileDropEffect(allowed) == DROPEFFECT_NONE) return S_OK;
            owner_->Deliver(std::move(names));
            *effect = FileDropEffect(allowed);
            return S_OK;
        } catch (...) {
            Application().DeferException(std::current_exception());
            return E_UNEXPECTED;
        }
    }

private:
    virtual ~Target() = default;
    LONG references_ = 1;
    FileDropTarget* owner_;
    bool holdsFiles_ = false;
};

FileDropTarget::FileDropTarget(HWND window, DropHandler onDrop) : window_(window), onDrop_(std::move(onDrop)) {
    if (!ole_.Initialized())
        throw Exception(FormatText(L"OLE could not be started for dropping files (%s)", {HresultText(ole_.Result())}));
    delivery_.reset(CreateHelperWindow(kDeliveryClass, &DeliveryProc, 0, 0, HWND_MESSAGE));
    if (!delivery_) throw Exception(L"The window that receives dropped files could not be created");
    SetWindowLongPtrW(delivery_.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    target_.reset(new Target(this));
    const HRESULT hr = RegisterDragDrop(window, target_.get());
    if (FAILED(hr)) throw Exception(FormatText(L"The window could not take dropped files (%s)", {HresultText(hr)}));
    registered_ = true;
}

FileDropTarget::~FileDropTarget() {
    if (registered_) RevokeDragDrop(window_);
    // A dragging program may still hold the object for a moment: it takes nothing from now on.
    if (target_) target_->Detach();
    if (delivery_) SetWindowLongPtrW(delivery_.get(), GWLP_USERDATA, 0);
}

void FileDropTarget::Deliver(std::vector<std::wstring> names) {
    pending_.push_back(std::move(names));
    if (!PostMessageW(delivery_.get(), kDeliverMessage, 0, 0)) {
        pending_.pop_back();
        throw Exception(L"The dropped files could not be handed on");
    }
}

LRESULT CALLBACK FileDropTarget::DeliveryProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg != kDeliverMessage) return DefWindowProcW(window, msg, wParam, lParam);
    auto* self = reinterpret_cast<FileDropTarget*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self || self->pending_.empty()) return 0;
    const std::vector<std::wstring> names = std::move(self->pending_.front());
    self->pending_.pop_front();
    // The handler may end the target (its window closing), so it runs from a copy.
    const DropHandler handler = self->onDrop_;
    Application().Guarded([&] {
        if (handler) handler(names);
    });
    return 0;
}

}  // namespace tk
