// The frame's non-client border, painted on the whole-window device context of the host: from a
// skin's border pictures, or from a built-in style's colours and the title bar's pieces.
#pragma once

#include "skin/controls/TitleBar.h"
#include "skin/theme/FileTheme.h"
#include "toolkit/win/Bitmap.h"
#include "toolkit/win/Canvas.h"

namespace skin {

// What the skin painter needs besides the theme: the border pieces' sizes (0 for a missing one),
// the height of the title band at the window top, and how the bottom border shows its
// transparent colour.
struct SkinFrameLook {
    TsuiFileTheme* Theme = nullptr;  // ready
    int LeftBorder = 0, RightBorder = 0, BottomBorder = 0;
    int TitleBand = 0;
    bool BottomNeedsRegion = false;
    tk::TColor TransparentColor = 0;
};

// The bottom border as wide as the window, from the skin's bottom pieces (three pieces, or one
// drawn in three parts); emptied when the skin has none or the width is not positive.
void ComposeBottomBorder(TsuiFileTheme& theme, tk::TBitmap& image, int width);

// The border of a w x h window from the skin: the title image's corners and top rows, the side
// pieces and the bottom border (composed into bottomImage first).
void PaintSkinFrame(tk::TCanvas& canvas, int w, int h, TsuiTitleBar& titleBar, const SkinFrameLook& look,
                    tk::TBitmap& bottomImage);

// What the built-in painter needs: the painted border, the frame's colour, and the bands above
// the client area (title band, visible menu bar).
struct BuiltInFrameLook {
    int BorderWidth = 1;
    tk::TColor BorderColor = 0, Color = 0;
    int TitleBand = 0, MenuBarHeight = 0;
};

// The border of a w x h window in a built-in style: the title bar's pieces in the corners and
// the three rows above the bar, the rounded corners' arcs, and the border bands.
void PaintBuiltInFrame(tk::TCanvas& canvas, int w, int h, TsuiTitleBar& titleBar, const BuiltInFrameLook& look);

}  // namespace skin
