#include "flat/FlatButton.h"

#include <windowsx.h>

#include <algorithm>
#include <memory>
#include <typeinfo>

#include "toolkit/win/Form.h"
#include "toolkit/win/StdCtrls.h"

tk::TColor ParentColorOf(const tk::TControl&) { return tk::clBtnFace; }

std::optional<tk::TColor> ParentColorIfAny(const tk::TControl* parent) {
    if (!parent) return std::nullopt;
    return ParentColorOf(*parent);
}

// ---- TFlatButtonBase ----

TFlatButtonBase::TFlatButtonBase(tk::TComponent* owner)
    : tk::TWinControl(owner), FlatFaceColors(tk::ColorToRGB, 0xE1EAEB, 0xC5D6D9, 0x8396A0) {
    SetBounds(0, 0, 25, 25);
}

TFlatButtonBase::~TFlatButtonBase() = default;

void TFlatButtonBase::CreateParams(TCreateParams& params) {
    tk::TWinControl::CreateParams(params);
    const std::string_view name = ClassName();
    params.WinClassName = L"tk." + std::wstring(name.begin(), name.end());
    params.Background = nullptr;  // the button paints every pixel itself
}

void TFlatButtonBase::SetParent(tk::TWinControl* parent) {
    tk::TWinControl::SetParent(parent);
    if (parent) ParentColorChanged();
}

void TFlatButtonBase::SetTransparentMode(TTransparentMode mode) {
    transparentMode_ = mode;
    Repaint();
}

void TFlatButtonBase::SetAllowAllUp(bool value) {
    if (allowAllUp_ == value) return;
    allowAllUp_ = value;
    Announce();
}

void TFlatButtonBase::SetGroupIndex(int value) {
    if (groupIndex_ == value) return;
    groupIndex_ = value;
    Announce();
}

void TFlatButtonBase::SetDown(bool value) {
    if (groupIndex_ == 0) value = false;
    if (value == down_) return;
    if (down_ && !allowAllUp_) return;
    down_ = value;
    if (value) {
        if (state_ == TButtonState::bsUp) Repaint();
        state_ = TButtonState::bsExclusive;
        Announce();
    } else {
        state_ = TButtonState::bsUp;
        RepaintNow();
    }
}

void TFlatButtonBase::Announce() {
    if (groupIndex_ == 0 || !Parent()) return;
    for (tk::TControl* c : std::vector<tk::TControl*>(Parent()->Controls())) {
        if (auto* button = dynamic_cast<TFlatButtonBase*>(c)) {
            button->ButtonPressed(groupIndex_, this);
        } else if (auto* w = dynamic_cast<tk::TWinControl*>(c); w && w->HandleAllocated()) {
            SendMessageW(w->Handle(), CM_BUTTONPRESSED, static_cast<WPARAM>(groupIndex_),
                         reinterpret_cast<LPARAM>(static_cast<tk::TControl*>(this)));
        }
    }
}

void TFlatButtonBase::ButtonPressed(int groupIndex, TFlatButtonBase* sender) {
    // Only buttons of the same class form a group.
    if (sender == this || groupIndex != groupIndex_ || typeid(*sender) != typeid(*this)) return;
    if (sender->down_ && down_) {
        down_ = false;
        state_ = TButtonState::bsUp;
        Repaint();
    }
    allowAllUp_ = sender->allowAllUp_;
}

void TFlatButtonBase::SetParentFont(bool value) {
    parentFont_ = value;
    Repaint();
}

void TFlatButtonBase::SetGlyph(const tk::TBitmap& glyph) {
    if (&glyph == &glyph_) return;
    glyph_.Assign(glyph);
    if (!glyph_.Empty()) numGlyphs_ = NumGlyphsForGlyph(glyph_.Width(), glyph_.Height(), numGlyphs_);
    Repaint();
}

void TFlatButtonBase::SetNumGlyphs(TNumGlyphs n) {
    n = std::clamp(n, 1, 4);
    if (n == numGlyphs_) return;
    numGlyphs_ = n;
    Repaint();
}

void TFlatButtonBase::SetLayout(TButtonLayout layout) {
    if (layout == layout_) return;
    layout_ = layout;
    Repaint();
}

void TFlatButtonBase::SetMargin(int margin) {
    if (margin == margin_ || margin < -1) return;
    margin_ = margin;
    Repaint();
}

void TFlatButtonBase::SetSpacing(int spacing) {
    if (spacing == spacing_) return;
    spacing_ = spacing;
    Repaint();
}

void TFlatButtonBase::Click() {
    if (tk::TForm* form = tk::ParentForm(Parent())) form->SetModalResult(modalResult_);
    if (OnClick) OnClick(this);
}

void TFlatButtonBase::RepaintNow() {
    if (!HandleAllocated()) return;
    InvalidateRect(Handle(), nullptr, FALSE);
    UpdateWindow(Handle());
}

