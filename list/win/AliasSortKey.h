// The sort key of an alias: its form in the process's ANSI code page, compared byte by byte (so
// Chinese aliases sort in GBK order on the systems the program targets).
#pragma once

#include <string>
#include <string_view>

#include "list/AliasSort.h"

namespace qd {

std::string AliasSortKey(std::wstring_view alias);

}  // namespace qd
