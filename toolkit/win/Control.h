// Controls: TControl holds position, size, visibility and the parent; TWinControl owns a window
// (HWND) and routes its messages to virtual handlers. Standard window classes (buttons, list view,
// tool bar) are subclassed so that they route the same way; WM_COMMAND and WM_NOTIFY that a
// parent receives are reflected to the child they came from.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "toolkit/Component.h"

namespace tk {

class TWinControl;
using TNotifyEvent = std::function<void(TComponent* sender)>;

// Messages a parent reflects to the child control that sent them.
constexpr UINT CN_BASE = 0xBC00;
constexpr UINT CN_COMMAND = CN_BASE + WM_COMMAND;
constexpr UINT CN_NOTIFY = CN_BASE + WM_NOTIFY;

struct TMessage {
    UINT Msg;
    WPARAM WParam;
    LPARAM LParam;
    LRESULT Result;
};

struct TRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
};

// The rectangle of any platform-free rectangle type with the same four edges (the layout
// arithmetic of the flat controls and of the skinned frame keeps its own).
template <class Rect>
TRect ToTRect(const Rect& r) {
    return {r.Left, r.Top, r.Right, r.Bottom};
}

// A font by name and height (negative: character height in pixels, as the platform takes it).
struct TFontSpec {
    std::wstring Name = L"MS Sans Serif";
    int Height = -11;
    COLORREF Color = RGB(0, 0, 0);
    bool Bold = false;
};

HFONT AcquireFont(const TFontSpec& font);  // shared per name, height and weight, freed at exit

class TControl : public TComponent {
public:
    explicit TControl(TComponent* owner);
    ~TControl() override;
    std::string_view ClassName() const override { return "TControl"; }

    TWinControl* Parent() const { return parent_; }
    virtual void SetParent(TWinControl* parent);

    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void SetBounds(int left, int top, int width, int height);
    void SetHeight(int height) { SetBounds(left_, top_, width_, height); }
    TRect BoundsRect() const { return {left_, top_, left_ + width_, top_ + height_}; }

    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);

    const std::wstring& Caption() const { return caption_; }
    void SetCaption(const std::wstring& caption);
    const std::wstring& Hint() const { return hint_; }
    void SetHint(const std::wstring& hint) { hint_ = hint; }

    const TFontSpec& Font() const { return font_; }
    void SetFont(const TFontSpec& font);

    int TabOrder() const { return tabOrder_; }
    void SetTabOrder(int order);

    TNotifyEvent OnClick;

protected:
    // Sets the flag alone, for constructors (no window work).
    void InitVisible(bool visible) { visible_ = visible; }
    virtual void BoundsChanged() {}
    virtual void VisibleChanged() {}
    virtual void EnabledChanged() {}
    virtual void CaptionChanged() {}
    virtual void FontChanged() {}

private:
    TWinControl* parent_ = nullptr;
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    bool visible_ = true;
    bool enabled_ = true;
    std::wstring caption_;
    std::wstring hint_;
    TFontSpec font_;
    int tabOrder_ = -1;
};

class TWinControl : public TControl {
public:
    explicit TWinControl(TComponent* owner);
    ~TWinControl() override;
    std::string_view ClassName() const override { return "TWinControl"; }

    bool HandleAllocated() const { return handle_ != nullptr; }
    // The window, created on first use (the parent's window first).
    HWND Handle();
    void HandleNeeded() { Handle(); }

    // Child controls in tab order.
    const std::vector<TControl*>& Controls() const { return controls_; }
    void InsertControl(TControl* control);
    void RemoveControl(TControl* control);
    // Orders the child controls (and their windows) by their tab order.
    void ApplyTabOrder();

    // The object behind a window created or subclassed by the toolkit, or nullptr.
    static TWinControl* FromHandle(HWND hwnd);
    // Routes the notifications of a window the toolkit did not create (a control's tool tip, say)
    // to target as if it had sent them; nullptr removes the route. Whoever sets a route removes it
    // before the window goes.
    static void SetNotifyTarget(HWND window, TWinControl* target);

    void Invalidate();
    bool Focused() const;
    void SetFocus();

    // Client area size of the window (or of the design size before the window exists).
    int ClientWidth();
    int ClientHeight();

    // The message handler. Derived classes override it and pass what they don't handle on.
    virtual void WndProc(TMessage& message);

protected:
    struct TCreateParams {
        std::wstring WinClassName;    // a toolkit class registered on first use, or a system class
        bool SystemClass = false;     // true: an existing class (BUTTON, SysListView32, ...), subclassed
        DWORD Style = WS_CHILD | WS_CLIPSIBLINGS;
        DWORD ExStyle = 0;
        HWND ParentWindow = nullptr;
        UINT ClassStyle = CS_DBLCLKS;
        HCURSOR Cursor = nullptr;
        HBRUSH Background = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        HICON Icon = nullptr;
    };
    virtual void CreateParams(TCreateParams& params);
    // After the window exists: set the font, load items, and so on.
    virtual void CreateWnd() {}
    virtual void DestroyWindowHandle();
    void DefaultHandler(TMessage& message);

    void BoundsChanged() override;
    void VisibleChanged() override;
    void EnabledChanged() override;
    void CaptionChanged() override;
    void FontChanged() override;

private:
    static LRESULT CALLBACK StdWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static void Attach(HWND hwnd, TWinControl* control);
    LRESULT Dispatch(UINT msg, WPARAM wParam, LPARAM lParam);

    HWND handle_ = nullptr;
    WNDPROC defaultProc_ = nullptr;
    std::vector<TControl*> controls_;
};

}  // namespace tk