void TFlatButtonBase::EnabledChanged() {
    tk::TWinControl::EnabledChanged();
    if (!Enabled()) {
        mouseInControl_ = false;
        state_ = TButtonState::bsDisabled;
        Tracker().Stop(this);
    }
    UpdateTracking();
    Repaint();
}

void TFlatButtonBase::CaptionChanged() {
    tk::TWinControl::CaptionChanged();
    Repaint();
}

void TFlatButtonBase::FontChanged() {
    parentFont_ = false;
    tk::TWinControl::FontChanged();
    Repaint();
}

void TFlatButtonBase::MouseEnter() {
    if (Enabled() && !mouseInControl_) {
        mouseInControl_ = true;
        Repaint();
    }
    if (OnMouseEnter) OnMouseEnter(this);
}

void TFlatButtonBase::MouseLeave() {
    if (Enabled() && mouseInControl_ && !dragging_) {
        mouseInControl_ = false;
        Tracker().Stop(this);
        Repaint();
    }
    if (OnMouseLeave) OnMouseLeave(this);
}

void TFlatButtonBase::UpdateTracking() {
    if (!Enabled() || !HandleAllocated()) return;
    POINT cursor;
    GetCursorPos(&cursor);
    const bool over = ControlWindowAt(cursor) == Handle();
    mouseInControl_ = !over;
    if (over) {
        MouseEnter();
    } else {
        MouseLeave();
    }
}

void TFlatButtonBase::LeftDown() {
    if (!Enabled()) return;
    if (!down_) {
        state_ = TButtonState::bsDown;
        Repaint();
    }
    dragging_ = true;
    if (TakesFocus()) SetFocus();
}

void TFlatButtonBase::MouseMoveTo(int x, int y) {
    Tracker().MouseMoved(this, {x, y});
    if (!dragging_) return;
    TButtonState next = down_ ? TButtonState::bsExclusive : TButtonState::bsUp;
    if (InsideForRelease(x, y, ClientWidth(), ClientHeight()))
        next = down_ ? TButtonState::bsExclusive : TButtonState::bsDown;
    if (next != state_) {
        state_ = next;
        Repaint();
    }
}

void TFlatButtonBase::LeftUp(int x, int y) {
    if (!dragging_) return;
    dragging_ = false;
    const bool inside = InsideForRelease(x, y, ClientWidth(), ClientHeight());
    if (groupIndex_ == 0) {
        state_ = TButtonState::bsUp;
        mouseInControl_ = false;
        if (inside) Repaint();
    } else if (inside) {
        SetDown(!down_);
        if (down_) RepaintNow();
    } else if (down_) {
        state_ = TButtonState::bsExclusive;
        RepaintNow();
    }
    if (inside) {
        Click();
    } else {
        MouseLeave();
    }
    UpdateTracking();
}

