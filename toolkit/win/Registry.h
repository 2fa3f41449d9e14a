// Registry accessor over one root key (the current user's by default): open or create a key by
// path, read and write string values, delete values. Errors are raised as ERegistryException.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "toolkit/win/Scoped.h"

namespace tk {

class TRegistry {
public:
    explicit TRegistry(HKEY root = HKEY_CURRENT_USER) : root_(root) {}
    ~TRegistry() { CloseKey(); }
    TRegistry(const TRegistry&) = delete;
    TRegistry& operator=(const TRegistry&) = delete;

    // True when the key exists; never creates it.
    bool KeyExists(const std::wstring& path) const;
    // The access OpenKey asks for: full access unless set otherwise (KEY_WRITE for a key that is
    // only written). A key the user may not open so is refused, as a missing one is.
    void SetAccess(REGSAM access) { access_ = access; }
    REGSAM Access() const { return access_; }
    // Opens the key (relative to the root) with Access(), creating it when canCreate is true.
    // Closes any key opened before. False when it cannot be opened.
    bool OpenKey(const std::wstring& path, bool canCreate);
    // Opens the key for reading only (KEY_READ), never creating it; a key the user may read but
    // not write opens. False when it cannot be opened.
    bool OpenKeyReadOnly(const std::wstring& path);
    void CloseKey();
    bool HasCurrentKey() const { return current_.get() != nullptr; }

    // The text of a string value; an absent or empty value gives "". A value of another type
    // raises "Invalid data type for '<name>'".
    std::wstring ReadString(const std::wstring& name) const;
    // Stores text as REG_SZ; failure raises "Failed to set data for '<name>'".
    void WriteString(const std::wstring& name, const std::wstring& text) const;
    bool ValueExists(const std::wstring& name) const;
    // The names of the open key's values, in the registry's order; none when no key is open. The
    // key must have been opened with the right to query values.
    std::vector<std::wstring> ValueNames() const;
    // How many values the open key holds; nullopt when no key is open or the system does not say.
    std::optional<size_t> ValueCount() const;
    // True when the value is gone afterwards: removed, or absent before. False when it is still
    // there (no key open, or the key refuses).
    bool DeleteValue(const std::wstring& name) const;
    // Waits until the open key's changes are on the disk; false when it fails or no key is open.
    // The key must have been opened with the right to query values (OpenKeyReadOnly, or OpenKey
    // with full access).
    bool Flush() const;
    // Removes a key and everything below it (tests clean up their private keys with it).
    bool DeleteKey(const std::wstring& path) const;

private:
    HKEY root_;
    ScopedRegKey current_;
    REGSAM access_ = KEY_ALL_ACCESS;
};

}  // namespace tk
