// The list menu's arithmetic: finding the item under a point in a long column, scrolling an item
// into view, the part shown, placing the menu on the work area at the mouse, and the item a typed
// letter moves to. Both builds (natively also under ASan and UBSan).
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "skin/controls/ListMenuLayout.h"

namespace {

using namespace listmenu;

// Rows of 21 with a separator of 5 after the first three: tops 0, 21, 42, 63 (separator), 68, 89.
ItemColumn SixItems() { return ItemColumn({21, 21, 21, 5, 21, 21}); }

TEST(ListMenuColumn, ItemUnderEveryEdgeOfEveryBand) {
    const ItemColumn column = SixItems();
    EXPECT_EQ(column.Count(), 6);
    EXPECT_EQ(column.Total(), 110);
    struct Case {
        int y, item;
    } cases[] = {{-1, -1}, {0, 0},  {20, 0}, {21, 1}, {62, 2}, {63, 3},
                 {67, 3},  {68, 4}, {88, 4}, {89, 5}, {109, 5}, {110, -1}, {INT_MAX, -1}, {INT_MIN, -1}};
    for (const Case& c : cases) EXPECT_EQ(column.ItemAt(c.y), c.item) << "y " << c.y;
}

TEST(ListMenuColumn, ItemsOfNoHeightAreNeverUnderAPointAndNegativeHeightsCountAsNone) {
    const ItemColumn column({10, 0, -7, 10});
    EXPECT_EQ(column.Total(), 20);
    EXPECT_EQ(column.ItemAt(9), 0);
    EXPECT_EQ(column.ItemAt(10), 3);  // items 1 and 2 take no rows
    EXPECT_EQ(ItemColumn().ItemAt(0), -1);
    EXPECT_EQ(ItemColumn().Count(), 0);
}

TEST(ListMenuColumn, TenThousandItemsFindTheirOwnBand) {
    const ItemColumn column(std::vector<int>(10000, 21));
    EXPECT_EQ(column.Total(), 210000);
    for (int i : {0, 1, 4999, 9998, 9999}) {
        EXPECT_EQ(column.ItemAt(column.Top(i)), i);
        EXPECT_EQ(column.ItemAt(column.Bottom(i) - 1), i);
    }
}

TEST(ListMenuScrolling, OffsetsStayInsideTheColumn) {
    struct Case {
        int offset, total, view, expected;
    } cases[] = {
        {50, 110, 200, 0},    // everything fits: never scrolled
        {-5, 110, 50, 0},     {30, 110, 50, 30}, {60, 110, 50, 60},
        {61, 110, 50, 60},    // not past the last row
        {INT_MAX, 110, 50, 60}, {INT_MIN, 110, 50, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ClampOffset(c.offset, c.total, c.view), c.expected) << c.offset << " " << c.view;
}

TEST(ListMenuScrolling, ShowingAnItemMovesAsLittleAsPossible) {
    const ItemColumn column = SixItems();
    struct Case {
        int item, offset, view, expected;
    } cases[] = {
        {0, 0, 50, 0},     // shown already
        {2, 0, 50, 13},    // below: its bottom (63) at the view's bottom
        {5, 0, 50, 60},    // the last: the end of the column
        {1, 40, 50, 21},   // above: its top at the view's top
        {4, 40, 50, 40},   // whole in view: no move
        {4, 0, 15, 68},    // taller than the view: its top
        {-1, 33, 50, 33},  {6, 33, 50, 33},  // no such item: unchanged
    };
    for (const Case& c : cases)
        EXPECT_EQ(OffsetShowing(column, c.item, {c.offset, c.view}), c.expected) << "item " << c.item;
}

TEST(ListMenuScrolling, VisibleItemsAreThoseAnyRowOfTheViewFallsOn) {
    const ItemColumn column = SixItems();
    struct Case {
        int offset, view, first, last;
    } cases[] = {{0, 21, 0, 0}, {0, 22, 0, 1}, {20, 2, 0, 1}, {60, 50, 2, 5}, {0, 500, 0, 5}, {0, 0, 0, -1}};
    for (const Case& c : cases) {
        const ItemRange range = VisibleItems(column, {c.offset, c.view});
        EXPECT_EQ(range.First, c.first) << c.offset << "+" << c.view;
        EXPECT_EQ(range.Last, c.last) << c.offset << "+" << c.view;
    }
    EXPECT_EQ(VisibleItems(ItemColumn(), {0, 100}).Last, -1);
}

TEST(ListMenuPlacement, AtTheMouseFlippedAtTheEdgesAndAlwaysInsideTheWorkArea) {
    // A work area that does not start at 0 (a task bar on the left and top, a second monitor).
    const Rect work{100, 50, 1100, 850};
    struct Case {
        const char* what;
        Point at;
        Size menu;
        Point expected;
    } cases[] = {
        {"room below and right", {300, 200}, {200, 300}, {300, 200}},
        {"right edge: opens to the left", {1000, 200}, {200, 300}, {800, 200}},
        {"bottom edge: opens upwards", {300, 700}, {200, 300}, {300, 400}},
        {"both: up and left", {1050, 800}, {200, 300}, {850, 500}},
        {"fits neither below nor above: at the top", {150, 500}, {200, 760}, {150, 50}},
        {"mouse outside the work area: inside", {10, 10}, {200, 300}, {100, 50}},
        {"as large as the work area", {600, 400}, {1000, 800}, {100, 50}},
        {"exactly up to the edge", {900, 550}, {200, 300}, {900, 550}},
    };
    for (const Case& c : cases) {
        const Point p = PlaceAtPoint(c.at, c.menu, work);
        EXPECT_EQ(p.X, c.expected.X) << c.what;
        EXPECT_EQ(p.Y, c.expected.Y) << c.what;
        EXPECT_GE(p.X, work.Left) << c.what;
        EXPECT_LE(p.X + c.menu.Width, work.Right) << c.what;
        EXPECT_GE(p.Y, work.Top) << c.what;
        EXPECT_LE(p.Y + c.menu.Height, work.Bottom) << c.what;
    }
}

TEST(ListMenuPlacement, AListTallerThanTheWorkAreaIsCutToItsHeight) {
    const Rect work{0, 0, 1280, 770};
    const Size fitted = FitToWorkArea({300, 210004}, work);
    EXPECT_EQ(fitted.Width, 300);
    EXPECT_EQ(fitted.Height, 770);
    EXPECT_EQ(FitToWorkArea({5000, 100}, work).Width, 1280);
    EXPECT_EQ(FitToWorkArea({300, 100}, Rect{0, 0, -5, -5}).Height, 0);
}

TEST(ListMenuLetters, TheCharacterACaptionShowsFirst) {
    struct Case {
        const wchar_t* caption;
        wchar_t shown;
    } cases[] = {{L"Work", L'W'}, {L"&Work", L'W'}, {L"&&Work", L'&'}, {L"&", 0}, {L"", 0}, {L"下载", L'下'}};
    for (const Case& c : cases) EXPECT_EQ(ShownInitial(c.caption), c.shown);
}

TEST(ListMenuLetters, LettersMatchWithoutCaseOtherCharactersOnlyThemselves) {
    EXPECT_TRUE(SameLetter(L'a', L'A'));
    EXPECT_TRUE(SameLetter(L'Z', L'z'));
    EXPECT_TRUE(SameLetter(L'é', L'É'));
    EXPECT_FALSE(SameLetter(L'÷', L'×'));  // the division and multiplication signs are no pair
    EXPECT_FALSE(SameLetter(L'a', L'b'));
    EXPECT_FALSE(SameLetter(L'[', L'{'));  // 0x20 apart, but no letters
    EXPECT_TRUE(SameLetter(L'下', L'下'));
}

TEST(ListMenuLetters, ATypedLetterMovesToTheNextChoosableItemStartingWithItAndGoesRound) {
    const std::vector<std::wstring> texts{L"apple", L"Banana", L"-", L"berry", L"&blue", L"cherry", L"avocado"};
    const std::vector<std::wstring_view> captions(texts.begin(), texts.end());
    const auto all = [&](int i) { return texts[static_cast<size_t>(i)] != L"-"; };
    const auto notBerry = [&](int i) { return all(i) && i != 3; };
    struct Case {
        wchar_t typed;
        int current;
        bool skipBerry;
        int expected;
    } cases[] = {
        {L'b', -1, false, 1},  // from no selection: the first
        {L'B', 1, false, 3},   {L'b', 3, false, 4},  // "&blue" shows b
        {L'b', 4, false, 1},   // round past the end
        {L'b', 1, true, 4},    // a greyed item is passed over
        {L'c', 5, false, 5},   // the only match: stays
        {L'a', 6, false, 0},   {L'x', 2, false, -1}, {L'-', -1, false, -1},
        {L'a', 99, false, 0},  // a current item out of range counts as none
    };
    for (const Case& c : cases) {
        const int next = c.skipBerry ? NextItemStartingWith(captions, c.typed, c.current, notBerry)
                                     : NextItemStartingWith(captions, c.typed, c.current, all);
        EXPECT_EQ(next, c.expected) << char(c.typed) << " from " << c.current;
    }
    EXPECT_EQ(NextItemStartingWith({}, L'a', -1, all), -1);
}

TEST(ListMenuFilter, AFilteredMenuShowsTheItemsThatExistOnceInTheFiltersOrder) {
    struct Case {
        int count;
        std::vector<int> chosen;
        std::vector<int> items, rowOf;
    } cases[] = {
        {4, {2, 0}, {2, 0}, {1, -1, 0, -1}},
        {4, {2, -1, 7, 2, 0, 4}, {2, 0}, {1, -1, 0, -1}},  // no item out of range, none twice
        {3, {}, {}, {-1, -1, -1}},
        {0, {0}, {}, {}},
    };
    for (const Case& c : cases) {
        const listmenu::ShownItems shown = listmenu::ShowItems(c.count, &c.chosen);
        EXPECT_EQ(shown.Items, c.items) << c.count << " items, " << c.chosen.size() << " chosen";
        EXPECT_EQ(shown.RowOf, c.rowOf) << c.count << " items, " << c.chosen.size() << " chosen";
    }
    const listmenu::ShownItems all = listmenu::ShowItems(3, nullptr);
    EXPECT_EQ(all.Items, (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(all.RowOf, (std::vector<int>{0, 1, 2}));
}

TEST(ListMenuLetters, ArrowKeysSkipWhatCannotBeChosenAndGoRound) {
    const auto odd = [](int i) { return i % 2 == 1; };
    struct Case {
        int count, current, direction, expected;
    } cases[] = {{6, -1, 1, 1}, {6, -1, -1, 5}, {6, 1, 1, 3}, {6, 5, 1, 1}, {6, 1, -1, 5}, {1, -1, 1, -1}, {0, -1, 1, -1}};
    for (const Case& c : cases)
        EXPECT_EQ(NextChoosable(c.count, c.current, c.direction, odd), c.expected)
            << c.count << " " << c.current << " " << c.direction;
}

}  // namespace
