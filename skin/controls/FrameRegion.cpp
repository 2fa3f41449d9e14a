#include "skin/controls/FrameRegion.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "skin/controls/FrameGeometry.h"

namespace skin {

namespace {

// A region from a list of rectangles (empty for none).
tk::ScopedRegion RegionOf(const std::vector<Box>& boxes) {
    tk::ScopedRegion region(CreateRectRgn(0, 0, 0, 0));
    for (const Box& b : boxes) {
        const tk::ScopedRegion part(CreateRectRgn(b.Left, b.Top, b.Right, b.Bottom));
        CombineRgn(region.get(), region.get(), part.get(), RGN_OR);
    }
    return region;
}

void UniteRect(HRGN region, int l, int t, int r, int b) {
    const tk::ScopedRegion part(CreateRectRgn(l, t, r, b));
    CombineRgn(region, region, part.get(), RGN_OR);
}

}  // namespace

tk::ScopedRegion PictureOutlineRegion(int w, int h, tk::TBitmap& title, tk::TBitmap& bottom,
                                      const PictureOutline& outline) {
    std::vector<Box> boxes;
    const int th = outline.TitleNeedsRegion ? title.Height() : 0;
    const int bh = outline.BottomNeedsRegion ? bottom.Height() : 0;
    if (outline.TitleNeedsRegion)
        boxes = PictureRegionRows(title.Width(), title.Height(), w, 0, outline.TitleMinY, outline.TitleMaxY,
                                  outline.TransparentColor, [&title](int x, int y) { return title.GetPixel(x, y); });
    boxes.push_back({0, th, w, h - bh});
    if (outline.BottomNeedsRegion) {
        auto rows = PictureRegionRows(bottom.Width(), bottom.Height(), w, h - bh, outline.BottomMinY,
                                      outline.BottomMaxY, outline.TransparentColor,
                                      [&bottom](int x, int y) { return bottom.GetPixel(x, y); });
        boxes.insert(boxes.end(), rows.begin(), rows.end());
    }
    return RegionOf(boxes);
}

tk::ScopedRegion RoundedOutlineRegion(int w, int h, int roundCorner, int roundCornerBottom) {
    const int a = h / 2;
    const int rc = roundCorner;
    const int rb = std::max(0, roundCornerBottom);
    // Each half is a rounded rectangle whose corners at the middle are squared off again.
    tk::ScopedRegion region(CreateRoundRectRgn(0, 0, w + 1, a + 1, rc, rc));
    UniteRect(region.get(), 0, a - 2 * rc, 2 * rc, a);
    UniteRect(region.get(), w - 2 * rc, a - 2 * rc, w, a);
    const tk::ScopedRegion lower(CreateRoundRectRgn(0, a, w + 1, h + 1, rb, rb));
    UniteRect(lower.get(), 0, a, 2 * rb, a + 2 * rb);
    UniteRect(lower.get(), w - 2 * rb, a, w, a + 2 * rb);
    CombineRgn(region.get(), region.get(), lower.get(), RGN_OR);
    return region;
}

}  // namespace skin
