#include "toolkit/win/StdCtrls.h"

#include "toolkit/win/Form.h"
#include "toolkit/win/Scoped.h"

namespace tk {

TForm* ParentForm(TControl* control) {
    for (TControl* c = control; c; c = c->Parent())
        if (auto* f = dynamic_cast<TForm*>(c)) return f;
    return nullptr;
}

void TLabel::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.WinClassName = L"STATIC";
    params.SystemClass = true;
    params.Style |= SS_LEFT | SS_NOPREFIX;
}

void TButton::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.WinClassName = L"BUTTON";
    params.SystemClass = true;
    params.Style |= WS_TABSTOP | (default_ ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
}

void TButton::Click() {
    if (TForm* form = ParentForm(this); form && modalResult_ != 0) form->SetModalResult(modalResult_);
    if (OnClick) OnClick(this);
}

void TButton::WndProc(TMessage& m) {
    if (m.Msg == CN_COMMAND && HIWORD(m.WParam) == BN_CLICKED) {
        Click();
        return;
    }
    TWinControl::WndProc(m);
}

void TCheckBox::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.WinClassName = L"BUTTON";
    params.SystemClass = true;
    params.Style |= WS_TABSTOP | BS_AUTOCHECKBOX;
}

void TCheckBox::CreateWnd() { SetChecked(checked_); }

bool TCheckBox::Checked() const { return checked_; }

void TCheckBox::SetChecked(bool checked) {
    checked_ = checked;
    if (!HandleAllocated()) return;
    SendMessageW(Handle(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TCheckBox::WndProc(TMessage& m) {
    if (m.Msg == CN_COMMAND && HIWORD(m.WParam) == BN_CLICKED) {
        checked_ = SendMessageW(Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED;
        if (OnClick) OnClick(this);
        return;
    }
    TWinControl::WndProc(m);
}

void TGroupBox::CreateParams(TCreateParams& params) {
    // A window class of the toolkit's own rather than the system's group-box button, which is
    // transparent to mouse hit-testing and so no home for controls: a container that paints an
    // etched frame and its caption.
    TWinControl::CreateParams(params);
    params.WinClassName = L"tk.GroupBox";
    params.Style |= WS_CLIPCHILDREN;
    params.ExStyle |= WS_EX_CONTROLPARENT;
}

void TGroupBox::WndProc(TMessage& m) {
    if (m.Msg == WM_PAINT) {
        ScopedPaint dc(Handle());
        RECT r;
        GetClientRect(Handle(), &r);
        ScopedSelectObject font(dc, AcquireFont(Font()));
        TEXTMETRICW tm{};
        GetTextMetricsW(dc, &tm);
        r.top += tm.tmHeight / 2;
        DrawEdge(dc, &r, EDGE_ETCHED, BF_RECT);
        if (!Caption().empty()) {
            RECT text{8, 0, r.right - 8, tm.tmHeight};
            SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
            SetTextColor(dc, GetSysColor(Enabled() ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
            SetBkMode(dc, OPAQUE);
            DrawTextW(dc, (L" " + Caption() + L" ").c_str(), -1, &text, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX);
        }
        m.Result = 0;
        return;
    }
    TWinControl::WndProc(m);
}

void TEdit::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.WinClassName = L"EDIT";
    params.SystemClass = true;
    params.Style |= WS_TABSTOP | ES_AUTOHSCROLL;
    params.ExStyle |= WS_EX_CLIENTEDGE;
}

std::wstring TEdit::Text() {
    if (!HandleAllocated()) return Caption();
    const int n = GetWindowTextLengthW(Handle());
    std::wstring text(static_cast<size_t>(n) + 1, L'\0');
    GetWindowTextW(Handle(), text.data(), n + 1);
    text.resize(static_cast<size_t>(n));
    return text;
}

void TEdit::SetText(const std::wstring& text) { SetCaption(text); }

void TEdit::WndProc(TMessage& m) {
    if (m.Msg == CN_COMMAND && HIWORD(m.WParam) == EN_CHANGE) {
        if (OnChange) OnChange(this);
        return;
    }
    TWinControl::WndProc(m);
}

}  // namespace tk
