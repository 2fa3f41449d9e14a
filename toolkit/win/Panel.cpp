#include "toolkit/win/Panel.h"

#include "toolkit/win/Scoped.h"

namespace tk {

TCustomPanel::TCustomPanel(TComponent* owner) : TWinControl(owner) {}

void TCustomPanel::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.WinClassName = L"tk.Panel";
    params.Style |= WS_CLIPCHILDREN;
    params.Background = nullptr;  // the panel paints all of itself
}

void TCustomPanel::SetColor(TColor color) {
    color_ = color;
    Invalidate();
}

void TCustomPanel::Repaint() {
    if (!HandleAllocated()) return;
    ScopedGetDC dc(Handle());
    TCanvas canvas(dc);
    Paint(canvas);
}

void TCustomPanel::PaintBackground(TCanvas& canvas, const TRect& rect) {
    canvas.SetBrushColor(color_);
    canvas.FillRect(rect);
}

void TCustomPanel::Paint(TCanvas& canvas) {
    RECT r;
    GetClientRect(Handle(), &r);
    canvas.SetBrushColor(color_);
    canvas.FillRect({r.left, r.top, r.right, r.bottom});
    auto bevel = [&](TPanelBevel kind, RECT& box) {
        if (kind == TPanelBevel::None) return;
        const COLORREF light = ColorToRGB(kind == TPanelBevel::Raised ? clBtnHighlight : clBtnShadow);
        const COLORREF dark = ColorToRGB(kind == TPanelBevel::Raised ? clBtnShadow : clBtnHighlight);
        canvas.SetPenColor(light);
        canvas.Polyline({{box.left, box.bottom - 1}, {box.left, box.top}, {box.right - 1, box.top}});
        canvas.SetPenColor(dark);
        canvas.Polyline({{box.right - 1, box.top}, {box.right - 1, box.bottom - 1}, {box.left - 1, box.bottom - 1}});
        InflateRect(&box, -1, -1);
    };
    if (border_ == TPanelBorder::Single) {
        canvas.SetBrushColor(clBlack);
        canvas.FrameRect({r.left, r.top, r.right, r.bottom});
        InflateRect(&r, -1, -1);
    }
    bevel(bevelOuter_, r);
    bevel(bevelInner_, r);
}

void TCustomPanel::WndProc(TMessage& m) {
    switch (m.Msg) {
    case WM_ERASEBKGND: {
        // The panel's own background is painted with the rest of it; a child that draws through
        // its parent gets the background under it.
        HDC dc = reinterpret_cast<HDC>(m.WParam);
        if (dc && WindowFromDC(dc) != Handle()) {
            RECT r;
            GetClientRect(Handle(), &r);
            TCanvas canvas(dc);
            PaintBackground(canvas, {r.left, r.top, r.right, r.bottom});
        }
        m.Result = 1;
        return;
    }
    case WM_PAINT: {
        ScopedPaint dc(Handle());
        TCanvas canvas(dc);
        Paint(canvas);
        m.Result = 0;
        return;
    }
    case WM_SIZE:
        TWinControl::WndProc(m);
        Resized();
        return;
    default:
        break;
    }
    TWinControl::WndProc(m);
}

}  // namespace tk
