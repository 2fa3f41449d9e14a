// Reading the file lists that drops and the clipboard bring (DROPFILES blocks, which come from
// other programs and may be damaged) and the clipboard's text, never past the block; and the
// effect a drop of files takes.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <cstring>
#include <string>
#include <vector>

#include "toolkit/win/Clipboard.h"
#include "toolkit/win/FileDrop.h"

namespace {

using Names = std::vector<std::wstring>;

std::vector<char> Block(bool wide, const std::string& names, DWORD offset = sizeof(DROPFILES)) {
    DROPFILES header{};
    header.pFiles = offset;
    header.fWide = wide;
    std::vector<char> block(sizeof(header));
    std::memcpy(block.data(), &header, sizeof(header));
    for (char c : names) {
        block.push_back(c);
        if (wide) block.push_back(0);  // the names are ASCII: UTF-16 is each byte and a zero
    }
    return block;
}

TEST(FileDropTest, AFileListGivesItsCompleteNamesAndNeverReadsPastItsBlock) {
    using namespace std::string_literals;
    const struct {
        const char* what;
        std::vector<char> block;
        Names names;
    } cases[] = {
        {"UTF-16 names", Block(true, "C:\\a\0D:\\b c\0\0"s), {L"C:\\a", L"D:\\b c"}},
        {"ANSI names", Block(false, "C:\\a\0D:\\b\0\0"s), {L"C:\\a", L"D:\\b"}},
        {"no end of the list", Block(true, "C:\\a\0D:\\b\0"s), {L"C:\\a", L"D:\\b"}},
        {"a name cut off by the end", Block(true, "C:\\a\0D:\\b"s), {L"C:\\a"}},
        {"an ANSI name cut off by the end", Block(false, "C:\\a\0D:\\b"s), {L"C:\\a"}},
        {"an odd byte at the end", [] { auto b = Block(true, "C:\\a\0"s); b.push_back('x'); return b; }(), {L"C:\\a"}},
        {"names beyond the block", Block(true, "C:\\a\0\0"s, 4096), {}},
        {"names inside the header", Block(true, "C:\\a\0\0"s, 4), {}},
        {"an empty list", Block(true, "\0\0"s), {}},
        {"no room for the header", std::vector<char>(sizeof(DROPFILES) - 1, 'x'), {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(tk::ParseFileList(c.block.data(), c.block.size()), c.names);
    }
    EXPECT_TRUE(tk::ParseFileList(nullptr, 100).empty());
}

TEST(FileDropTest, TheClipboardTextEndsAtItsZeroOrAtTheEndOfItsBlock) {
    const wchar_t text[] = L"C:\\a\0tail";
    EXPECT_EQ(tk::ClipboardTextOf(text, sizeof(text)), L"C:\\a");
    EXPECT_EQ(tk::ClipboardTextOf(text, 3 * sizeof(wchar_t) + 1), L"C:\\");  // no zero; an odd byte
    EXPECT_EQ(tk::ClipboardTextOf(nullptr, 8), L"");
}

TEST(FileDropTest, ADropOfFilesLinksOrCopiesButNeverMoves) {
    EXPECT_EQ(tk::FileDropEffect(DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK), DWORD(DROPEFFECT_LINK));
    EXPECT_EQ(tk::FileDropEffect(DROPEFFECT_COPY | DROPEFFECT_MOVE), DWORD(DROPEFFECT_COPY));
    EXPECT_EQ(tk::FileDropEffect(DROPEFFECT_MOVE), DWORD(DROPEFFECT_NONE));
    EXPECT_EQ(tk::FileDropEffect(DROPEFFECT_NONE), DWORD(DROPEFFECT_NONE));
}

}  // namespace
