// Owners for COM: an interface pointer whose reference is released, memory from the COM task
// allocator that is freed, and the thread's COM initialisation that is undone, each when the scope
// ends, however it ends.
#pragma once

#include <windows.h>
#include <objbase.h>

#include <utility>

namespace tk {

// One reference to a COM object.
template <typename T>
class ComPtr {
public:
    ComPtr() = default;
    ~ComPtr() { reset(); }
    ComPtr(ComPtr&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) {
            reset();
            object_ = std::exchange(other.object_, nullptr);
        }
        return *this;
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;

    T* get() const { return object_; }
    T* operator->() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }

    // Where a function that hands out a new reference puts it; what was held before is released.
    T** put() {
        reset();
        return &object_;
    }
    void** put_void() { return reinterpret_cast<void**>(put()); }
    void reset() {
        if (T* object = std::exchange(object_, nullptr)) object->Release();
    }
    // The same object through another of its interfaces; empty when it has none such.
    template <typename U>
    ComPtr<U> As(REFIID iid) const {
        ComPtr<U> other;
        if (object_ && FAILED(object_->QueryInterface(iid, other.put_void()))) other.reset();
        return other;
    }

private:
    T* object_ = nullptr;
};

// A block from the COM task allocator (an item id list, a string the shell returned).
template <typename T>
class CoTaskMem {
public:
    CoTaskMem() = default;
    explicit CoTaskMem(T* block) : block_(block) {}
    ~CoTaskMem() { CoTaskMemFree(block_); }
    CoTaskMem(const CoTaskMem&) = delete;
    CoTaskMem& operator=(const CoTaskMem&) = delete;

    T* get() const { return block_; }
    T** put() {
        CoTaskMemFree(std::exchange(block_, nullptr));
        return &block_;
    }
    explicit operator bool() const { return block_ != nullptr; }

private:
    T* block_ = nullptr;
};

// COM for this thread (apartment threaded) while the owner lives. A thread whose COM was
// initialised before keeps it as it was.
class ScopedComInit {
public:
    ScopedComInit() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ScopedComInit() {
        if (SUCCEEDED(result_)) CoUninitialize();
    }
    ScopedComInit(const ScopedComInit&) = delete;
    ScopedComInit& operator=(const ScopedComInit&) = delete;

private:
    HRESULT result_;
};

}  // namespace tk
