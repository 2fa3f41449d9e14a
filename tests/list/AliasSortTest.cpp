// The alias order: the byte comparison and the sort's result against the plain
// exchange sort it must reproduce, equal aliases included.
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "list/AliasSort.h"

namespace {

using qd::AliasSortKeyFromBytes;
using qd::AliasSortOrder;
using qd::CompareAliasKeys;

// The exchange sort written out plainly, comparing the keys at every step.
std::vector<int> PlainExchangeSort(const std::vector<std::string>& keys, bool ascending) {
    const int n = static_cast<int>(keys.size());
    std::vector<int> rows(static_cast<size_t>(n));
    std::iota(rows.begin(), rows.end(), 0);
    auto key = [&](int position) -> const std::string& { return keys[static_cast<size_t>(rows[static_cast<size_t>(position)])]; };
    for (int i = 0; i + 1 < n; ++i) {
        if (ascending) {
            for (int j = i + 1; j < n; ++j)
                if (CompareAliasKeys(key(i), key(j)) > 0) std::swap(rows[static_cast<size_t>(i)], rows[static_cast<size_t>(j)]);
        } else {
            for (int j = n - 1; j > i; --j)
                if (CompareAliasKeys(key(i), key(j)) < 0) std::swap(rows[static_cast<size_t>(i)], rows[static_cast<size_t>(j)]);
        }
    }
    return rows;
}

std::vector<std::string> Reordered(const std::vector<std::string>& keys, const std::vector<int>& order) {
    std::vector<std::string> out;
    for (int row : order) out.push_back(keys[static_cast<size_t>(row)]);
    return out;
}

TEST(AliasSortTest, ComparisonIgnoresAsciiCaseAndPutsPrefixesFirst) {
    auto cmp = [](const char* a, const char* b) { return CompareAliasKeys(AliasSortKeyFromBytes(a), AliasSortKeyFromBytes(b)); };
    EXPECT_EQ(cmp("abc", "ABC"), 0);
    EXPECT_LT(cmp("ab", "abc"), 0);
    EXPECT_GT(cmp("abc", "AB"), 0);
    EXPECT_EQ(cmp("", ""), 0);
    EXPECT_LT(cmp("", "a"), 0);
    // Letters become upper case before comparing, so '_' (0x5F) sorts after them all.
    EXPECT_LT(cmp("z", "_"), 0);
    EXPECT_LT(cmp("Z", "_"), 0);
    // Bytes are unsigned: a lead byte of a double-byte character sorts after every ASCII byte.
    EXPECT_LT(cmp("~", "\xB0\xA1"), 0);
    // Every byte in a..z is mapped, trail bytes of double-byte characters included.
    EXPECT_EQ(cmp("\x81\x61", "\x81\x41"), 0);
    EXPECT_EQ(AliasSortKeyFromBytes("Mixed\xB0q1"), "MIXED\xB0Q1");
}

TEST(AliasSortTest, EqualAliasesEndWhereTheExchangeSortLeavesThem) {
    // b, A, a: A and a are equal. Ascending keeps them A, a; descending on that gives b, a, A.
    const std::vector<std::string> keys{AliasSortKeyFromBytes("b"), AliasSortKeyFromBytes("A"), AliasSortKeyFromBytes("a")};
    EXPECT_EQ(AliasSortOrder(keys, true), (std::vector<int>{1, 2, 0}));
    EXPECT_EQ(AliasSortOrder({keys[1], keys[2], keys[0]}, false), (std::vector<int>{2, 1, 0}));
    // A case where the exchange sort does not keep the original order of equal aliases.
    const std::vector<std::string> mixed{"B", "A1", "B", "A0"};
    const auto order = AliasSortOrder(mixed, true);
    EXPECT_EQ(order, PlainExchangeSort(mixed, true));
    EXPECT_EQ(order, (std::vector<int>{3, 1, 2, 0}));  // the second B now comes before the first
}

TEST(AliasSortTest, SameOrderAsThePlainExchangeSortOnRandomLists) {
    std::mt19937 random(20261207);
    for (int trial = 0; trial < 3000; ++trial) {
        const int n = static_cast<int>(random() % 40);
        const int letters = 1 + static_cast<int>(random() % 5);  // few letters: many equal aliases
        std::vector<std::string> keys(static_cast<size_t>(n));
        for (std::string& k : keys) {
            const int length = static_cast<int>(random() % 3);
            for (int c = 0; c < length; ++c) k.push_back(static_cast<char>('A' + random() % letters));
        }
        // Sorting alternates: each list is sorted up, down and up again from where it was left.
        std::vector<std::string> current = keys;
        for (bool ascending : {true, false, true, false}) {
            const auto expected = PlainExchangeSort(current, ascending);
            const auto order = AliasSortOrder(current, ascending);
            ASSERT_EQ(order, expected) << "trial " << trial << (ascending ? " ascending" : " descending");
            current = Reordered(current, order);
        }
    }
}

TEST(AliasSortTest, LongListsInEveryStartingOrder) {
    // 1500 rows with runs of equal aliases, starting ascending, descending, and shuffled.
    std::mt19937 random(7);
    std::vector<std::string> keys;
    for (int i = 0; i < 1500; ++i) keys.push_back("K" + std::to_string(i % 400));
    std::vector<std::vector<std::string>> starts;
    std::vector<std::string> up = keys;
    std::sort(up.begin(), up.end());
    starts.push_back(up);
    starts.emplace_back(up.rbegin(), up.rend());
    std::shuffle(keys.begin(), keys.end(), random);
    starts.push_back(keys);
    for (const auto& start : starts)
        for (bool ascending : {true, false}) EXPECT_EQ(AliasSortOrder(start, ascending), PlainExchangeSort(start, ascending));
}

}  // namespace
