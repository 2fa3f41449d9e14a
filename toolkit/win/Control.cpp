#include "toolkit/win/Control.h"

#include <algorithm>
#include <map>
#include <tuple>
#include <utility>

#include "toolkit/Exception.h"
#include "toolkit/win/Application.h"
#include "toolkit/win/Menus.h"
#include "toolkit/win/Scoped.h"

namespace tk {

namespace {

constexpr wchar_t kObjectProp[] = L"tk.Object";
constexpr wchar_t kNotifyTargetProp[] = L"tk.NotifyTarget";

// Fonts shared by name, height and weight for the life of the program; deleted at exit.
using FontCacheMap = std::map<std::tuple<std::wstring, int, bool>, ScopedFont>;

FontCacheMap& FontCache() {
    static FontCacheMap cache;
    return cache;
}

void RegisterToolkitClass(const std::wstring& name, UINT style, HCURSOR cursor, HBRUSH background, HICON icon,
                          WNDPROC proc) {
    WNDCLASSEXW existing{sizeof(existing)};
    if (GetClassInfoExW(GetModuleHandleW(nullptr), name.c_str(), &existing)) return;
    WNDCLASSEXW wc{sizeof(wc)};
    wc.style = style;
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = cursor ? cursor : LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = background;
    wc.hIcon = icon;
    wc.hIconSm = icon;
    wc.lpszClassName = name.c_str();
    RegisterClassExW(&wc);
}

}  // namespace

HFONT AcquireFont(const TFontSpec& font) {
    auto key = std::make_tuple(font.Name, font.Height, font.Bold);
    auto& cache = FontCache();
    auto it = cache.find(key);
    if (it != cache.end()) return it->second.get();
    LOGFONTW lf{};
    lf.lfHeight = font.Height;
    lf.lfWeight = font.Bold ? FW_BOLD : FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = DEFAULT_QUALITY;
    lstrcpynW(lf.lfFaceName, font.Name.c_str(), LF_FACESIZE);
    HFONT hf = CreateFontIndirectW(&lf);
    cache.emplace(key, ScopedFont(hf));
    return hf;
}

// ---- TControl ----

TControl::TControl(TComponent* owner) : TComponent(owner) {}

TControl::~TControl() {
    if (parent_) parent_->RemoveControl(this);
}

void TControl::SetParent(TWinControl* parent) {
    if (parent_ == parent) return;
    if (parent_) parent_->RemoveControl(this);
    parent_ = parent;
    if (parent_) parent_->InsertControl(this);
}

void TControl::SetBounds(int left, int top, int width, int height) {
    if (left == left_ && top == top_ && width == width_ && height == height_) return;
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    BoundsChanged();
}

void TControl::SetVisible(bool visible) {
    if (visible_ == visible) return;
    visible_ = visible;
    VisibleChanged();
}

void TControl::SetEnabled(bool enabled) {
    if (enabled_ == enabled) return;
    enabled_ = enabled;
    EnabledChanged();
}

void TControl::SetCaption(const std::wstring& caption) {
    if (caption_ == caption) return;
    caption_ = caption;
    CaptionChanged();
}

void TControl::SetFont(const TFontSpec& font) {
    font_ = font;
    FontChanged();
}

void TControl::SetTabOrder(int order) {
    tabOrder_ = order;
    if (parent_) parent_->ApplyTabOrder();
}

// ---- TWinControl ----

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {}

TWinControl::~TWinControl() {
    for (TControl* c : std::vector<TControl*>(controls_)) c->SetParent(nullptr);
    DestroyWindowHandle();
}

void TWinControl::DestroyWindowHandle() {
    if (!handle_) return;
    HWND h = handle_;
    RemovePropW(h, kObjectProp);
    if (defaultProc_) SetWindowLongPtrW(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(defaultProc_));
    handle_ = nullptr;
    DestroyWindow(h);
}

void TWinControl::SetNotifyTarget(HWND window, TWinControl* target) {
    if (!window) return;
    if (target) {
        SetPropW(window, kNotifyTargetProp, target);
    } else {
        RemovePropW(window, kNotifyTargetProp);
    }
}

TWinControl* TWinControl::FromHandle(HWND hwnd) {
    return hwnd ? static_cast<TWinControl*>(GetPropW(hwnd, kObjectProp)) : nullptr;
}

void TWinControl::Attach(HWND hwnd, TWinControl* control) {
    control->handle_ = hwnd;
    SetPropW(hwnd, kObjectProp, control);
}

void TWinControl::CreateParams(TCreateParams& params) {
    params.WinClassName = L"tk.WinControl";
    if (Visible()) params.Style |= WS_VISIBLE;
    if (!Enabled()) params.Style |= WS_DISABLED;
}

HWND TWinControl::Handle() {
    if (handle_) return handle_;
    TCreateParams params;
    if (Parent()) {
        params.ParentWindow = Parent()->Handle();
        // Creating the parent's window creates its children's windows, this one among them.
        if (handle_) return handle_;
    }
    CreateParams(params);
    if (!params.SystemClass)
        RegisterToolkitClass(params.WinClassName, params.ClassStyle, params.Cursor, params.Background, params.Icon,
                             &StdWndProc);
    HWND hwnd = CreateWindowExW(params.ExStyle, params.WinClassName.c_str(), Caption().c_str(), params.Style, Left(),
                                Top(), Width(), Height(), params.ParentWindow, nullptr, GetModuleHandleW(nullptr),
                                params.SystemClass ? nullptr : this);
    if (!hwnd) throw Exception(L"Error creating window of class " + params.WinClassName);
    if (params.SystemClass) {
        Attach(hwnd, this);
        defaultProc_ = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&StdWndProc)));
    }
    SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(AcquireFont(Font())), FALSE);
    CreateWnd();
    for (TControl* c : std::vector<TControl*>(controls_))
        if (auto* w = dynamic_cast<TWinControl*>(c)) w->HandleNeeded();
    return handle_;
}

