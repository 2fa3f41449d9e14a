// The registry accessor on odd values another program may have left under the key.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/WinTest.h"
#include "toolkit/Exception.h"
#include "toolkit/win/Registry.h"

namespace {

void WriteRaw(const std::wstring& path, const wchar_t* name, DWORD type, const void* data, DWORD bytes) {
    HKEY created = nullptr;
    ASSERT_EQ(
        RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &created, nullptr),
        ERROR_SUCCESS);
    const tk::ScopedRegKey key(created);
    RegSetValueExW(key.get(), name, 0, type, static_cast<const BYTE*>(data), bytes);
}

TEST(Registry, StringValuesWithoutOrWithExtraTerminatorsReadWhole) {
    qdtest::PrivateKey key;
    const wchar_t unterminated[] = {L'C', L':', L'\\', L'x'};
    WriteRaw(key.Path(), L"A", REG_SZ, unterminated, sizeof(unterminated));
    const wchar_t doubled[] = L"D:\\dir\0\0";
    WriteRaw(key.Path(), L"B", REG_SZ, doubled, sizeof(doubled));
    WriteRaw(key.Path(), L"C", REG_EXPAND_SZ, L"%TEMP%", 14);
    WriteRaw(key.Path(), L"Odd", REG_SZ, "abc", 3);  // an odd byte count: half a character at the end
    WriteRaw(key.Path(), L"Empty", REG_SZ, "", 0);
    const std::wstring longer(1000, L'长');  // longer than the first reading takes
    WriteRaw(key.Path(), L"Long", REG_SZ, longer.c_str(), static_cast<DWORD>((longer.size() + 1) * sizeof(wchar_t)));

    tk::TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(key.Path(), false));
    EXPECT_EQ(reg.ReadString(L"A"), L"C:\\x");
    EXPECT_EQ(reg.ReadString(L"B"), L"D:\\dir");
    EXPECT_EQ(reg.ReadString(L"C"), L"%TEMP%");  // not expanded
    const std::wstring odd = reg.ReadString(L"Odd");  // the half character is kept, nothing read past it
    ASSERT_EQ(odd.size(), 2u);
    EXPECT_EQ(odd[1], L'c');
    EXPECT_EQ(reg.ReadString(L"Empty"), L"");
    EXPECT_EQ(reg.ReadString(L"Long"), longer);
    EXPECT_EQ(reg.ReadString(L"Absent"), L"");
}

TEST(Registry, OtherTypesAreErrorsNamingTheValue) {
    qdtest::PrivateKey key;
    const DWORD number = 5;
    WriteRaw(key.Path(), L"N0", REG_DWORD, &number, sizeof(number));
    WriteRaw(key.Path(), L"P0", REG_BINARY, "\x01\x02", 2);
    WriteRaw(key.Path(), L"N1", REG_MULTI_SZ, L"a\0b\0", 10);
    tk::TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(key.Path(), false));
    for (const wchar_t* name : {L"N0", L"P0", L"N1"}) {
        try {
            reg.ReadString(name);
            ADD_FAILURE() << "read a non-string value";
        } catch (const tk::ERegistryException& e) {
            EXPECT_EQ(e.Message(), std::wstring(L"Invalid data type for '") + name + L"'");
        }
    }
}

TEST(Registry, OpeningWithoutCreateLeavesAMissingKeyMissing) {
    qdtest::PrivateKey key;
    tk::TRegistry reg;
    EXPECT_FALSE(reg.KeyExists(key.Path()));
    EXPECT_FALSE(reg.OpenKey(key.Path(), false));
    EXPECT_FALSE(reg.KeyExists(key.Path()));
    EXPECT_THROW(reg.WriteString(L"N0", L"x"), tk::ERegistryException);  // no key open
    ASSERT_TRUE(reg.OpenKey(key.Path(), true));
    EXPECT_TRUE(reg.KeyExists(key.Path()));
    reg.WriteString(L"N0", L"Windows安装目录");
    EXPECT_EQ(reg.ReadString(L"N0"), L"Windows安装目录");
    EXPECT_TRUE(reg.DeleteValue(L"N0"));
    EXPECT_FALSE(reg.ValueExists(L"N0"));
}

}  // namespace
