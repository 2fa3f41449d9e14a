#include "toolkit/win/Form.h"

#include <algorithm>
#include <vector>

#include "toolkit/Exception.h"
#include "toolkit/win/Application.h"

namespace tk {

TRect CenteredPlacement(const TRect& area, const TRect& workArea, int width, int height) {
    int left = area.Left + (area.Width() - width) / 2;
    int top = area.Top + (area.Height() - height) / 2;
    left = std::max(workArea.Left, std::min(left, workArea.Right - width));
    top = std::max(workArea.Top, std::min(top, workArea.Bottom - height));
    return {left, top, left + width, top + height};
}

namespace {

BOOL CALLBACK CollectEnabledWindow(HWND w, LPARAM list) {
    if (IsWindowVisible(w) && IsWindowEnabled(w)) reinterpret_cast<std::vector<HWND>*>(list)->push_back(w);
    return TRUE;
}

}  // namespace

std::vector<HWND> EnabledThreadWindows() {
    std::vector<HWND> windows;
    EnumThreadWindows(GetCurrentThreadId(), &CollectEnabledWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

TForm::TForm(TComponent* owner) : TWinControl(owner) {
    InitVisible(false);
}

TForm::~TForm() {
    // The controls go first, while the window they live in still exists.
    DestroyComponents();
    if (Application().MainForm() == this) Application().SetMainForm(nullptr);
}

void TForm::DoCreate() {
    if (OnCreate) Application().Guarded([this] { OnCreate(this); });
}

void TForm::CreateParams(TCreateParams& params) {
    params.WinClassName = WindowClassName();
    params.Icon = Application().Icon();
    params.ExStyle = WS_EX_CONTROLPARENT;
    params.Style = WS_CLIPCHILDREN | WS_CAPTION | WS_SYSMENU;
    if (borderStyle_ == TFormBorderStyle::Dialog) {
        params.Style |= WS_POPUP;
        params.ExStyle |= WS_EX_DLGMODALFRAME;
    } else {
        params.Style |= WS_OVERLAPPED | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
    }
    // A form owned by another form stays above it and leaves the task bar to it.
    for (TComponent* o = Owner(); o; o = o->Owner())
        if (auto* f = dynamic_cast<TForm*>(o)) {
            params.ParentWindow = f->Handle();
            break;
        }
    if (!params.ParentWindow && borderStyle_ == TFormBorderStyle::Dialog) params.Style |= WS_MINIMIZEBOX;
    if (!params.ParentWindow) params.ExStyle |= WS_EX_APPWINDOW;
}

void TForm::SetClientSize(int width, int height) {
    clientWidth_ = width;
    clientHeight_ = height;
    RECT r{0, 0, width, height};
    const DWORD style = borderStyle_ == TFormBorderStyle::Dialog ? (WS_POPUP | WS_CAPTION | WS_SYSMENU)
                                                                 : WS_OVERLAPPEDWINDOW;
    const DWORD exStyle = borderStyle_ == TFormBorderStyle::Dialog ? WS_EX_DLGMODALFRAME : 0;
    if (HandleAllocated()) {
        AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongW(Handle(), GWL_STYLE)), FALSE,
                           static_cast<DWORD>(GetWindowLongW(Handle(), GWL_EXSTYLE)));
    } else {
        AdjustWindowRectEx(&r, style, FALSE, exStyle);
    }
    SetBounds(Left(), Top(), r.right - r.left, r.bottom - r.top);
}

void TForm::BoundsChanged() {
    if (HandleAllocated())
        SetWindowPos(Handle(), nullptr, Left(), Top(), Width(), Height(), SWP_NOZORDER | SWP_NOACTIVATE);
}

void TForm::PlaceWindow() {
    if (placed_) return;
    placed_ = true;
    RECT work;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const TRect workArea{work.left, work.top, work.right, work.bottom};
    TRect area = workArea;
    if (position_ == TPosition::Designed) return;
    if (position_ == TPosition::OwnerFormCenter) {
        for (TComponent* o = Owner(); o; o = o->Owner())
            if (auto* f = dynamic_cast<TForm*>(o); f && f->HandleAllocated()) {
                RECT r;
                GetWindowRect(f->Handle(), &r);
                area = {r.left, r.top, r.right, r.bottom};
                break;
            }
    } else {
        area = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    }
    const TRect placed = CenteredPlacement(area, workArea, Width(), Height());
    SetBounds(placed.Left, placed.Top, Width(), Height());
}

void TForm::VisibleChanged() {
    HWND h = Handle();
    if (Visible()) {
        PlaceWindow();
        ShowWindow(h, SW_SHOW);
        if (OnShow) Application().Guarded([this] { OnShow(this); });
    } else {
        ShowWindow(h, SW_HIDE);
    }
}

void TForm::Show() {
    if (Visible()) {
        ShowWindow(Handle(), SW_SHOW);
        return;
    }
    SetVisible(true);
}

void TForm::Close() {
    if (HandleAllocated()) SendMessageW(Handle(), WM_CLOSE, 0, 0);
}

int TForm::ShowModal() {
    if (Visible() || modal_) throw Exception(L"Cannot make a visible window modal");
    modalResult_ = mrNone;
    modal_ = true;
    // Disable every other enabled top-level window of this thread while the form is up.
    HWND self = Handle();
    std::vector<HWND> disabled = EnabledThreadWindows();
    std::erase(disabled, self);
    for (HWND w : disabled) EnableWindow(w, FALSE);
    try {
        Show();
        SetForegroundWindow(self);
        while (modalResult_ == mrNone) {
            if (!Application().HandleMessage()) {
                modalResult_ = mrCancel;
                break;
            }
        }
    } catch (...) {
        for (HWND w : disabled) EnableWindow(w, TRUE);
        modal_ = false;
        throw;
    }
    for (HWND w : disabled) EnableWindow(w, TRUE);
    Hide();
    modal_ = false;
    if (!disabled.empty()) SetActiveWindow(disabled.front());
    return modalResult_;
}

void TForm::SetActiveControl(TWinControl* control) {
    if (activeControl_ && activeControl_ != control) RemoveFreeNotification(activeControl_);
    activeControl_ = control;
    lastFocus_ = nullptr;
    if (activeControl_) FreeNotification(activeControl_);
}

void TForm::Notification(TComponent* component, Operation operation) {
    TWinControl::Notification(component, operation);
    if (operation == Operation::Remove && component == activeControl_) {
        activeControl_ = nullptr;
        lastFocus_ = nullptr;
    }
}

void TForm::RestoreFocus() {
    HWND h = Handle();
    auto takes = [h](HWND w) { return w && IsWindow(w) && IsChild(h, w) && IsWindowVisible(w) && IsWindowEnabled(w); };
    if (takes(lastFocus_)) {
        ::SetFocus(lastFocus_);
    } else if (activeControl_ && activeControl_->HandleAllocated() && takes(activeControl_->Handle())) {
        ::SetFocus(activeControl_->Handle());
    }
}

void TForm::WndProc(TMessage& m) {
    switch (m.Msg) {
    case WM_ACTIVATE:
        if (!activeControl_) break;
        if (LOWORD(m.WParam) == WA_INACTIVE) {
            const HWND focus = GetFocus();
            if (focus && IsChild(Handle(), focus)) lastFocus_ = focus;
            break;
        }
        // The default gives the keyboard to the form itself; a minimised form keeps it so.
        TWinControl::WndProc(m);
        if (!HIWORD(m.WParam)) RestoreFocus();
        return;
    case WM_COMMAND:
        // From the dialog manager: no child control of the form has the identifier.
        if (m.LParam == 0 && HIWORD(m.WParam) == 0 && (LOWORD(m.WParam) == IDOK || LOWORD(m.WParam) == IDCANCEL)) {
            const TNotifyEvent& handler = LOWORD(m.WParam) == IDOK ? OnEnterKey : OnEscapeKey;
            if (handler) handler(this);
            m.Result = 0;
            return;
        }
        break;
    case WM_CLOSE:
        if (modal_) {
            modalResult_ = mrCancel;
        } else if (Application().MainForm() == this) {
            Hide();
            Application().Terminate();
        } else {
            Hide();
        }
        m.Result = 0;
        return;
    case WM_GETMINMAXINFO:
        if (minWidth_ > 0 || minHeight_ > 0) {
            auto* info = reinterpret_cast<MINMAXINFO*>(m.LParam);
            info->ptMinTrackSize.x = std::max<LONG>(info->ptMinTrackSize.x, minWidth_);
            info->ptMinTrackSize.y = std::max<LONG>(info->ptMinTrackSize.y, minHeight_);
        }
        break;
    case WM_SIZE:
    case WM_MOVE: {
        RECT r;
        GetWindowRect(Handle(), &r);
        if (!IsIconic(Handle())) TControl::SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
        break;
    }
    default:
        break;
    }
    TWinControl::WndProc(m);
}

}  // namespace tk
