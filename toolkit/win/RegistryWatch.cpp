#include "toolkit/win/RegistryWatch.h"

namespace tk {

TRegistryWatch::TRegistryWatch(std::wstring keyPath)
    : keyPath_(std::move(keyPath)), changed_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

void TRegistryWatch::PostOnChange(HWND window, UINT message) {
    window_ = window;
    message_ = message;
}

void CALLBACK TRegistryWatch::Signalled(void* self, BOOLEAN) {
    auto* watch = static_cast<TRegistryWatch*>(self);
    PostMessageW(watch->window_, watch->message_, 0, 0);
}

bool TRegistryWatch::Arm() {
    // The wait goes first: it may be running its callback, which the release waits for.
    wait_.reset();
    if (!changed_) return false;
    ResetEvent(changed_.get());
    HKEY key = nullptr;
    if (!key_ && RegOpenKeyExW(HKEY_CURRENT_USER, keyPath_.c_str(), 0, KEY_NOTIFY, &key) == ERROR_SUCCESS)
        key_.reset(key);
    if (!key_) return false;
    // The registry ends a notification when the thread that asked for it ends: armed by the
    // owner's thread (a window's), never by a thread of a pool.
    const LONG armed = RegNotifyChangeKeyValue(key_.get(), FALSE, REG_NOTIFY_CHANGE_NAME | REG_NOTIFY_CHANGE_LAST_SET,
                                               changed_.get(), TRUE);
    if (armed != ERROR_SUCCESS) {
        // The key was deleted: it is opened again once it is back.
        key_.reset();
        return false;
    }
    HANDLE wait = nullptr;
    if (window_ && RegisterWaitForSingleObject(&wait, changed_.get(), &TRegistryWatch::Signalled, this, INFINITE,
                                               WT_EXECUTEONLYONCE))
        wait_.reset(wait);
    return true;
}

bool TRegistryWatch::Changed() const {
    if (!key_ || !changed_) return true;
    return WaitForSingleObject(changed_.get(), 0) == WAIT_OBJECT_0;
}

}  // namespace tk