void TFlatButtonBase::PaintFace(tk::TCanvas& canvas) {
    const FlatRect client{0, 0, ClientWidth(), ClientHeight()};
    tk::TFontSpec fontSpec = parentFont_ && Parent() ? Parent()->Font() : Font();
    const tk::TFont font = tk::TFont::FromSpec(fontSpec);
    canvas.SetFont(font);

    // Layout with the press offset of the state as it stands.
    const FlatPoint offset = state_ == TButtonState::bsDown || state_ == TButtonState::bsExclusive ? FlatPoint{1, 1}
                                                                                                   : FlatPoint{0, 0};
    ButtonLayoutInput in;
    in.Client = client;
    in.Offset = offset;
    in.Layout = layout_;
    in.Spacing = spacing_;
    in.Margin = margin_;
    if (!glyph_.Empty()) {
        in.GlyphWidth = glyph_.Width() / numGlyphs_;
        in.GlyphHeight = glyph_.Height();
    }
    if (!Caption().empty()) {
        tk::TRect measured{0, 0, client.Width(), 0};
        canvas.DrawText(Caption(), measured, DT_CALCRECT | DT_SINGLELINE);
        in.TextWidth = measured.Width();
        in.TextHeight = measured.Height();
    }
    const ButtonLayoutResult placed = CalcButtonLayout(in);
    glyphPos_ = placed.GlyphPos;
    textBounds_ = placed.TextBounds;

    // The state catches up with the enabled flag.
    if (Enabled() && state_ == TButtonState::bsDisabled) {
        state_ = down_ && groupIndex_ != 0 ? TButtonState::bsExclusive : TButtonState::bsUp;
    } else if (!Enabled()) {
        state_ = TButtonState::bsDisabled;
        dragging_ = false;
    }

    const ButtonColors colors{Color(), ColorFocused(), ColorDown(), ColorBorder(), colorHighLight_, colorShadow_};
    const bool fill = transparentMode_ == TTransparentMode::tmNone ||
                      (transparentMode_ == TTransparentMode::tmNotFocused && mouseInControl_);
    if (fill) {
        canvas.SetBrushStyle(tk::TBrushStyle::Solid);
        canvas.SetBrushColor(ButtonFaceColor(state_, mouseInControl_, colors));
        canvas.FillRect(tk::ToTRect(client));
    } else {
        CopyParentBackground(*this, canvas);
    }

    const BevelSpec bevel = ButtonBevel(state_, mouseInControl_, DefaultBorder(), colors);
    DrawBevelFrame(canvas, tk::ToTRect(client), bevel.Top, bevel.Bottom, bevel.Width);

    if (!glyph_.Empty()) {
        const int n = numGlyphs_, h = glyph_.Height(), w = glyph_.Width() / n;
        if (w > 0) {
            auto image = std::make_unique<tk::TBitmap>(w, h);
            {
                tk::TCanvas source(glyph_.Dc());
                tk::TCanvas target(image->Dc());
                target.CopyRect({0, 0, w, h}, source, tk::ToTRect(GlyphSourceRect(n, glyph_.Width(), h, state_)));
            }
            GdiFlush();
            std::uint32_t transparent = glyph_.GetPixel(0, h - 1);
            if (n == 1 && state_ == TButtonState::bsDisabled) {
                image = MakeDisabledGlyph(*image, tk::clBlack, tk::clBtnFace, tk::clBtnHighlight, tk::clBtnShadow, true);
                GdiFlush();
                transparent = image->GetPixel(0, h - 1);
            }
            image->SetTransparent(true);
            image->SetTransparentColor(transparent);
            canvas.Draw(glyphPos_.X, glyphPos_.Y, *image);
        }
    }

    if (!Caption().empty()) {
        canvas.SetBrushStyle(tk::TBrushStyle::Clear);
        constexpr UINT kFormat = DT_SINGLELINE | DT_VCENTER | DT_CENTER;
        tk::TRect r = tk::ToTRect(textBounds_);
        if (state_ == TButtonState::bsDisabled) {
            tk::TRect shifted{r.Left + 1, r.Top + 1, r.Right + 1, r.Bottom + 1};
            canvas.SetFontColor(tk::clBtnHighlight);
            canvas.DrawText(Caption(), shifted, kFormat);
            canvas.SetFontColor(tk::clBtnShadow);
            canvas.DrawText(Caption(), r, kFormat);
        } else {
            canvas.SetFontColor(font.Color);
            canvas.DrawText(Caption(), r, kFormat);
        }
    }
}

void TFlatButtonBase::WndProc(tk::TMessage& m) {
    switch (m.Msg) {
    case WM_ERASEBKGND:
        m.Result = 1;
        return;
    case WM_PAINT: {
        if (m.WParam) {
            PaintButton(reinterpret_cast<HDC>(m.WParam));
        } else {
            tk::ScopedPaint dc(Handle());
            PaintButton(dc);
        }
        m.Result = 0;
        return;
    }
    case WM_GETDLGCODE:
        // A button to the dialog manager, which then offers it the caption's accelerator.
        m.Result = DLGC_BUTTON;
        return;
    case BM_CLICK:
        // The dialog manager's accelerator notification.
        Accelerator();
        m.Result = 0;
        return;
    case CM_BUTTONPRESSED:
        // Anyone can send the message: the sender counts only when it is a button beside this one.
        if (Parent())
            for (tk::TControl* c : Parent()->Controls())
                if (reinterpret_cast<LPARAM>(static_cast<tk::TControl*>(c)) == m.LParam)
                    if (auto* sender = dynamic_cast<TFlatButtonBase*>(c))
                        ButtonPressed(static_cast<int>(m.WParam), sender);
        m.Result = 0;
        return;
    case WM_SYSCOLORCHANGE:
        ParentColorChanged();
        break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        capture_.Take(Handle());
        if (m.Msg == WM_LBUTTONDBLCLK && down_ && OnDblClick) OnDblClick(this);
        LeftDown();
        if (OnMouseDown) OnMouseDown(this, MK_LBUTTON, GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam));
        m.Result = 0;
        return;
    }
    case WM_LBUTTONUP: {
        ReleaseMouse();
        const int x = GET_X_LPARAM(m.LParam), y = GET_Y_LPARAM(m.LParam);
        LeftUp(x, y);
        if (OnMouseUp) OnMouseUp(this, MK_LBUTTON, x, y);
        m.Result = 0;
        return;
    }
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        if (OnMouseDown)
            OnMouseDown(this, m.Msg == WM_RBUTTONDOWN ? MK_RBUTTON : MK_MBUTTON, GET_X_LPARAM(m.LParam),
                        GET_Y_LPARAM(m.LParam));
        break;
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
        if (OnMouseUp)
            OnMouseUp(this, m.Msg == WM_RBUTTONUP ? MK_RBUTTON : MK_MBUTTON, GET_X_LPARAM(m.LParam),
                      GET_Y_LPARAM(m.LParam));
        break;
    case WM_MOUSEMOVE: {
        const int x = GET_X_LPARAM(m.LParam), y = GET_Y_LPARAM(m.LParam);
        if (OnMouseMove) OnMouseMove(this, 0, x, y);
        MouseMoveTo(x, y);
        m.Result = 0;
        return;
    }
    case WM_CAPTURECHANGED:
        // Capture taken away in the middle of a press (a message box, say): the press ends there.
        if (dragging_ && !releasing_ && reinterpret_cast<HWND>(m.LParam) != Handle()) {
            dragging_ = false;
            state_ = down_ ? TButtonState::bsExclusive : TButtonState::bsUp;
            Repaint();
        }
        break;
    default:
        break;
    }
    tk::TWinControl::WndProc(m);
}

