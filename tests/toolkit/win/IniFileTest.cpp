// The INI file object on real files in a temporary folder.
#include <gtest/gtest.h>

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

}  // namespace
