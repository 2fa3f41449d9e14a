#include "toolkit/win/IniFile.h"

#include <windows.h>

#include <algorithm>
#include <cwchar>
#include <filesystem>
#include <optional>
#include <fstream>
#include <iterator>
#include <vector>

#include "toolkit/Exception.h"
#include "toolkit/win/Scoped.h"
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

namespace {
// The first buffer of a section's reading is never larger than this (64 MB); a larger section
// grows it as before.
constexpr size_t kLargestFirstSectionBuffer = size_t{32} << 20;
}  // namespace

TIniFile::Entries TIniFile::ReadSection(const std::wstring& section) const {
    // The section comes back as "key=value" strings, each ended by a zero, the list by a second
    // zero; a result of size - 2 means it did not fit.
    // Sized from the file, so that one call takes the whole section: the system reads the file
    // anew for each call, and a section of 10,000 rows would otherwise be read four times. The
    // section's text has at most one character per byte of the file (a line's end becomes its zero).
    WIN32_FILE_ATTRIBUTE_DATA data{};
    size_t size = 32768;
    if (GetFileAttributesExW(fileName_.c_str(), GetFileExInfoStandard, &data) && data.nFileSizeHigh == 0)
        size = std::clamp<size_t>(static_cast<size_t>(data.nFileSizeLow) + 2, size, kLargestFirstSectionBuffer);
    std::vector<wchar_t> buffer(size);
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

namespace {

bool StartsWith(std::string_view bytes, std::string_view mark) { return bytes.substr(0, mark.size()) == mark; }

}  // namespace

bool IsValidUtf8(std::string_view bytes) {
    size_t i = 0;
    while (i < bytes.size()) {
        const unsigned char lead = static_cast<unsigned char>(bytes[i]);
        if (lead < 0x80) {
            ++i;
            continue;
        }
        size_t extra;
        char32_t cp, least;
        if (lead >= 0xC2 && lead <= 0xDF) {
            extra = 1, cp = lead & 0x1F, least = 0x80;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            extra = 2, cp = lead & 0x0F, least = 0x800;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            extra = 3, cp = lead & 0x07, least = 0x10000;
        } else {
            return false;  // a continuation byte without a lead, or a lead that is never valid
        }
        if (bytes.size() - i <= extra) return false;
        for (size_t k = 1; k <= extra; ++k) {
            const unsigned char c = static_cast<unsigned char>(bytes[i + k]);
            if ((c & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (c & 0x3F);
        }
        if (cp < least || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
        i += extra + 1;
    }
    return true;
}

TTextEncoding DetectTextEncoding(std::string_view bytes) {
    if (StartsWith(bytes, "\xFF\xFE")) return TTextEncoding::Utf16Le;
    if (StartsWith(bytes, "\xFE\xFF")) return TTextEncoding::Utf16Be;
    if (StartsWith(bytes, "\xEF\xBB\xBF")) return TTextEncoding::Utf8WithMark;
    const bool ascii = std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    return !ascii && IsValidUtf8(bytes) ? TTextEncoding::Utf8 : TTextEncoding::Ansi;
}

std::wstring DecodeText(std::string_view bytes, TTextEncoding encoding) {
    switch (encoding) {
    case TTextEncoding::Utf8WithMark:
        return FromUtf8(bytes.substr(3));
    case TTextEncoding::Utf8:
        return FromUtf8(bytes);
    case TTextEncoding::Utf16Le:
    case TTextEncoding::Utf16Be: {
        const bool little = encoding == TTextEncoding::Utf16Le;
        if (StartsWith(bytes, little ? "\xFF\xFE" : "\xFE\xFF")) bytes.remove_prefix(2);
        std::wstring text;
        text.reserve(bytes.size() / 2 + 1);
        for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
            const auto a = static_cast<unsigned char>(bytes[i]), b = static_cast<unsigned char>(bytes[i + 1]);
            text += static_cast<wchar_t>(little ? (b << 8 | a) : (a << 8 | b));
        }
        if (bytes.size() % 2 != 0) text += L'\uFFFD';
        return text;
    }
    case TTextEncoding::Ansi:
        break;
    }
    if (bytes.empty()) return {};
    const int size = static_cast<int>(bytes.size());
    const int n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, nullptr, 0);
    std::wstring text(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, text.data(), n);
    return text;
}

namespace {

// The whole file; nullopt when it is there but cannot be read. A missing file reads as empty.
std::optional<std::string> ReadWholeFile(const std::wstring& fileName) {
    std::string bytes;
    if (GetFileAttributesW(fileName.c_str()) == INVALID_FILE_ATTRIBUTES) return bytes;
    std::ifstream in(std::filesystem::path(fileName), std::ios::binary);
    if (!in) return std::nullopt;
    bytes.assign(std::istreambuf_iterator<char>(in), {});
    if (in.bad()) return std::nullopt;
    return bytes;
}

// Writes text as UTF-16 little-endian with its mark to a new file named base + ".~<number>.tmp";
// CREATE_NEW never opens a file that exists already, so no other file is touched. With flush, the
// data is on the disk before the name is returned. Returns the name, or "" when no such file could
// be written (nothing is left behind then).
std::wstring WriteNewUnicodeFile(const std::wstring& base, std::wstring_view text, bool flush = false) {
    std::wstring content;
    content.reserve(text.size() + 1);
    content += L'\uFEFF';
    content += text;
    const DWORD size = static_cast<DWORD>(content.size() * sizeof(wchar_t));
    DWORD serial = GetCurrentProcessId() * 7919u + GetTickCount();
    for (int attempt = 0; attempt < 100; ++attempt, ++serial) {
        wchar_t suffix[16];
        std::swprintf(suffix, 16, L".~%08lX.tmp", static_cast<unsigned long>(serial));
        const std::wstring name = base + suffix;
        bool written = false;
        {
            ScopedFile file(
                CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
            if (!file.Valid()) {
                if (GetLastError() == ERROR_FILE_EXISTS) continue;
                return {};
            }
            DWORD done = 0;
            written = WriteFile(file.get(), content.data(), size, &done, nullptr) && done == size &&
                      (!flush || FlushFileBuffers(file.get()));
        }
        if (written) return name;
        DeleteFileW(name.c_str());
        return {};
    }
    return {};
}

}  // namespace

void TIniFile::UseUnicode() const {
    const auto unableToWrite = [this] { return EIniFileException(FormatText(L"Unable to write to %s", {fileName_})); };
    // A file that is there but cannot be read must not be replaced by an empty one.
    const std::optional<std::string> bytes = ReadWholeFile(fileName_);
    if (!bytes) throw unableToWrite();
    const TTextEncoding encoding = DetectTextEncoding(*bytes);
    if (encoding == TTextEncoding::Utf16Le) return;
    // Written beside the file and moved over it, so a failure leaves the old file whole.
    const std::wstring temporary = WriteNewUnicodeFile(fileName_, DecodeText(*bytes, encoding));
    if (temporary.empty()) throw unableToWrite();
    if (!MoveFileExW(temporary.c_str(), fileName_.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        DeleteFileW(temporary.c_str());
        throw unableToWrite();
    }
}

void WriteUnicodeFile(const std::wstring& fileName, std::wstring_view text, bool replace) {
    const std::wstring temporary = WriteNewUnicodeFile(fileName, text, true);
    if (temporary.empty()) throw EIniFileException(FormatText(L"Unable to write to %s", {fileName}));
    // Write-through: the new name is on the disk when the move returns.
    const DWORD flags = MOVEFILE_WRITE_THROUGH | (replace ? MOVEFILE_REPLACE_EXISTING : 0);
    if (!MoveFileExW(temporary.c_str(), fileName.c_str(), flags)) {
        DeleteFileW(temporary.c_str());
        throw EIniFileException(FormatText(L"Unable to write to %s", {fileName}));
    }
}

TUnicodeIniCopy::TUnicodeIniCopy(const std::wstring& fileName) : file_(fileName) {
    const std::optional<std::string> bytes = ReadWholeFile(fileName);
    if (!bytes) return;  // unreadable: read as it is, which gives the defaults
    const TTextEncoding encoding = DetectTextEncoding(*bytes);
    // The profile functions read UTF-16 little-endian and the ANSI code page themselves.
    if (encoding == TTextEncoding::Utf16Le || encoding == TTextEncoding::Ansi) return;
    wchar_t folder[MAX_PATH + 2] = {};
    const DWORD n = GetTempPathW(MAX_PATH + 1, folder);
    if (n == 0 || n > MAX_PATH + 1) throw EIniFileException(FormatText(L"Unable to write to %s", {folder}));
    copy_ = WriteNewUnicodeFile(std::wstring(folder, n) + L"ini", DecodeText(*bytes, encoding));
    if (copy_.empty()) throw EIniFileException(FormatText(L"Unable to write to %s", {std::wstring(folder, n)}));
    file_ = TIniFile(copy_);
}

TUnicodeIniCopy::~TUnicodeIniCopy() {
    if (!copy_.empty()) DeleteFileW(copy_.c_str());
}

}  // namespace tk
