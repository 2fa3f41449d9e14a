// The order of the sort command: an exchange sort over the aliases, ascending or descending, by
// a case-insensitive comparison of the aliases' bytes in the ANSI code page. Aliases that compare
// equal end in the order that exchange sort leaves them in, which is not their original order;
// these functions give exactly that result without its quadratic run time: O(n log n), plus
// turning the queue of a repeated alias (see AliasSort.cpp).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qd {

// The bytes an alias is compared by: its ANSI code page form (list/win/AliasSortKey.h) with the
// bytes of the ASCII letters a to z mapped to A to Z. Computed once per row.
std::string AliasSortKeyFromBytes(std::string bytes);

// Byte by byte, unsigned; a prefix sorts first. Negative, zero or positive.
int CompareAliasKeys(std::string_view a, std::string_view b);

// The rows' new order: element k is the index of the row that ends at position k, exactly as the
// exchange sort
//   ascending:  for i in 0..n-2, for j in i+1..n-1:      if key[i] > key[j], exchange i and j
//   descending: for i in 0..n-2, for j in n-1 down to i+1: if key[i] < key[j], exchange i and j
// would leave them.
std::vector<int> AliasSortOrder(const std::vector<std::string>& keys, bool ascending);

}  // namespace qd
