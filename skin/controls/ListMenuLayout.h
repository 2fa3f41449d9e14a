// The arithmetic of the skinned list menu, a popup menu for lists of any length: where each item
// lies, which item a point is on, how far the list is scrolled, where the menu goes on the screen
// and which item a typed letter moves to. Plain numbers and texts: both builds, no windows.
#pragma once

#include <functional>
#include <string_view>
#include <vector>

namespace listmenu {

struct Rect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
};
struct Point {
    int X = 0, Y = 0;
};
struct Size {
    int Width = 0, Height = 0;
};

// The items stacked from the top: item i covers [Top(i), Bottom(i)) of the list's own height.
// Built once per list in one pass; every query after that takes logarithmic time at most.
class ItemColumn {
public:
    ItemColumn() : tops_{0} {}
    // Heights below zero count as zero.
    explicit ItemColumn(const std::vector<int>& heights);
    int Count() const { return static_cast<int>(tops_.size()) - 1; }
    int Total() const { return tops_.back(); }
    // Item i must exist (0 <= i < Count()).
    int Top(int i) const { return tops_[static_cast<size_t>(i)]; }
    int Bottom(int i) const { return tops_[static_cast<size_t>(i) + 1]; }
    // The item whose band holds y, or -1 outside the column.
    int ItemAt(int y) const;

private:
    std::vector<int> tops_;  // Count() + 1 entries: each item's top, then the total
};

// The part of the list shown: `offset` pixels of the column are scrolled away above a view
// `view` pixels high.
struct Viewport {
    int Offset = 0;
    int View = 0;
};

// The offset kept within 0 .. total - view (0 when everything fits).
int ClampOffset(int offset, int total, int view);
// The offset that shows item i whole, moving as little as possible from the current one; an item
// taller than the view shows its top.
int OffsetShowing(const ItemColumn& column, int item, const Viewport& viewport);
// The first and last item any row of the view falls on; {0, -1} for an empty column.
struct ItemRange {
    int First = 0, Last = -1;
};
ItemRange VisibleItems(const ItemColumn& column, const Viewport& viewport);

// The menu's size on a work area: as large as its content, but no higher than the work area
// (the list then scrolls) and no wider.
Size FitToWorkArea(Size content, const Rect& workArea);
// Where a menu of the given size opens for a point (the mouse): its top-left corner at the point;
// to the left of the point when it would pass the work area's right edge, above the point when it
// would pass the bottom edge; and in the end inside the work area.
Point PlaceAtPoint(Point at, Size menu, const Rect& workArea);

// The character a caption shows first: "&&" shows an ampersand, "&x" shows x (underlined).
// 0 for a caption that shows nothing.
wchar_t ShownInitial(std::wstring_view caption);
// Two characters as the same letter: ASCII and Latin-1 letters without regard to case, every
// other character only itself.
bool SameLetter(wchar_t a, wchar_t b);
// The item a typed character moves to: the first after `current` (from the top when current is
// -1), going round past the end, whose caption shows the character first (SameLetter) and which
// `choosable` allows; the current item itself only when no other one matches. -1 when none.
int NextItemStartingWith(const std::vector<std::wstring_view>& captions, wchar_t typed, int current,
                         const std::function<bool(int)>& choosable);
// The items a filtered menu shows, top to bottom, and each item's row in it (-1: hidden): of the
// items a filter returned (`chosen`), those that exist, each once, in the filter's order; every
// item in its order when there is no filter (nullptr).
struct ShownItems {
    std::vector<int> Items;
    std::vector<int> RowOf;
};
ShownItems ShowItems(int count, const std::vector<int>* chosen);
// The next item from `current` in the direction (+1 down, -1 up) that `choosable` allows, going
// round past either end (from -1: the first going down, the last going up); -1 when none.
int NextChoosable(int count, int current, int direction, const std::function<bool(int)>& choosable);

}  // namespace listmenu
