#include "list/win/AliasSortKey.h"

#include "toolkit/win/AnsiText.h"

namespace qd {

std::string AliasSortKey(std::wstring_view alias) { return AliasSortKeyFromBytes(tk::ToAnsi(alias)); }

}  // namespace qd
