#include <gtest/gtest.h>

#include "toolkit/Text.h"

namespace {

TEST(ParseInt32, AcceptsDecimalAndPrefixedHexadecimal) {
    EXPECT_EQ(tk::ParseInt32(L"0"), 0);
    EXPECT_EQ(tk::ParseInt32(L"2"), 2);
    EXPECT_EQ(tk::ParseInt32(L" -17 "), -17);
    EXPECT_EQ(tk::ParseInt32(L"0x0"), 0);
    EXPECT_EQ(tk::ParseInt32(L"0X1f"), 31);
    EXPECT_EQ(tk::ParseInt32(L"0xFFFFFFFF"), -1);
    EXPECT_EQ(tk::ParseInt32(L"2147483647"), 2147483647);
    EXPECT_EQ(tk::ParseInt32(L"-2147483648"), INT32_MIN);
}

// A sign applies to hexadecimal text as to decimal; only unsigned hexadecimal is a bit pattern.
TEST(ParseInt32, SignedHexadecimal) {
    EXPECT_EQ(tk::ParseInt32(L"-0x10"), -16);
    EXPECT_EQ(tk::ParseInt32(L" -0X1f "), -31);
    EXPECT_EQ(tk::ParseInt32(L"+0x10"), 16);
    EXPECT_EQ(tk::ParseInt32(L"-0x80000000"), INT32_MIN);
    EXPECT_EQ(tk::ParseInt32(L"0x80000000"), INT32_MIN);
    EXPECT_FALSE(tk::ParseInt32(L"-0x80000001").has_value());
    EXPECT_FALSE(tk::ParseInt32(L"-0xFFFFFFFF").has_value());
}

TEST(ParseInt32, RejectsWhatIsNotAnInteger) {
    for (const wchar_t* text : {L"", L"yes", L"0x", L"1.5", L"12a", L"0x1G", L"2147483648", L"0x100000000", L"--1", L"$10"}) {
        EXPECT_FALSE(tk::ParseInt32(text).has_value()) << tk::ToUtf8(text);
    }
}

TEST(SameTextIgnoringAsciiCase, FoldsOnlyAsciiLetters) {
    EXPECT_TRUE(tk::SameTextIgnoringAsciiCase("skindata.sk2", "SKINDATA.SK2"));
    EXPECT_TRUE(tk::SameTextIgnoringAsciiCase("", ""));
    EXPECT_FALSE(tk::SameTextIgnoringAsciiCase("SKINDATA.SK2", "SKINDATA.SK"));
    EXPECT_FALSE(tk::SameTextIgnoringAsciiCase("@[", "`{"));          // 0x40/0x60 and 0x5B/0x7B: not letters
    EXPECT_FALSE(tk::SameTextIgnoringAsciiCase("\xE9t\xE9", "\xC9T\xC9"));  // bytes above 127 are not folded
    EXPECT_EQ(tk::AsciiUpper(L"az@[`{\u00e9\u4e2d"), L"AZ@[`{\u00e9\u4e2d");
}

TEST(Utf8, RoundTripsEveryPlane) {
    const std::wstring text = L"Windows安装目录 \u00e9 \U0001F4C1";
    EXPECT_EQ(tk::FromUtf8(tk::ToUtf8(text)), text);
    EXPECT_EQ(tk::ToUtf8(L"C:\\"), "C:\\");
}

TEST(Utf8, MalformedBytesBecomeReplacementCharacters) {
    EXPECT_EQ(tk::FromUtf8("a\xC3"), L"a\uFFFD");
    EXPECT_EQ(tk::FromUtf8("\xE6\x96x"), L"\uFFFDx");
    EXPECT_EQ(tk::FromUtf8("\xC0\xAF"), L"\uFFFD");  // overlong slash
    EXPECT_EQ(tk::FromUtf8("\xFF"), L"\uFFFD");
}

TEST(FormatText, FillsPlaceholdersInOrder) {
    EXPECT_EQ(tk::FormatText(L"Invalid data type for '%s'", {L"N3"}), L"Invalid data type for 'N3'");
    EXPECT_EQ(tk::FormatText(L"%s and %s, 100%%", {L"a", L"b"}), L"a and b, 100%");
    EXPECT_EQ(tk::FormatText(L"%s %s", {L"only"}), L"only %s");
}

}  // namespace