void TWinControl::ApplyTabOrder() {
    // Controls without a tab order keep their place after those that have one.
    std::stable_sort(controls_.begin(), controls_.end(), [](TControl* a, TControl* b) {
        const int ta = a->TabOrder() < 0 ? 1 << 30 : a->TabOrder();
        const int tb = b->TabOrder() < 0 ? 1 << 30 : b->TabOrder();
        return ta < tb;
    });
    // Dialog navigation follows the window order: chain the created windows in tab order.
    HWND after = HWND_TOP;
    for (TControl* c : controls_) {
        auto* w = dynamic_cast<TWinControl*>(c);
        if (!w || !w->HandleAllocated()) continue;
        SetWindowPos(w->Handle(), after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        after = w->Handle();
    }
}

void TWinControl::InsertControl(TControl* control) {
    controls_.push_back(control);
    if (handle_)
        if (auto* w = dynamic_cast<TWinControl*>(control)) w->HandleNeeded();
}

void TWinControl::RemoveControl(TControl* control) {
    controls_.erase(std::remove(controls_.begin(), controls_.end(), control), controls_.end());
}

void TWinControl::Invalidate() {
    if (handle_) InvalidateRect(handle_, nullptr, TRUE);
}

bool TWinControl::Focused() const { return handle_ && GetFocus() == handle_; }

void TWinControl::SetFocus() { ::SetFocus(Handle()); }

int TWinControl::ClientWidth() {
    if (!handle_) return Width();
    RECT r;
    GetClientRect(handle_, &r);
    return r.right - r.left;
}

int TWinControl::ClientHeight() {
    if (!handle_) return Height();
    RECT r;
    GetClientRect(handle_, &r);
    return r.bottom - r.top;
}

void TWinControl::BoundsChanged() {
    if (handle_) SetWindowPos(handle_, nullptr, Left(), Top(), Width(), Height(), SWP_NOZORDER | SWP_NOACTIVATE);
}

void TWinControl::VisibleChanged() {
    if (handle_) ShowWindow(handle_, Visible() ? SW_SHOW : SW_HIDE);
}

void TWinControl::EnabledChanged() {
    if (handle_) EnableWindow(handle_, Enabled());
}

void TWinControl::CaptionChanged() {
    if (handle_) SetWindowTextW(handle_, Caption().c_str());
}

void TWinControl::FontChanged() {
    if (handle_) SendMessageW(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(AcquireFont(Font())), TRUE);
}

void TWinControl::DefaultHandler(TMessage& m) {
    m.Result = defaultProc_ ? CallWindowProcW(defaultProc_, handle_, m.Msg, m.WParam, m.LParam)
                            : DefWindowProcW(handle_, m.Msg, m.WParam, m.LParam);
}

void TWinControl::WndProc(TMessage& m) {
    switch (m.Msg) {
    case WM_MEASUREITEM:
    case WM_DRAWITEM:
        // Owner-drawn items of the window's menu bar and of popup menus it owns.
        if (DispatchMenuMessage(handle_, m)) return;
        break;
    case WM_COMMAND:
        if (!m.LParam && DispatchMenuMessage(handle_, m)) return;
        if (m.LParam) {
            if (TWinControl* child = FromHandle(reinterpret_cast<HWND>(m.LParam)); child && child != this) {
                m.Result = SendMessageW(child->Handle(), CN_COMMAND, m.WParam, m.LParam);
                return;
            }
        }
        break;
    case WM_NOTIFY: {
        auto* hdr = reinterpret_cast<NMHDR*>(m.LParam);
        TWinControl* child = FromHandle(hdr->hwndFrom);
        // Tool tips of a tool bar report to the tool bar's parent; the tool bar answers them.
        if (!child) child = static_cast<TWinControl*>(GetPropW(hdr->hwndFrom, kNotifyTargetProp));
        if (child && child != this) {
            m.Result = SendMessageW(child->Handle(), CN_NOTIFY, m.WParam, m.LParam);
            return;
        }
        break;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
        if (TWinControl* child = FromHandle(reinterpret_cast<HWND>(m.LParam)); child && child != this) {
            m.Result = SendMessageW(child->Handle(), CN_BASE + m.Msg, m.WParam, m.LParam);
            if (m.Result) return;
        }
        break;
    default:
        break;
    }
    if (m.Msg >= CN_BASE && m.Msg < CN_BASE + 0x400) {
        m.Result = 0;
        return;
    }
    DefaultHandler(m);
}

LRESULT TWinControl::Dispatch(UINT msg, WPARAM wParam, LPARAM lParam) {
    // Nothing may unwind through the window system's frames.
    return Application().HandleWindowMessage(handle_, msg, wParam, lParam, [&] {
        TMessage m{msg, wParam, lParam, 0};
        WndProc(m);
        return m.Result;
    });
}

LRESULT CALLBACK TWinControl::StdWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    TWinControl* control = FromHandle(hwnd);
    if (!control && msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(lParam);
        control = static_cast<TWinControl*>(cs->lpCreateParams);
        if (control) Attach(hwnd, control);
    }
    if (!control) return DefWindowProcW(hwnd, msg, wParam, lParam);
    if (msg == WM_NCDESTROY) {
        WNDPROC old = control->defaultProc_;
        RemovePropW(hwnd, kObjectProp);
        control->handle_ = nullptr;
        control->defaultProc_ = nullptr;
        return old ? CallWindowProcW(old, hwnd, msg, wParam, lParam) : DefWindowProcW(hwnd, msg, wParam, lParam);
    }
    return control->Dispatch(msg, wParam, lParam);
}

}  // namespace tk
