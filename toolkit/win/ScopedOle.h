// Owners of the OLE, COM and clipboard resources that give them back when the scope ends, however
// it ends: OLE on the calling thread, references to COM objects, storage media handed out by a
// data object, locked global memory, the open clipboard and helper windows. None can be copied.
#pragma once

#include <windows.h>
#include <ole2.h>

#include <utility>

#include "toolkit/win/Scoped.h"

namespace tk {

// OLE initialised on the calling thread while the owner lives (initialisations nest; each
// successful one is undone once).
class OleScope {
public:
    OleScope() : result_(OleInitialize(nullptr)) {}
    ~OleScope() {
        if (SUCCEEDED(result_)) OleUninitialize();
    }
    OleScope(const OleScope&) = delete;
    OleScope& operator=(const OleScope&) = delete;
    bool Initialized() const { return SUCCEEDED(result_); }
    HRESULT Result() const { return result_; }

private:
    HRESULT result_;
};

// One reference to a COM object, released at the end of the scope.
template <typename T>
class ScopedComPtr {
public:
    ScopedComPtr() = default;
    // Takes over a reference the caller holds.
    explicit ScopedComPtr(T* adopted) : object_(adopted) {}
    ~ScopedComPtr() { reset(); }
    ScopedComPtr(ScopedComPtr&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
    ScopedComPtr& operator=(ScopedComPtr&& other) noexcept {
        if (this != &other) reset(std::exchange(other.object_, nullptr));
        return *this;
    }
    ScopedComPtr(const ScopedComPtr&) = delete;
    ScopedComPtr& operator=(const ScopedComPtr&) = delete;

    T* get() const { return object_; }
    T* operator->() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }
    // Releases the reference held (if any) and takes over the given one.
    void reset(T* adopted = nullptr) {
        if (object_) object_->Release();
        object_ = adopted;
    }
    // For a function that hands out a new reference through a pointer to a pointer.
    T** put() {
        reset();
        return &object_;
    }

private:
    T* object_ = nullptr;
};

// A storage medium filled by a data object (IDataObject::GetData), released at the end of the scope.
class ScopedStgMedium {
public:
    ScopedStgMedium() = default;
    ~ScopedStgMedium() {
        if (medium_.tymed != TYMED_NULL) ReleaseStgMedium(&medium_);
    }
    ScopedStgMedium(const ScopedStgMedium&) = delete;
    ScopedStgMedium& operator=(const ScopedStgMedium&) = delete;
    STGMEDIUM* put() { return &medium_; }
    const STGMEDIUM& get() const { return medium_; }

private:
    STGMEDIUM medium_{};  // TYMED_NULL: nothing to release
};

// A global memory block locked while the owner lives. Data() is nullptr when it cannot be locked.
class ScopedGlobalLock {
public:
    explicit ScopedGlobalLock(HGLOBAL memory) : memory_(memory), data_(memory ? GlobalLock(memory) : nullptr) {}
    ~ScopedGlobalLock() {
        if (data_) GlobalUnlock(memory_);
    }
    ScopedGlobalLock(const ScopedGlobalLock&) = delete;
    ScopedGlobalLock& operator=(const ScopedGlobalLock&) = delete;
    const void* Data() const { return data_; }
    void* Data() { return data_; }
    // The size of the block in bytes (it may be larger than what was asked for).
    SIZE_T Size() const { return data_ ? GlobalSize(memory_) : 0; }

private:
    HGLOBAL memory_;
    void* data_;
};

// The clipboard opened for a window, closed at the end of the scope.
class ScopedClipboard {
public:
    explicit ScopedClipboard(HWND owner) : open_(OpenClipboard(owner) != FALSE) {}
    ~ScopedClipboard() {
        if (open_) CloseClipboard();
    }
    ScopedClipboard(const ScopedClipboard&) = delete;
    ScopedClipboard& operator=(const ScopedClipboard&) = delete;
    bool Open() const { return open_; }

private:
    bool open_;
};

struct FreeWindow {
    void operator()(HWND window) const { DestroyWindow(window); }
};
// A window of the program's own (a hidden helper window, say), destroyed at the end of the scope.
using ScopedWindow = ScopedHandleOf<HWND, FreeWindow>;

}  // namespace tk
