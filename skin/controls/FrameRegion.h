// The outline of a framed window: cut from the skin's title and bottom pictures where they hold
// the transparent colour, or rounded at the corners in a built-in style.
#pragma once

#include "toolkit/win/Bitmap.h"
#include "toolkit/win/Canvas.h"
#include "toolkit/win/Scoped.h"

namespace skin {

// Which of the skin's pictures shape the outline, and in which rows their pixels are read (a
// minimum of -1 reads from row 0; a maximum not above the minimum reads to the last row).
struct PictureOutline {
    bool TitleNeedsRegion = false, BottomNeedsRegion = false;
    int TitleMinY = 0, TitleMaxY = 0, BottomMinY = 0, BottomMaxY = 0;
    tk::TColor TransparentColor = 0;
};

// The outline of a w x h window: the title picture's opaque pixels at the top, the bottom
// picture's at the bottom, everything between them.
tk::ScopedRegion PictureOutlineRegion(int w, int h, tk::TBitmap& title, tk::TBitmap& bottom,
                                      const PictureOutline& outline);

// The built-in outline of a w x h window: the upper half with its top corners rounded by
// roundCorner, the lower half with its bottom corners rounded by roundCornerBottom.
tk::ScopedRegion RoundedOutlineRegion(int w, int h, int roundCorner, int roundCornerBottom);

}  // namespace skin
