// The store's key-value accessor on the current user's registry hive.
#pragma once

#include <memory>

#include "app/ShortcutStore.h"
#include "toolkit/win/Registry.h"

namespace qd {

class RegistryAccessor : public KeyValueAccessor {
public:
    bool KeyExists(const std::wstring& keyPath) override { return registry_.KeyExists(keyPath); }
    bool OpenKey(const std::wstring& keyPath, bool canCreate) override { return registry_.OpenKey(keyPath, canCreate); }
    std::wstring ReadString(const std::wstring& name) override { return registry_.ReadString(name); }
    void WriteString(const std::wstring& name, const std::wstring& text) override { registry_.WriteString(name, text); }
    void DeleteValue(const std::wstring& name) override { registry_.DeleteValue(name); }
    void CloseKey() override { registry_.CloseKey(); }

private:
    tk::TRegistry registry_;
};

inline AccessorFactory RegistryAccessors() {
    return [] { return std::make_unique<RegistryAccessor>(); };
}

}  // namespace qd
