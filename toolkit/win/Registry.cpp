#include "toolkit/win/Registry.h"

#include <algorithm>
#include <vector>

#include "toolkit/Exception.h"
#include "toolkit/Text.h"

namespace tk {

bool TRegistry::KeyExists(const std::wstring& path) const {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root_, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    const ScopedRegKey opened(key);
    return true;
}

bool TRegistry::OpenKey(const std::wstring& path, bool canCreate) {
    CloseKey();
    HKEY key = nullptr;
    LONG rc;
    if (canCreate) {
        rc = RegCreateKeyExW(root_, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access_, nullptr, &key, nullptr);
    } else {
        rc = RegOpenKeyExW(root_, path.c_str(), 0, access_, &key);
    }
    if (rc != ERROR_SUCCESS) return false;
    current_.reset(key);
    return true;
}

bool TRegistry::OpenKeyReadOnly(const std::wstring& path) {
    CloseKey();
    HKEY key = nullptr;
    if (RegOpenKeyExW(root_, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    current_.reset(key);
    return true;
}

void TRegistry::CloseKey() {
    current_.reset();
}

std::wstring TRegistry::ReadString(const std::wstring& name) const {
    if (!current_) return {};
    // One query for a value that fits the buffer on the stack (every alias and path of a list
    // does: a list of thousands is read in as many queries); a longer one is asked for again with
    // room for it. The stored bytes may lack the terminating zero, or carry more than one: all of
    // them are read, a zero is put after them, and the text ends at the first zero.
    constexpr DWORD kShortChars = 512;
    wchar_t shortBuffer[kShortChars + 1];
    std::vector<wchar_t> longBuffer;
    wchar_t* buffer = shortBuffer;
    DWORD capacity = kShortChars;  // characters, without the one kept for the zero
    for (;;) {
        DWORD type = 0, got = capacity * sizeof(wchar_t);
        const LONG rc =
            RegQueryValueExW(current_.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer), &got);
        if (rc != ERROR_SUCCESS && rc != ERROR_MORE_DATA) return {};
        if (type != REG_SZ && type != REG_EXPAND_SZ)
            throw ERegistryException(FormatText(L"Invalid data type for '%s'", {name}));
        if (rc == ERROR_MORE_DATA) {
            capacity = got / sizeof(wchar_t) + 1;
            longBuffer.assign(capacity + 1, L'\0');
            buffer = longBuffer.data();
            continue;
        }
        // An odd byte count ends in half a character: it is kept, with a zero for its other half.
        const DWORD chars = (got + 1) / sizeof(wchar_t);
        if (got % sizeof(wchar_t) != 0) reinterpret_cast<BYTE*>(buffer)[got] = 0;
        buffer[chars] = L'\0';
        return std::wstring(buffer);
    }
}

void TRegistry::WriteString(const std::wstring& name, const std::wstring& text) const {
    const DWORD bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
    if (!current_ || RegSetValueExW(current_.get(), name.c_str(), 0, REG_SZ,
                                    reinterpret_cast<const BYTE*>(text.c_str()), bytes) != ERROR_SUCCESS)
        throw ERegistryException(FormatText(L"Failed to set data for '%s'", {name}));
}

bool TRegistry::ValueExists(const std::wstring& name) const {
    return current_ &&
           RegQueryValueExW(current_.get(), name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

std::optional<size_t> TRegistry::ValueCount() const {
    DWORD count = 0;
    if (!current_ || RegQueryInfoKeyW(current_.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, nullptr,
                                      nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return std::nullopt;
    return count;
}

std::vector<std::wstring> TRegistry::ValueNames() const {
    std::vector<std::wstring> names;
    if (!current_) return names;
    DWORD count = 0, longest = 0;
    if (RegQueryInfoKeyW(current_.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, &longest, nullptr,
                         nullptr, nullptr) != ERROR_SUCCESS)
        return names;
    names.reserve(count);
    std::wstring name(longest + 1, L'\0');
    for (DWORD i = 0;; ++i) {
        DWORD length = static_cast<DWORD>(name.size());
        const LONG rc = RegEnumValueW(current_.get(), i, name.data(), &length, nullptr, nullptr, nullptr, nullptr);
        if (rc == ERROR_MORE_DATA) {
            // A longer name came in since the count was taken.
            name.resize(name.size() * 2 + 256);
            --i;
            continue;
        }
        if (rc != ERROR_SUCCESS) break;
        names.emplace_back(name.data(), length);
    }
    return names;
}

bool TRegistry::DeleteValue(const std::wstring& name) const {
    if (!current_) return false;
    const LONG rc = RegDeleteValueW(current_.get(), name.c_str());
    return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
}

bool TRegistry::Flush() const { return current_ && RegFlushKey(current_.get()) == ERROR_SUCCESS; }

bool TRegistry::DeleteKey(const std::wstring& path) const {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root_, path.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return false;
    ScopedRegKey owned(key);
    for (;;) {
        wchar_t sub[256];
        DWORD len = 256;
        if (RegEnumKeyExW(key, 0, sub, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        if (!DeleteKey(path + L"\\" + sub)) break;
    }
    owned.reset();
    return RegDeleteKeyW(root_, path.c_str()) == ERROR_SUCCESS;
}

}  // namespace tk
