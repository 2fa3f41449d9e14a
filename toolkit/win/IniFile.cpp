#include "toolkit/win/IniFile.h"

#include <windows.h>

#include <vector>

#include "toolkit/Exception.h"
#include "toolkit/Text.h"

namespace tk {

std::wstring TIniFile::ReadString(const std::wstring& section, const std::wstring& key,
                                  const std::wstring& def) const {
    std::vector<wchar_t> buffer(2048);
    for (;;) {
        const DWORD n = GetPrivateProfileStringW(section.c_str(), key.c_str(), def.c_str(), buffer.data(),
                                                 static_cast<DWORD>(buffer.size()), fileName_.c_str());
        // A result of size - 1 means the value may have been cut: ask again with more room.
        if (n + 1 < buffer.size() || buffer.size() >= (1u << 20)) return std::wstring(buffer.data(), n);
        buffer.resize(buffer.size() * 4);
    }
}

void TIniFile::WriteString(const std::wstring& section, const std::wstring& key, const std::wstring& value) const {
    if (!WritePrivateProfileStringW(section.c_str(), key.c_str(), value.c_str(), fileName_.c_str()))
        throw EIniFileException(FormatText(L"Unable to write to %s", {fileName_}));
}

int TIniFile::ReadInteger(const std::wstring& section, const std::wstring& key, int def) const {
    const std::wstring text = ReadString(section, key, L"");
    return ParseInt32(text).value_or(def);
}

void TIniFile::WriteInteger(const std::wstring& section, const std::wstring& key, int value) const {
    WriteString(section, key, IntToText(value));
}

bool TIniFile::ReadBool(const std::wstring& section, const std::wstring& key, bool def) const {
    return ReadInteger(section, key, def ? 1 : 0) != 0;
}

void TIniFile::WriteBool(const std::wstring& section, const std::wstring& key, bool value) const {
    WriteString(section, key, value ? L"1" : L"0");
}

}  // namespace tk
