#include "flat/FlatEdit.h"

#include "flat/FlatButton.h"

TCustomFlatEdit::TCustomFlatEdit(tk::TComponent* owner) : tk::TEdit(owner) { SetBounds(0, 0, 121, 19); }

TCustomFlatEdit::~TCustomFlatEdit() { DestroyWindowHandle(); }

void TCustomFlatEdit::CreateParams(TCreateParams& params) {
    tk::TEdit::CreateParams(params);
    params.ExStyle &= ~static_cast<DWORD>(WS_EX_CLIENTEDGE);
    params.Style &= ~static_cast<DWORD>(WS_BORDER);
    if (!tabStop_) params.Style &= ~static_cast<DWORD>(WS_TABSTOP);
}

void TCustomFlatEdit::CreateWnd() {
    tk::TEdit::CreateWnd();
    // The frame is the non-client area: have it measured now that the window exists.
    SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    AdjustHeight();
}

void TCustomFlatEdit::SetParent(tk::TWinControl* parent) {
    tk::TEdit::SetParent(parent);
    if (parent) ParentColorChanged();
}

void TCustomFlatEdit::SetColorFocused(tk::TColor c) {
    colorFocused_ = c;
    RedrawBorder();
}

void TCustomFlatEdit::SetColorBorder(tk::TColor c) {
    colorBorder_ = c;
    RedrawBorder();
}

void TCustomFlatEdit::SetColorFlat(tk::TColor c) {
    colorFlat_ = c;
    parentColor_ = false;
    DeriveColors();
    RedrawBorder();
}

void TCustomFlatEdit::SetParentColor(bool value) {
    if (parentColor_ == value) return;
    parentColor_ = value;
    if (value) ParentColorChanged();
}

void TCustomFlatEdit::SetAdvColorFocused(TAdvColors v) {
    advFocused_ = v;
    DeriveColors();
    RedrawBorder();
}

void TCustomFlatEdit::SetAdvColorBorder(TAdvColors v) {
    advBorder_ = v;
    DeriveColors();
    RedrawBorder();
}

void TCustomFlatEdit::SetUseAdvColors(bool value) {
    if (value != useAdvColors_) {
        useAdvColors_ = value;
        SetParentColor(value);
        DeriveColors();
    }
    RedrawBorder();
}

void TCustomFlatEdit::SetTabStop(bool value) {
    tabStop_ = value;
    if (!HandleAllocated()) return;
    LONG style = GetWindowLongW(Handle(), GWL_STYLE);
    style = value ? (style | WS_TABSTOP) : (style & ~WS_TABSTOP);
    SetWindowLongW(Handle(), GWL_STYLE, style);
}

void TCustomFlatEdit::DeriveColors() {
    if (!useAdvColors_) return;
    colorFocused_ =
        AdvancedColor(colorFlat_, colorFocused_, static_cast<std::uint8_t>(advFocused_), TLightShift::lsLighten);
    colorBorder_ = AdvancedColor(colorFlat_, colorBorder_, static_cast<std::uint8_t>(advBorder_), TLightShift::lsDarken);
}

void TCustomFlatEdit::ParentColorChanged() {
    if (useAdvColors_) {
        if (Parent()) colorFlat_ = ParentColorOf(*Parent());
        DeriveColors();
    } else if (parentColor_) {
        if (Parent()) colorFlat_ = ParentColorOf(*Parent());
    }
    RedrawBorder();
}

void TCustomFlatEdit::AdjustHeight() {
    TEXTMETRICW tm{};
    {
        tk::ScopedGetDC screen(nullptr);
        tk::ScopedSelectObject font(screen, tk::AcquireFont(Font()));
        GetTextMetricsW(screen, &tm);
    }
    SetHeight(FlatEditHeight(tm.tmHeight));
}

void TCustomFlatEdit::FontChanged() {
    tk::TEdit::FontChanged();
    AdjustHeight();
}

void TCustomFlatEdit::EnabledChanged() {
    tk::TEdit::EnabledChanged();
    RedrawBorder();
}

void TCustomFlatEdit::SetFaceColor(tk::TColor color) {
    if (color == color_ && faceBrush_) return;
    color_ = color;
    faceBrush_.reset(CreateSolidBrush(tk::ColorToRGB(color_)));
    if (HandleAllocated()) InvalidateRect(Handle(), nullptr, TRUE);
}

void TCustomFlatEdit::RedrawBorder() {
    if (!HandleAllocated()) return;
    HWND focus = GetFocus();
    const bool focused = focus == Handle();
    const bool anotherFlatEditFocused = dynamic_cast<TCustomFlatEdit*>(FromHandle(focus)) != nullptr;
    const bool highlighted = focused || (mouseInControl_ && !anotherFlatEditFocused);
    SetFaceColor(highlighted ? colorFocused_ : colorFlat_);

    tk::ScopedWindowDC dc(Handle());
    if (!dc.get()) return;
    RECT window;
    GetWindowRect(Handle(), &window);
    RECT r{0, 0, window.right - window.left, window.bottom - window.top};
    const tk::ScopedBrush border(CreateSolidBrush(tk::ColorToRGB(colorBorder_)));
    const tk::ScopedBrush face(CreateSolidBrush(tk::ColorToRGB(highlighted ? colorFocused_ : colorFlat_)));
    FrameRect(dc, &r, border.get());
    InflateRect(&r, -1, -1);
    FrameRect(dc, &r, face.get());
    InflateRect(&r, -1, -1);
    FrameRect(dc, &r, face.get());
}

void TCustomFlatEdit::WndProc(tk::TMessage& m) {
    switch (m.Msg) {
    case WM_NCCALCSIZE: {
        tk::TEdit::WndProc(m);
        auto* r = reinterpret_cast<RECT*>(m.LParam);  // the first rectangle in either form
        InflateRect(r, -3, -3);
        return;
    }
    case WM_NCPAINT:
        tk::TEdit::WndProc(m);
        RedrawBorder();
        return;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        tk::TEdit::WndProc(m);
        RedrawBorder();
        return;
    case WM_MOUSEMOVE:
        tk::TEdit::WndProc(m);
        if (!mouseInControl_ && GetActiveWindow()) {
            mouseInControl_ = true;
            TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, Handle(), 0};
            TrackMouseEvent(&track);
            RedrawBorder();
        }
        return;
    case WM_MOUSELEAVE:
        tk::TEdit::WndProc(m);
        mouseInControl_ = false;
        RedrawBorder();
        return;
    case WM_SYSCOLORCHANGE:
        tk::TEdit::WndProc(m);
        ParentColorChanged();
        return;
    case tk::CN_BASE + WM_CTLCOLOREDIT:
    case tk::CN_BASE + WM_CTLCOLORSTATIC: {
        if (!faceBrush_) SetFaceColor(color_);
        HDC dc = reinterpret_cast<HDC>(m.WParam);
        SetBkColor(dc, tk::ColorToRGB(color_));
        SetTextColor(dc, Enabled() ? tk::ColorToRGB(Font().Color) : GetSysColor(COLOR_GRAYTEXT));
        m.Result = reinterpret_cast<LRESULT>(faceBrush_.get());
        return;
    }
    default:
        break;
    }
    tk::TEdit::WndProc(m);
}
