#include "skin/controls/FramePainter.h"

#include <windows.h>

#include <algorithm>

#include "skin/controls/FrameGeometry.h"
#include "skin/theme/SkinDraw.h"

namespace skin {

namespace {

// Side pieces narrower than this leave the rest of the side to the form colour.
constexpr int kMinSideWidth = 4;
// The corner size whose top corners are drawn as arcs.
constexpr int kArcCorner = 11;

void FillColor(tk::TCanvas& canvas, const tk::TRect& r, tk::TColor color) {
    if (r.Right <= r.Left || r.Bottom <= r.Top) return;
    canvas.SetBrushStyle(tk::TBrushStyle::Solid);
    canvas.SetBrushColor(color);
    canvas.FillRect(r);
}

bool TitleShowsPieces(TsuiTitleBar& titleBar) {
    const int sections = titleBar.Sections().Count();
    return titleBar.Visible() && (sections == 3 || sections == 5);
}

}  // namespace

void ComposeBottomBorder(TsuiFileTheme& theme, tk::TBitmap& image, int width) {
    tk::TBitmap* b1 = theme.GetThemeBitmap(SKIN2_FORMBOTTOMBORDER1);
    if (!b1 || width <= 0) {
        image.SetSize(0, 0);
        return;
    }
    image.SetSize(width, b1->Height());
    tk::TCanvas c(image.Dc());
    if (theme.GetThemeBool(SKIN2_BOTTOMBORDERTHREESECT)) {
        tk::TBitmap* b2 = theme.GetThemeBitmap(SKIN2_FORMBOTTOMBORDER2);
        tk::TBitmap* b3 = theme.GetThemeBitmap(SKIN2_FORMBOTTOMBORDER3);
        const int b3w = b3 ? b3->Width() : 0;
        c.Draw(0, 0, *b1);
        if (b3) c.Draw(width - b3w, 0, *b3);
        if (b2) c.StretchDraw({b1->Width(), 0, width - b3w, b1->Height()}, *b2);
    } else {
        DrawThreePartBitmap(*b1, c, {0, 0, width, b1->Height()}, 0, false);
    }
}

void PaintSkinFrame(tk::TCanvas& canvas, int w, int h, TsuiTitleBar& titleBar, const SkinFrameLook& look,
                    tk::TBitmap& bottomImage) {
    TsuiFileTheme* t = look.Theme;
    const int tl = look.LeftBorder, tr = look.RightBorder, tb = look.BottomBorder;
    const tk::TColor formColor = static_cast<tk::TColor>(t->GetThemeColor(SKIN2_FORMCOLOR));
    if (TitleShowsPieces(titleBar)) {
        tk::TBitmap& ci = titleBar.ComposedTitleImage();
        tk::TCanvas source(ci.Dc());
        const int iw = ci.Width(), ih = ci.Height();
        const int left = std::max(tl, kMinSideWidth), right = std::max(kMinSideWidth, tr);
        canvas.CopyRect({0, 0, left, ih}, source, {0, 0, left, ih});
        canvas.CopyRect({0, 0, iw, kTitleStripRows}, source, {0, 0, iw, kTitleStripRows});
        canvas.CopyRect({w - right, 0, w, ih}, source, {iw - right, 0, iw, ih});
    }
    const int top = look.TitleBand;
    if (tk::TBitmap* lb = t->GetThemeBitmap(SKIN2_FORMLEFTBORDER)) {
        canvas.StretchDraw({0, top, lb->Width(), h - tb}, *lb);
        if (lb->Width() < kMinSideWidth) FillColor(canvas, {lb->Width(), top, kMinSideWidth, h - tb}, formColor);
    }
    if (tk::TBitmap* rb = t->GetThemeBitmap(SKIN2_FORMRIGHTBORDER)) {
        const int r = rb->Width();
        canvas.StretchDraw({w - r, top, w, h - tb}, *rb);
        if (r < kMinSideWidth) FillColor(canvas, {w - kMinSideWidth, top, w - r, h - tb}, formColor);
    }
    ComposeBottomBorder(*t, bottomImage, w);
    if (!bottomImage.Empty()) {
        const bool wasTransparent = bottomImage.Transparent();
        if (look.BottomNeedsRegion) {
            // Composed over the form colour first, then copied in one operation.
            tk::TBitmap shown(bottomImage.Width(), bottomImage.Height());
            tk::TCanvas c(shown.Dc());
            FillColor(c, {0, 0, shown.Width(), shown.Height()}, formColor);
            bottomImage.SetTransparent(true);
            bottomImage.SetTransparentColor(look.TransparentColor);
            c.Draw(0, 0, bottomImage);
            canvas.Draw(0, h - tb, shown);
        } else {
            bottomImage.SetTransparent(false);
            canvas.Draw(0, h - tb, bottomImage);
        }
        bottomImage.SetTransparent(wasTransparent);
    }
    if (tb < kMinSideWidth) FillColor(canvas, {tl, h - kMinSideWidth, w - tr, h - tb}, formColor);
}

void PaintBuiltInFrame(tk::TCanvas& canvas, int w, int h, TsuiTitleBar& titleBar, const BuiltInFrameLook& look) {
    const int bw = look.BorderWidth;
    if (TitleShowsPieces(titleBar)) {
        tk::TBitmap& s0 = titleBar.Sections().Items(0)->Picture();
        tk::TBitmap& s1 = titleBar.Sections().Items(1)->Picture();
        tk::TBitmap& s2 = titleBar.Sections().Items(2)->Picture();
        const int r1 = s1.Width();
        // The corners: what the border leaves of the three side columns shows the end pieces.
        if (3 - bw > 0 && s0.Height() > 0) {
            tk::TBitmap temp(3 - bw, s0.Height());
            {
                tk::TCanvas c(temp.Dc());
                c.Draw(0, 0, s0);
            }
            canvas.Draw(bw, 0, temp);
            {
                tk::TCanvas c(temp.Dc());
                if (r1 < 3) {
                    c.StretchDraw({0, 0, temp.Width(), temp.Height()}, s1);
                } else {
                    c.Draw(2 - r1, 0, s1);
                }
            }
            canvas.Draw(w - 3, 0, temp);
        }
        // The rows above the bar between the corners show the title's own top rows.
        if (w - 5 > 0) {
            tk::TBitmap band(w - 5, kTitleStripRows);
            {
                tk::TCanvas c(band.Dc());
                c.Draw(-2, 0, s0);
                c.Draw((w - 5) - r1 + 3, 0, s1);
                c.StretchDraw({s0.Width() - 2, 0, (w - 5) - r1 + 3, s2.Height()}, s2);
            }
            canvas.Draw(2, 0, band);
        }
        if (WantsCornerArcs(bw, titleBar.RoundCorner(), titleBar.Designing())) {
            const int rc = kArcCorner;
            canvas.SetPenColor(look.BorderColor);
            canvas.SetBrushStyle(tk::TBrushStyle::Clear);
            SetArcDirection(canvas.Handle(), AD_COUNTERCLOCKWISE);
            canvas.Arc(w - 2 * rc + 1, -1, w + 1, 2 * rc - 1, w + 1, rc - 1, w - rc + 1, -1);
            canvas.Arc(-1, -1, 2 * rc - 1, 2 * rc - 1, rc - 1, -1, -1, rc - 1);
        }
    }
    for (const Band& band : BuiltInBorderBands(w, h, bw, look.TitleBand, look.MenuBarHeight, titleBar.Visible()))
        FillColor(canvas, tk::ToTRect(band.Rect), band.Color == BandColor::Border ? look.BorderColor : look.Color);
}

}  // namespace skin
