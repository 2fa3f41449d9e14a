// Text in the process's ANSI code page, for the rules that work on its bytes (the alias order).
#pragma once

#include <string>
#include <string_view>

namespace tk {

// The text converted to the ANSI code page; characters that page lacks become its default
// character, as an ANSI program would have received them.
std::string ToAnsi(std::wstring_view text);

}  // namespace tk
