#include "flat/FlatCheckBox.h"

#include <windowsx.h>

FlatHotTracker& TFlatCheckBox::ClassTracker() {
    static FlatHotTracker tracker;
    return tracker;
}

TFlatCheckBox::TFlatCheckBox(tk::TComponent* owner)
    : tk::TWinControl(owner), FlatFaceColors(tk::ColorToRGB, tk::clWhite, 0xC5D6D9, 0x8396A0) {
    ClassTracker().AddInstance();
    SetBounds(0, 0, 121, 17);
}

TFlatCheckBox::~TFlatCheckBox() {
    DestroyWindowHandle();
    ClassTracker().RemoveInstance(this);
}

void TFlatCheckBox::CreateParams(TCreateParams& params) {
    tk::TWinControl::CreateParams(params);
    params.WinClassName = L"tk.FlatCheckBox";
    params.Background = nullptr;
    if (tabStop_) params.Style |= WS_TABSTOP;
}

void TFlatCheckBox::SetParent(tk::TWinControl* parent) {
    tk::TWinControl::SetParent(parent);
    if (parent) ParentColorChanged();
}

void TFlatCheckBox::SetChecked(bool checked) {
    if (checked == checked_) return;
    checked_ = checked;
    if (OnClick) OnClick(this);
    RedrawSquare();
}

void TFlatCheckBox::SetTransparent(bool value) {
    transparent_ = value;
    Invalidate();
}

void TFlatCheckBox::SetLayout(TCheckBoxLayout layout) {
    layout_ = layout;
    Invalidate();
}

void TFlatCheckBox::SetTabStop(bool value) {
    tabStop_ = value;
    if (!HandleAllocated()) return;
    LONG style = GetWindowLongW(Handle(), GWL_STYLE);
    style = value ? (style | WS_TABSTOP) : (style & ~WS_TABSTOP);
    SetWindowLongW(Handle(), GWL_STYLE, style);
}

void TFlatCheckBox::SetParentFont(bool value) {
    parentFont_ = value;
    Invalidate();
}

void TFlatCheckBox::EnabledChanged() {
    tk::TWinControl::EnabledChanged();
    if (!Enabled()) {
        hot_ = false;
        pressed_ = false;
        ClassTracker().Stop(this);
    }
    Invalidate();
}

void TFlatCheckBox::CaptionChanged() {
    tk::TWinControl::CaptionChanged();
    Invalidate();
}

void TFlatCheckBox::FontChanged() {
    parentFont_ = false;
    tk::TWinControl::FontChanged();
    Invalidate();
}

void TFlatCheckBox::BoundsChanged() {
    tk::TWinControl::BoundsChanged();
    if (transparent_) Invalidate();
}

void TFlatCheckBox::HotEnter() {
    if (Enabled() && !hot_) {
        hot_ = true;
        RedrawSquare();
    }
}

void TFlatCheckBox::HotLeave() {
    if (Enabled() && hot_ && !pressed_) {
        hot_ = false;
        ClassTracker().Stop(this);
        RedrawSquare();
    }
}

void TFlatCheckBox::DrawSquare(tk::TCanvas& canvas) {
    const FlatRect client{0, 0, ClientWidth(), ClientHeight()};
    const FlatRect square = CheckBoxSquare(client, layout_ == TCheckBoxLayout::checkboxRight);
    canvas.SetPenWidth(1);
    canvas.SetBrushStyle(tk::TBrushStyle::Solid);
    canvas.SetBrushColor(CheckBoxFill(focused_, hot_, pressed_, Color(), ColorFocused(), ColorDown()));
    canvas.FillRect(tk::ToTRect(square));
    if (checked_) {
        canvas.SetPenColor(Enabled() ? colorCheck_ : tk::clBtnShadow);
        for (const Stroke& s : kCheckMarkStrokes) {
            canvas.MoveTo(square.Left + s.From.X, square.Top + s.From.Y);
            canvas.LineTo(square.Left + s.To.X, square.Top + s.To.Y);
        }
    }
    canvas.SetBrushColor(ColorBorder());
    canvas.FrameRect(tk::ToTRect(square));
}

void TFlatCheckBox::RedrawSquare() {
    if (!HandleAllocated() || !IsWindowVisible(Handle())) return;
    tk::ScopedGetDC dc(Handle());
    tk::TCanvas canvas(dc);
    DrawSquare(canvas);
}

