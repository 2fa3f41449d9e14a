// The INI file object on real files in a temporary folder.
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <string>

#include "tests/support/TempDir.h"
#include "toolkit/Exception.h"
#include "toolkit/win/IniFile.h"

namespace {

TEST(IniFile, LongValuesReadWhole) {
    qdtest::TempDir dir;
    tk::TIniFile ini((dir / "a.ini").wstring());
    const std::wstring longValue(5000, L'x');
    ini.WriteString(L"S", L"Long", longValue);
    EXPECT_EQ(ini.ReadString(L"S", L"Long", L""), longValue);
    ini.WriteString(L"S", L"Ascii", L"C:\\Program Files");
    EXPECT_EQ(ini.ReadString(L"S", L"Ascii", L""), L"C:\\Program Files");
    EXPECT_EQ(ini.ReadString(L"S", L"Missing", L"default"), L"default");
}

TEST(IniFile, IntegersAndBooleansFollowTheIntegerTextRules) {
    qdtest::TempDir dir;
    tk::TIniFile ini((dir / "b.ini").wstring());
    ini.WriteInteger(L"S", L"I", -42);
    EXPECT_EQ(ini.ReadInteger(L"S", L"I", 0), -42);
    ini.WriteString(L"S", L"H", L"0x1F");
    EXPECT_EQ(ini.ReadInteger(L"S", L"H", 0), 31);
    ini.WriteString(L"S", L"T", L"yes");
    EXPECT_EQ(ini.ReadInteger(L"S", L"T", 7), 7);
    EXPECT_TRUE(ini.ReadBool(L"S", L"T", true));
    EXPECT_FALSE(ini.ReadBool(L"S", L"T", false));
    ini.WriteBool(L"S", L"B", true);
    EXPECT_EQ(ini.ReadString(L"S", L"B", L""), L"1");
}

TEST(IniFile, AFileThatCannotBeWrittenRaisesTheErrorNamingIt) {
    qdtest::TempDir dir;
    const std::wstring name = (dir / "missing folder" / "c.ini").wstring();
    tk::TIniFile ini(name);
    try {
        ini.WriteBool(L"Options", L"AskDelete", false);
        FAIL() << "wrote into a folder that does not exist";
    } catch (const tk::EIniFileException& e) {
        EXPECT_EQ(e.Message(), L"Unable to write to " + name);
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "missing folder"));
}

TEST(TextEncoding, ByTheMarkElseByValidUtf8WithNonAsciiBytesElseAnsi) {
    using E = tk::TTextEncoding;
    const struct {
        const char* name;
        std::string bytes;
        E expected;
    } cases[] = {
        {"empty", "", E::Ansi},
        {"ASCII only", "[S]\r\nk=v\r\n", E::Ansi},
        {"UTF-16 LE mark", "\xFF\xFE[\0S\0]\0", E::Utf16Le},
        {"UTF-16 BE mark", "\xFE\xFF\0[\0S\0]", E::Utf16Be},
        {"UTF-8 mark", "\xEF\xBB\xBF[S]", E::Utf8WithMark},
        {"UTF-8 mark, nothing after it", "\xEF\xBB\xBF", E::Utf8WithMark},
        {"UTF-8 without mark", "k=\xE4\xB8\xAD\xE6\x96\x87", E::Utf8},
        {"UTF-8, four-byte character", "k=\xF0\x9F\x98\x80", E::Utf8},
        {"GBK", "k=\xD6\xD0\xCE\xC4", E::Ansi},
        {"a Latin-1 letter", "k=\xE9", E::Ansi},
        {"stray continuation byte", "k=\x80", E::Ansi},
        {"overlong slash", "k=\xC0\xAF", E::Ansi},
        {"overlong three-byte form", "k=\xE0\x80\xAF", E::Ansi},
        {"surrogate", "k=\xED\xA0\x80", E::Ansi},
        {"above U+10FFFF", "k=\xF4\x90\x80\x80", E::Ansi},
        {"cut off at the end", "k=\xE4\xB8", E::Ansi},
        {"valid, then one bad byte", "k=\xE4\xB8\xAD\xFF", E::Ansi},
    };
    for (const auto& c : cases) EXPECT_EQ(tk::DetectTextEncoding(c.bytes), c.expected) << c.name;
}

TEST(TextEncoding, DecodingKeepsEveryCharacter) {
    using E = tk::TTextEncoding;
    ASSERT_EQ(GetACP(), 936u) << "the tests run with the Chinese code page";
    const struct {
        const char* name;
        std::string bytes;
        E encoding;
        std::wstring expected;
    } cases[] = {
        {"UTF-16 BE", std::string("\xFE\xFF\0A\x4E\x2D\xD8\x3D\xDE\x00", 10), E::Utf16Be, L"A\u4E2D\U0001F600"},
        {"UTF-16 LE", std::string("\xFF\xFE" "A\0\x2D\x4E", 6), E::Utf16Le, L"A\u4E2D"},
        {"UTF-16, odd last byte", std::string("\xFE\xFF\0A\x4E", 5), E::Utf16Be, L"A\uFFFD"},
        {"UTF-8 with mark", "\xEF\xBB\xBFk=\xE0\xB9\x84", E::Utf8WithMark, L"k=\u0E44"},
        {"UTF-8", "k=\xE4\xB8\xAD", E::Utf8, L"k=\u4E2D"},
        {"ANSI (GBK)", "k=\xD6\xD0\xCE\xC4", E::Ansi, L"k=\u4E2D\u6587"},
        {"nothing", "", E::Ansi, L""},
    };
    for (const auto& c : cases) EXPECT_EQ(tk::DecodeText(c.bytes, c.encoding), c.expected) << c.name;
}

}  // namespace
