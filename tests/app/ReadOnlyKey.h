// Makes a registry key readable but not writable, as a key of another account or one locked by an
// administrator is: opening it for writing is refused (access denied), opening it for reading is
// not. The key's own permissions come back when the scope ends, so the test can remove it.
#pragma once

#include <windows.h>
#include <sddl.h>

#include <memory>
#include <string>
#include <vector>

#include "toolkit/win/Scoped.h"

namespace qdtest {

class ReadOnlyKey {
public:
    explicit ReadOnlyKey(std::wstring path) : path_(std::move(path)) {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, READ_CONTROL | WRITE_DAC, &key) != ERROR_SUCCESS) return;
        tk::ScopedRegKey owned(key);
        DWORD size = 0;
        RegGetKeySecurity(key, DACL_SECURITY_INFORMATION, nullptr, &size);
        saved_.resize(size);
        if (size == 0 || RegGetKeySecurity(key, DACL_SECURITY_INFORMATION, saved_.data(), &size) != ERROR_SUCCESS)
            saved_.clear();
        // Everyone may read the key and change its permissions back; nobody may write it.
        applied_ = SetDacl(key, L"D:P(A;;KR;;;WD)");
    }
    ~ReadOnlyKey() {
        HKEY key = nullptr;
        if (!applied_ || RegOpenKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, WRITE_DAC, &key) != ERROR_SUCCESS) return;
        tk::ScopedRegKey owned(key);
        if (saved_.empty()) {
            SetDacl(key, L"D:(A;;KA;;;WD)");
        } else {
            RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, saved_.data());
        }
    }
    ReadOnlyKey(const ReadOnlyKey&) = delete;
    ReadOnlyKey& operator=(const ReadOnlyKey&) = delete;
    // False when the permissions could not be changed (the test cannot run then).
    bool Applied() const { return applied_; }

private:
    static bool SetDacl(HKEY key, const wchar_t* sddl) {
        PSECURITY_DESCRIPTOR sd = nullptr;
        if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &sd, nullptr)) return false;
        std::unique_ptr<void, decltype(&LocalFree)> owned(sd, &LocalFree);
        return RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, sd) == ERROR_SUCCESS;
    }

    std::wstring path_;
    std::vector<BYTE> saved_;
    bool applied_ = false;
};

}  // namespace qdtest
