// The frame's hold on its host window: it replaces the host's window procedure, sizes the
// non-client area to its own thin border, paints that border on the non-client messages, keeps a
// maximised host on the work area, and gives the host back on removal.
#include "skin/controls/Form.h"

#include "skin/controls/FrameGeometry.h"
#include "skin/theme/SkinDraw.h"
#include "toolkit/win/Application.h"

namespace {

// The window property through which the replaced window procedure finds its frame.
constexpr wchar_t kFrameProp[] = L"qd.SkinFrame";

}  // namespace

void TsuiForm::Hook() {
    HWND h = host_->Handle();
    SetPropW(h, kFrameProp, this);
    savedWindowProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TsuiForm::HookedWindowProc)));
}

void TsuiForm::Unhook() {
    if (!host_ || !host_->HandleAllocated() || !savedWindowProc_) return;
    HWND h = host_->Handle();
    SetWindowLongW(h, GWL_STYLE, GetWindowLongW(h, GWL_STYLE) | WS_CAPTION);
    SetWindowLongPtrW(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(savedWindowProc_));
    RemovePropW(h, kFrameProp);
    savedWindowProc_ = nullptr;
    SetWindowRgn(h, nullptr, TRUE);
    SetWindowPos(h, nullptr, 0, 0, 0, 0, kFrameChangedFlags);
}

LRESULT CALLBACK TsuiForm::HookedWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* frame = static_cast<TsuiForm*>(GetPropW(hwnd, kFrameProp));
    if (!frame) return DefWindowProcW(hwnd, msg, wParam, lParam);
    return tk::Application().HandleWindowMessage(hwnd, msg, wParam, lParam,
                                                 [&] { return frame->HostMessage(hwnd, msg, wParam, lParam); });
}

LRESULT TsuiForm::CallSaved(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return savedWindowProc_ ? CallWindowProcW(savedWindowProc_, hwnd, msg, wParam, lParam)
                            : DefWindowProcW(hwnd, msg, wParam, lParam);
}

void TsuiForm::NcCalcSize(WPARAM wParam, LPARAM lParam) {
    RECT* r = wParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0] : reinterpret_cast<RECT*>(lParam);
    skin::NcCalcInput in;
    in.X = r->left;
    in.Y = r->top;
    in.Cx = r->right - r->left;
    in.Cy = r->bottom - r->top;
    in.HostLeftFrame = hostLeftFrame_;
    in.HostBottomFrame = hostBottomFrame_;
    in.LeftBorder = leftBorderWidth_;
    in.RightBorder = rightBorderWidth_;
    in.BottomBorder = bottomBorderHeight_;
    in.BorderWidth = borderWidth_;
    const skin::Box b = skin::NcCalcRect(in);
    *r = {b.Left, b.Top, b.Right, b.Bottom};
    if (wParam) reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[1] = *r;
}

LRESULT TsuiForm::HostMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (destroying_) return 0;
    if (msg == WM_NCCALCSIZE) NcCalcSize(wParam, lParam);
    if (msg == FrameInsetQuery) return TitleBarInset();
    LRESULT result = 0;
    if (msg != WM_NCPAINT && msg != WM_NCACTIVATE) result = CallSaved(hwnd, msg, wParam, lParam);
    switch (msg) {
    case WM_SHOWWINDOW:
        ::SetMenu(hwnd, nullptr);
        break;
    case WM_KEYDOWN:
        if (MenuShortCutCheck(wParam)) return 1;
        break;
    case WM_ACTIVATE:
        if (titleBar_) titleBar_->SetFormActive(LOWORD(wParam) != WA_INACTIVE);
        PaintFrame();
        break;
    case WM_NCACTIVATE:
        if (IsIconic(hwnd)) return CallSaved(hwnd, msg, wParam, lParam);
        if (titleBar_) titleBar_->Invalidate();
        PaintFrame();
        return 1;
    case WM_NCPAINT:
        if (IsIconic(hwnd)) return CallSaved(hwnd, msg, wParam, lParam);
        if (titleBar_) titleBar_->Invalidate();
        PaintFrame();
        return 0;
    case WM_SIZE:
        HostSized();
        break;
    default:
        break;
    }
    return result;
}

void TsuiForm::HostSized() {
    if (sizing_ || !host_) return;
    sizing_ = true;
    HWND h = host_->Handle();
    if (startMaximized_ && !IsZoomed(h)) {
        startMaximized_ = false;
        const RECT& c = creationBounds_;
        SetWindowPos(h, nullptr, c.left, c.top, c.right - c.left, c.bottom - c.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (IsZoomed(h)) {
        const tk::TRect work = GetWorkArea();
        const skin::Box b = skin::MaximizedBounds({work.Left, work.Top, work.Right, work.Bottom});
        SetWindowPos(h, nullptr, b.Left, b.Top, b.Width(), b.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
    }
    RECT client;
    GetClientRect(h, &client);
    SetBounds(0, 0, client.right, client.bottom);
    AlignChildren();
    if (titleBar_) {
        titleBar_->RefreshMaximizePictures();
        titleBar_->Invalidate();
    }
    PaintFrame();
    ApplyWindowRegion();
    sizing_ = false;
}
