// Finding the chosen row again in a list that was replaced as a whole.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "list/ChosenRow.h"

namespace {

using qd::ShortcutRow;

TEST(ChosenRowTest, TheRowWithTheSameTextsNearestToWhereItWasOrNone) {
    const ShortcutRow a{L"a", L"C:\\a"}, b{L"b", L"C:\\b"}, c{L"c", L"C:\\c"};
    struct Case {
        const char* what;
        std::vector<ShortcutRow> rows;
        ShortcutRow chosen;
        int oldIndex, found;
    };
    const Case cases[] = {
        {"still there, moved up", {b, c}, c, 2, 1},
        {"still there, moved down", {a, a, b, c}, c, 0, 3},
        {"still there, marks differ", {a, {L"b", L"C:\\b", true, false}}, b, 1, 1},
        {"gone", {a, c}, b, 1, -1},
        {"same alias, other path", {a, {L"b", L"C:\\B"}}, b, 1, -1},
        {"same path, other alias", {a, {L"B", L"C:\\b"}}, b, 1, -1},
        {"empty list", {}, a, 0, -1},
        {"twice: the one at the old place", {b, a, b, a, b}, b, 2, 2},
        {"twice: the nearer before", {b, a, b, a, a, a, b}, b, 4, 2},
        {"twice: the nearer after", {b, a, a, a, b, a, b}, b, 3, 4},
        {"twice, as near: the first", {b, a, b}, b, 1, 0},
        {"old place past the end", {b, a, b}, b, 9, 2},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.what);
        EXPECT_EQ(qd::FindChosenRowAgain(test.rows, test.chosen, test.oldIndex), test.found);
    }
}

}  // namespace
