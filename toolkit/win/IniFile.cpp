#include "toolkit/win/IniFile.h"

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>
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

TIniFile::Entries TIniFile::ReadSection(const std::wstring& section) const {
    // The section comes back as "key=value" strings, each ended by a zero, the list by a second
    // zero; a result of size - 2 means it did not fit.
    std::vector<wchar_t> buffer(32768);
    DWORD n = 0;
    for (;;) {
        n = GetPrivateProfileSectionW(section.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()),
                                      fileName_.c_str());
        if (n + 2 < buffer.size()) break;
        buffer.resize(buffer.size() * 4);
    }
    Entries entries;
    const wchar_t* p = buffer.data();
    const wchar_t* end = buffer.data() + n;
    while (p < end && *p) {
        const std::wstring line(p);
        p += line.size() + 1;
        const size_t eq = line.find(L'=');
        if (eq == std::wstring::npos) {
            entries.emplace_back(line, std::wstring());
        } else {
            entries.emplace_back(line.substr(0, eq), line.substr(eq + 1));
        }
    }
    return entries;
}

void TIniFile::WriteSection(const std::wstring& section, const Entries& entries) const {
    std::wstring block;
    for (const auto& [key, value] : entries) {
        block += key;
        block += L'=';
        block += value;
        block += L'\0';
    }
    block += L'\0';
    if (!WritePrivateProfileSectionW(section.c_str(), block.c_str(), fileName_.c_str()))
        throw EIniFileException(FormatText(L"Unable to write to %s", {fileName_}));
}

void TIniFile::UseUnicode() const {
    std::string bytes;
    {
        std::ifstream in(std::filesystem::path(fileName_), std::ios::binary);
        if (in) bytes.assign(std::istreambuf_iterator<char>(in), {});
    }
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF && static_cast<unsigned char>(bytes[1]) == 0xFE)
        return;
    std::wstring text;
    if (!bytes.empty()) {
        const int n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
        text.resize(static_cast<size_t>(n));
        MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), n);
    }
    // Written beside the file and moved over it, so a failure leaves the old file whole.
    const std::wstring temporary = fileName_ + L".tmp";
    {
        std::ofstream out(std::filesystem::path(temporary), std::ios::binary | std::ios::trunc);
        const wchar_t mark = 0xFEFF;
        out.write(reinterpret_cast<const char*>(&mark), sizeof(mark));
        out.write(reinterpret_cast<const char*>(text.data()), static_cast<std::streamsize>(text.size() * sizeof(wchar_t)));
        if (!out.flush()) {
            out.close();
            DeleteFileW(temporary.c_str());
            throw EIniFileException(FormatText(L"Unable to write to %s", {fileName_}));
        }
    }
    if (!MoveFileExW(temporary.c_str(), fileName_.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        DeleteFileW(temporary.c_str());
        throw EIniFileException(FormatText(L"Unable to write to %s", {fileName_}));
    }
}

}  // namespace tk
