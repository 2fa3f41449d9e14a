#include "flat/FlatUtilitys.h"

#include "toolkit/win/Scoped.h"

tk::TColor AdvancedColor(tk::TColor base, tk::TColor fallback, std::uint8_t amount, TLightShift shift) {
    if (amount == 0) return fallback;
    return AdvancedColorRgb(tk::ColorToRGB(base), fallback, amount, shift);
}

void DrawBevelFrame(tk::TCanvas& canvas, tk::TRect r, tk::TColor topColor, tk::TColor bottomColor, int width) {
    canvas.SetPenWidth(1);
    r.Right -= 1;
    r.Bottom -= 1;
    for (int i = 0; i < width; ++i) {
        canvas.SetPenColor(topColor);
        canvas.Polyline({{r.Left, r.Bottom}, {r.Left, r.Top}, {r.Right, r.Top}});
        canvas.SetPenColor(bottomColor);
        canvas.Polyline({{r.Right, r.Top}, {r.Right, r.Bottom}, {r.Left - 1, r.Bottom}});
        r.Left += 1;
        r.Top += 1;
        r.Right -= 1;
        r.Bottom -= 1;
    }
}

namespace {

// A monochrome bitmap selected into a memory context of its own.
struct MonoMask {
    tk::ScopedMemDC dc;
    tk::ScopedBitmap bitmap;
    tk::ScopedSelectObject selected;  // undone before the bitmap and the context go
    MonoMask(int w, int h) : bitmap(CreateBitmap(w, h, 1, 1, nullptr)) {
        if (!dc.get() || !bitmap) throw tk::EInvalidGraphic(L"Out of system resources");
        selected.Select(dc, bitmap.get());
    }
};

// Puts the mask onto the result with raster operation 0xE20746: the brush colour where the mask is
// white, the result kept where it is black.
void StampMask(tk::TBitmap& result, const MonoMask& mask, int x, int y, tk::TColor color) {
    HDC dc = result.Dc();
    const tk::ScopedBrush brush(CreateSolidBrush(tk::ColorToRGB(color)));
    const tk::ScopedSelectObject selected(dc, brush.get());
    const COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
    const COLORREF oldBack = SetBkColor(dc, RGB(255, 255, 255));
    BitBlt(dc, x, y, result.Width(), result.Height(), mask.dc, 0, 0, 0xE20746);
    SetBkColor(dc, oldBack);
    SetTextColor(dc, oldText);
}

}  // namespace

std::unique_ptr<tk::TBitmap> MakeDisabledGlyph(tk::TBitmap& source, tk::TColor outline, tk::TColor back,
                                               tk::TColor highlight, tk::TColor shadow, bool drawHighlight) {
    const int w = source.Width(), h = source.Height();
    auto result = std::make_unique<tk::TBitmap>(w, h);
    if (result->Empty()) return result;

    // The work copy of the source, and from it the mask: white where the copy shows the outline
    // colour (the background colour of a colour-to-monochrome copy becomes 1), black elsewhere.
    tk::TBitmap work(w, h);
    BitBlt(work.Dc(), 0, 0, w, h, source.Dc(), 0, 0, SRCCOPY);
    MonoMask mask(w, h);
    const COLORREF oldBack = SetBkColor(work.Dc(), tk::ColorToRGB(outline));
    BitBlt(mask.dc, 0, 0, w, h, work.Dc(), 0, 0, SRCCOPY);
    SetBkColor(work.Dc(), oldBack);

    tk::TCanvas canvas(result->Dc());
    canvas.SetBrushColor(back);
    canvas.FillRect({0, 0, w, h});
    canvas.SetHandle(nullptr);
    if (drawHighlight) StampMask(*result, mask, 1, 1, highlight);
    StampMask(*result, mask, 0, 0, shadow);
    GdiFlush();
    return result;
}

void CopyParentBackground(tk::TControl& control, tk::TCanvas& canvas) { tk::PaintParentImage(control, canvas.Handle()); }