// ---- TFlatButton ----

FlatHotTracker& TFlatButton::ClassTracker() {
    static FlatHotTracker tracker;
    return tracker;
}

TFlatButton::TFlatButton(tk::TComponent* owner) : TFlatButtonBase(owner) { ClassTracker().AddInstance(); }

TFlatButton::~TFlatButton() {
    DestroyWindowHandle();
    ClassTracker().RemoveInstance(this);
}

void TFlatButton::CreateParams(TCreateParams& params) {
    TFlatButtonBase::CreateParams(params);
    if (tabStop_) params.Style |= WS_TABSTOP;
}

void TFlatButton::SetTabStop(bool value) {
    tabStop_ = value;
    if (!HandleAllocated()) return;
    LONG style = GetWindowLongW(Handle(), GWL_STYLE);
    style = value ? (style | WS_TABSTOP) : (style & ~WS_TABSTOP);
    SetWindowLongW(Handle(), GWL_STYLE, style);
}

void TFlatButton::SetDefault(bool value) {
    default_ = value;
    if (HandleAllocated())
        if (tk::TForm* form = tk::ParentForm(Parent()); form && form->HandleAllocated())
            SendMessageW(form->Handle(), CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(GetFocus()));
    Repaint();
}

void TFlatButton::BoundsChanged() {
    TFlatButtonBase::BoundsChanged();
    if (TransparentMode() != TTransparentMode::tmNone) Repaint();
}

void TFlatButton::PaintButton(HDC dc) {
    const int w = ClientWidth(), h = ClientHeight();
    if (w <= 0 || h <= 0) return;
    // Drawn off screen, then copied in one piece: no flicker between face and caption.
    tk::TBitmap buffer(w, h);
    {
        tk::TCanvas canvas(buffer.Dc());
        PaintFace(canvas);
    }
    BitBlt(dc, 0, 0, w, h, buffer.Dc(), 0, 0, SRCCOPY);
}

void TFlatButton::Accelerator() {
    if (!Enabled()) return;
    if (GroupIndex() != 0) SetDown(true);
    Click();
}

void TFlatButton::WndProc(tk::TMessage& m) {
    switch (m.Msg) {
    case WM_SETFOCUS:
        TFlatButtonBase::WndProc(m);
        if (Enabled()) {
            mouseInControl_ = true;  // a focused button looks hot
            Repaint();
        }
        return;
    case WM_KILLFOCUS:
        TFlatButtonBase::WndProc(m);
        MouseLeave();
        return;
    case WM_KEYDOWN:
        if (m.WParam == VK_SPACE) {
            if (GroupIndex() != 0) {
                SetDown(true);
            } else {
                state_ = TButtonState::bsDown;
            }
            Repaint();
        }
        m.Result = 0;
        return;
    case WM_KEYUP:
        if (m.WParam == VK_SPACE) {
            if (GroupIndex() != 0) {
                SetDown(false);
            } else {
                state_ = TButtonState::bsUp;
            }
            Click();
            Repaint();
        }
        m.Result = 0;
        return;
    default:
        break;
    }
    TFlatButtonBase::WndProc(m);
}

// ---- TFlatSpeedButton ----

FlatHotTracker& TFlatSpeedButton::ClassTracker() {
    static FlatHotTracker tracker;
    return tracker;
}

TFlatSpeedButton::TFlatSpeedButton(tk::TComponent* owner) : TFlatButtonBase(owner) { ClassTracker().AddInstance(); }

TFlatSpeedButton::~TFlatSpeedButton() {
    DestroyWindowHandle();
    ClassTracker().RemoveInstance(this);
}

void TFlatSpeedButton::PaintButton(HDC dc) {
    tk::TCanvas canvas(dc);
    PaintFace(canvas);
}

void TFlatSpeedButton::Accelerator() {
    if (Enabled()) Click();
}
