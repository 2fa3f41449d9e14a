// Watches one key under HKEY_CURRENT_USER for changes of its values (a value added, removed or
// written): the registry signals an event, and a window may be told by a posted message. A
// notification is given once per arming: the owner arms the watch again (Arm) before it reads what
// changed, so a change made while it reads is reported too.
#pragma once

#include <windows.h>

#include <string>

#include "toolkit/win/Scoped.h"

namespace tk {

class TRegistryWatch {
public:
    explicit TRegistryWatch(std::wstring keyPath);
    TRegistryWatch(const TRegistryWatch&) = delete;
    TRegistryWatch& operator=(const TRegistryWatch&) = delete;

    // Posts message to window at the next change after each arming (nullptr: no message).
    void PostOnChange(HWND window, UINT message);
    // Clears what was reported and watches for the next change. False when the key cannot be
    // watched (it does not exist, or went): Changed() then always answers true, and the next Arm
    // tries to open the key again.
    bool Arm();
    // Whether the key may have changed since the last Arm: true when it did, or cannot be watched.
    bool Changed() const;
    bool Armed() const { return static_cast<bool>(key_); }

private:
    static void CALLBACK Signalled(void* self, BOOLEAN timedOut);

    std::wstring keyPath_;
    ScopedRegKey key_;               // the key, opened for change notifications
    ScopedKernelHandle changed_;     // set by the registry when the key changes
    ScopedWait wait_;                // the wait that posts the message
    HWND window_ = nullptr;
    UINT message_ = 0;
};

}  // namespace tk
