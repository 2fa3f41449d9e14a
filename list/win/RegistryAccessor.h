// The store's key-value accessor on the current user's registry hive. It reads with read access
// and writes with write access only, so a key the user may read but not write still loads.
#pragma once

#include <memory>

#include "list/ShortcutStore.h"
#include "toolkit/Exception.h"
#include "toolkit/Text.h"
#include "toolkit/win/Registry.h"

namespace qd {

class RegistryAccessor : public KeyValueAccessor {
public:
    RegistryAccessor() { registry_.SetAccess(KEY_WRITE); }
    bool KeyExists(const std::wstring& keyPath) override { return registry_.KeyExists(keyPath); }
    bool OpenKeyReadOnly(const std::wstring& keyPath) override { return registry_.OpenKeyReadOnly(keyPath); }
    bool OpenKey(const std::wstring& keyPath, bool canCreate) override { return registry_.OpenKey(keyPath, canCreate); }
    std::wstring ReadString(const std::wstring& name) override { return registry_.ReadString(name); }
    void WriteString(const std::wstring& name, const std::wstring& text) override { registry_.WriteString(name, text); }
    void DeleteValue(const std::wstring& name) override {
        if (!registry_.DeleteValue(name))
            throw tk::ERegistryException(tk::FormatText(L"Failed to delete '%s'", {name}));
    }
    void Flush() override {
        if (!registry_.Flush()) throw tk::ERegistryException(L"Failed to write the registry to the disk");
    }
    std::optional<std::vector<std::wstring>> ValueNames() override { return registry_.ValueNames(); }
    std::optional<size_t> ValueCount() override { return registry_.ValueCount(); }
    void CloseKey() override { registry_.CloseKey(); }

private:
    tk::TRegistry registry_;
};

inline AccessorFactory RegistryAccessors() {
    return [] { return std::make_unique<RegistryAccessor>(); };
}

}  // namespace qd
