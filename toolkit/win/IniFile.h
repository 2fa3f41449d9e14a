// INI file object over the platform's profile functions. Reads never fail (a default stands in);
// a write that fails raises EIniFileException "Unable to write to <file>".
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tk {

// How the bytes of a text file are encoded.
enum class TTextEncoding { Ansi, Utf8, Utf8WithMark, Utf16Le, Utf16Be };

// By the byte order mark (UTF-16 little- or big-endian, UTF-8); without one, UTF-8 when the bytes
// are valid UTF-8 and not all ASCII, else the ANSI code page.
TTextEncoding DetectTextEncoding(std::string_view bytes);
// Well-formed UTF-8: no stray continuation bytes, no cut-off or overlong sequences, no surrogates,
// nothing above U+10FFFF.
bool IsValidUtf8(std::string_view bytes);
// The text of bytes in the given encoding, without its byte order mark. Bytes that do not form a
// character (a lone last byte of UTF-16, malformed UTF-8) become U+FFFD.
std::wstring DecodeText(std::string_view bytes, TTextEncoding encoding);

class TIniFile {
public:
    explicit TIniFile(std::wstring fileName) : fileName_(std::move(fileName)) {}
    const std::wstring& FileName() const { return fileName_; }

    std::wstring ReadString(const std::wstring& section, const std::wstring& key, const std::wstring& def) const;
    void WriteString(const std::wstring& section, const std::wstring& key, const std::wstring& value) const;
    // An integer value as ParseInt32 reads it; text that is no integer gives the default.
    int ReadInteger(const std::wstring& section, const std::wstring& key, int def) const;
    void WriteInteger(const std::wstring& section, const std::wstring& key, int value) const;
    // Any integer but 0 is true; written as "1" or "0".
    bool ReadBool(const std::wstring& section, const std::wstring& key, bool def) const;
    void WriteBool(const std::wstring& section, const std::wstring& key, bool value) const;

    // A whole section in one pass, its entries in file order as the profile functions keep them
    // (values not unquoted). An absent file or section gives none.
    using Entries = std::vector<std::pair<std::wstring, std::wstring>>;
    Entries ReadSection(const std::wstring& section) const;
    // Replaces the whole section's entries in one write.
    void WriteSection(const std::wstring& section, const Entries& entries) const;
    // Makes the file UTF-16 (little-endian, with a byte order mark), which the profile functions
    // of every Windows version read and write without losing a character: a missing file is
    // created empty in that form; a file in another encoding (UTF-8 with or without its mark,
    // UTF-16 big-endian, the ANSI code page, see DetectTextEncoding) is rewritten with the same
    // text. The new file is written under a fresh name beside it and then moved over it, so a
    // failure leaves the old file whole and no other file is touched.
    void UseUnicode() const;

private:
    std::wstring fileName_;
};

// Writes text as the whole content of the file, UTF-16 little-endian with its byte order mark:
// first to a new file beside it, which is flushed to the disk, then moved over the name (an
// existing file of that name is replaced only when replace is true). So the name never holds
// part of the text, even after a crash or a loss of power. A failure raises EIniFileException
// "Unable to write to <file>" and leaves no new file behind.
void WriteUnicodeFile(const std::wstring& fileName, std::wstring_view text, bool replace);

// A file in any encoding DetectTextEncoding knows, to be read without losing a character: the
// file itself when it is UTF-16 little-endian or ANSI (or missing), otherwise a UTF-16 copy of
// its text in the temporary folder, removed again when this object goes. The file itself is never
// changed. A copy that cannot be written raises EIniFileException.
class TUnicodeIniCopy {
public:
    explicit TUnicodeIniCopy(const std::wstring& fileName);
    ~TUnicodeIniCopy();
    TUnicodeIniCopy(const TUnicodeIniCopy&) = delete;
    TUnicodeIniCopy& operator=(const TUnicodeIniCopy&) = delete;
    const TIniFile& File() const { return file_; }

private:
    TIniFile file_;
    std::wstring copy_;
};

}  // namespace tk
