// Platform-free text helpers: UTF-8 conversion, message formatting, name comparison, integer
// parsing.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

namespace tk {

// UTF-8 to and from wide text (UTF-16 where wchar_t is 16 bits, UTF-32 elsewhere). Malformed input
// becomes U+FFFD; nothing is dropped silently.
std::string ToUtf8(std::wstring_view text);
std::wstring FromUtf8(std::string_view text);

// Replaces each "%s" in pattern, left to right, with the next argument; "%%" stands for "%".
// Surplus placeholders stay as they are; surplus arguments are ignored.
std::wstring FormatText(std::wstring_view pattern, std::initializer_list<std::wstring_view> args);

// The ASCII letters a to z upper-cased; every other character as it is.
constexpr char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
constexpr wchar_t AsciiUpper(wchar_t c) { return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c; }
std::wstring AsciiUpper(std::wstring_view text);

// Equal texts once ASCII letters are folded to one case; other bytes compare as they are. Skin
// archive member names and record names are matched this way.
bool SameTextIgnoringAsciiCase(std::string_view a, std::string_view b);

// Integer text as the INI and conversion routines accept it: optional leading and trailing blanks,
// an optional sign, then decimal digits, or hexadecimal digits after "0x"/"0X". Anything else, or a
// value outside the signed 32-bit range, is not an integer.
std::optional<std::int32_t> ParseInt32(std::wstring_view text);

// The decimal text of a value.
std::wstring IntToText(long long value);

}  // namespace tk
