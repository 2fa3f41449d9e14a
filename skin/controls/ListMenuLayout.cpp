#include "skin/controls/ListMenuLayout.h"

#include <algorithm>

namespace listmenu {

ItemColumn::ItemColumn(const std::vector<int>& heights) {
    tops_.reserve(heights.size() + 1);
    int top = 0;
    tops_.push_back(top);
    for (int h : heights) {
        top += h > 0 ? h : 0;
        tops_.push_back(top);
    }
}

int ItemColumn::ItemAt(int y) const {
    if (y < 0 || y >= Total()) return -1;
    // The last top at or above y; items of no height are skipped over by taking the last.
    const auto it = std::upper_bound(tops_.begin(), tops_.end(), y);
    return static_cast<int>(it - tops_.begin()) - 1;
}

int ClampOffset(int offset, int total, int view) {
    const int most = total - view;
    if (most <= 0) return 0;
    return std::clamp(offset, 0, most);
}

int OffsetShowing(const ItemColumn& column, int item, const Viewport& viewport) {
    int offset = ClampOffset(viewport.Offset, column.Total(), viewport.View);
    if (item < 0 || item >= column.Count()) return offset;
    const int top = column.Top(item), bottom = column.Bottom(item);
    if (bottom > offset + viewport.View) offset = bottom - viewport.View;
    if (top < offset) offset = top;
    return ClampOffset(offset, column.Total(), viewport.View);
}

ItemRange VisibleItems(const ItemColumn& column, const Viewport& viewport) {
    if (column.Count() == 0 || viewport.View <= 0) return {};
    const int offset = ClampOffset(viewport.Offset, column.Total(), viewport.View);
    const int first = column.ItemAt(offset);
    if (first < 0) return {};
    const int lastRow = std::min(offset + viewport.View, column.Total()) - 1;
    return {first, column.ItemAt(lastRow)};
}

Size FitToWorkArea(Size content, const Rect& workArea) {
    return {std::clamp(content.Width, 0, std::max(workArea.Width(), 0)),
            std::clamp(content.Height, 0, std::max(workArea.Height(), 0))};
}

namespace {

// One axis of the placement: from `at` forwards when the menu fits before `end`, else backwards
// from `at`; then inside [begin, end).
int PlaceOnAxis(int at, int length, int begin, int end) {
    int start = at;
    if (start + length > end) start = at - length;
    if (start + length > end) start = end - length;
    if (start < begin) start = begin;
    return start;
}

}  // namespace

Point PlaceAtPoint(Point at, Size menu, const Rect& workArea) {
    return {PlaceOnAxis(at.X, menu.Width, workArea.Left, workArea.Right),
            PlaceOnAxis(at.Y, menu.Height, workArea.Top, workArea.Bottom)};
}

wchar_t ShownInitial(std::wstring_view caption) {
    if (caption.empty()) return 0;
    if (caption[0] != L'&') return caption[0];
    // "&&" is an ampersand; "&x" underlines x; a lone "&" at the end shows nothing.
    return caption.size() > 1 ? caption[1] : 0;
}

namespace {

wchar_t FoldCase(wchar_t c) {
    if (c >= L'a' && c <= L'z') return static_cast<wchar_t>(c - L'a' + L'A');
    // Latin-1 small letters à..þ, except the division sign, have their capitals 0x20 below.
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<wchar_t>(c - 0x20);
    return c;
}

}  // namespace

bool SameLetter(wchar_t a, wchar_t b) { return FoldCase(a) == FoldCase(b); }

int NextItemStartingWith(const std::vector<std::wstring_view>& captions, wchar_t typed, int current,
                         const std::function<bool(int)>& choosable) {
    const int count = static_cast<int>(captions.size());
    if (count == 0 || typed == 0) return -1;
    const int start = current >= 0 && current < count ? current : -1;
    for (int step = 1; step <= count; ++step) {
        const int i = (start + step) % count;
        const wchar_t initial = ShownInitial(captions[static_cast<size_t>(i)]);
        if (initial != 0 && SameLetter(initial, typed) && (!choosable || choosable(i))) return i;
    }
    return -1;
}

ShownItems ShowItems(int count, const std::vector<int>* chosen) {
    ShownItems shown;
    shown.RowOf.assign(static_cast<size_t>(std::max(count, 0)), -1);
    const auto show = [&](int item) {
        if (item < 0 || item >= count || shown.RowOf[static_cast<size_t>(item)] >= 0) return;
        shown.RowOf[static_cast<size_t>(item)] = static_cast<int>(shown.Items.size());
        shown.Items.push_back(item);
    };
    if (chosen) {
        shown.Items.reserve(chosen->size());
        for (int item : *chosen) show(item);
    } else {
        shown.Items.reserve(shown.RowOf.size());
        for (int item = 0; item < count; ++item) show(item);
    }
    return shown;
}

int NextChoosable(int count, int current, int direction, const std::function<bool(int)>& choosable) {
    if (count <= 0 || direction == 0) return -1;
    const int step = direction > 0 ? 1 : -1;
    int i = current >= 0 && current < count ? current : (step > 0 ? -1 : count);
    for (int tried = 0; tried < count; ++tried) {
        i = (i + step + count) % count;
        if (!choosable || choosable(i)) return i;
    }
    return -1;
}

}  // namespace listmenu
