// The alias sort keys in the ANSI code page: Chinese aliases sort in GBK order.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "list/win/AliasSortKey.h"

namespace {

using qd::AliasSortKey;
using qd::AliasSortOrder;

TEST(AliasSortTest, KeysAreTheAnsiCodePageForm) {
    ASSERT_EQ(GetACP(), 936u) << "the tests run with the Chinese code page";
    EXPECT_EQ(AliasSortKey(L"啊"), "\xB0\xA1");
    EXPECT_EQ(AliasSortKey(L"中a"), "\xD6\xD0" "A");
    EXPECT_EQ(AliasSortKey(L""), "");
    // GBK order, not code point order: 啊 < 阿 < 中, while U+4E2D (中) is the smallest code point.
    std::vector<std::string> keys{AliasSortKey(L"中"), AliasSortKey(L"阿"), AliasSortKey(L"啊")};
    EXPECT_EQ(AliasSortOrder(keys, true), (std::vector<int>{2, 1, 0}));
    EXPECT_EQ(AliasSortOrder(keys, false), (std::vector<int>{0, 1, 2}));
}

}  // namespace