void TFlatCheckBox::Paint(HDC dc) {
    tk::TCanvas canvas(dc);
    if (transparent_) CopyParentBackground(*this, canvas);
    DrawSquare(canvas);

    const FlatRect client{0, 0, ClientWidth(), ClientHeight()};
    const bool right = layout_ == TCheckBoxLayout::checkboxRight;
    tk::TRect r = tk::ToTRect(CheckBoxCaptionRect(client, right));
    const UINT format = CheckBoxCaptionFormat(right);
    const tk::TFontSpec fontSpec = parentFont_ && Parent() ? Parent()->Font() : Font();
    const tk::TFont font = tk::TFont::FromSpec(fontSpec);
    canvas.SetFont(font);
    canvas.SetBrushStyle(tk::TBrushStyle::Clear);
    if (Enabled()) {
        canvas.SetFontColor(font.Color);
        canvas.DrawText(Caption(), r, format);
    } else {
        tk::TRect shifted{r.Left + 1, r.Top + 1, r.Right + 1, r.Bottom + 1};
        canvas.SetFontColor(tk::clBtnHighlight);
        canvas.DrawText(Caption(), shifted, format);
        canvas.SetFontColor(tk::clBtnShadow);
        canvas.DrawText(Caption(), r, format);
    }
}

void TFlatCheckBox::WndProc(tk::TMessage& m) {
    switch (m.Msg) {
    case WM_ERASEBKGND:
        if (!transparent_) {
            tk::TCanvas canvas(reinterpret_cast<HDC>(m.WParam));
            canvas.SetBrushColor(Color());
            canvas.FillRect({0, 0, ClientWidth(), ClientHeight()});
        }
        m.Result = 1;
        return;
    case WM_PAINT:
        if (m.WParam) {
            Paint(reinterpret_cast<HDC>(m.WParam));
        } else {
            tk::ScopedPaint dc(Handle());
            Paint(dc);
        }
        m.Result = 0;
        return;
    case WM_GETDLGCODE:
        // A button to the dialog manager, which then offers it the caption's accelerator.
        m.Result = DLGC_BUTTON;
        return;
    case BM_CLICK:
        // The dialog manager's accelerator notification.
        if (Enabled() && IsWindowVisible(Handle())) {
            SetFocus();
            Toggle();
        }
        m.Result = 0;
        return;
    case WM_CHAR:
        if (m.WParam == L' ' && Focused()) Toggle();
        m.Result = 0;
        return;
    case WM_SETFOCUS:
        tk::TWinControl::WndProc(m);
        if (Enabled()) {
            focused_ = true;
            RedrawSquare();
        }
        if (OnEnter) OnEnter(this);
        return;
    case WM_KILLFOCUS:
        tk::TWinControl::WndProc(m);
        if (Enabled()) {
            hot_ = false;
            focused_ = false;
            RedrawSquare();
        }
        if (OnExit) OnExit(this);
        return;
    case WM_SYSCOLORCHANGE:
        ParentColorChanged();
        break;
    case WM_MOUSEMOVE: {
        const int x = GET_X_LPARAM(m.LParam), y = GET_Y_LPARAM(m.LParam);
        if (OnMouseMove) OnMouseMove(this, 0, x, y);
        ClassTracker().MouseMoved(this, {x, y});
        m.Result = 0;
        return;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (Enabled()) {
            capture_.Take(Handle());
            SetFocus();
            pressed_ = true;
            RedrawSquare();
            if (OnMouseDown) OnMouseDown(this, MK_LBUTTON, GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam));
        }
        m.Result = 0;
        return;
    case WM_LBUTTONUP:
        ReleaseMouse();
        if (Enabled() && pressed_) {
            pressed_ = false;
            if (hot_) Toggle();
            RedrawSquare();
            if (OnMouseUp) OnMouseUp(this, MK_LBUTTON, GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam));
        }
        m.Result = 0;
        return;
    case WM_CAPTURECHANGED:
        // Capture taken away in the middle of a press: the press ends without a toggle.
        if (pressed_ && !releasing_ && reinterpret_cast<HWND>(m.LParam) != Handle()) {
            pressed_ = false;
            RedrawSquare();
        }
        break;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
        m.Result = 0;  // other buttons are ignored entirely
        return;
    default:
        break;
    }
    tk::TWinControl::WndProc(m);
}
