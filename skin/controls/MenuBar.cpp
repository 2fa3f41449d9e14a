#include "skin/controls/MenuBar.h"

#include <cwctype>

#include "toolkit/win/Application.h"
#include "toolkit/win/Scoped.h"

namespace {

// The bar whose submenu is dropped down; the menu filter hook of this thread reports to it.
TsuiMenuBar* trackingBar = nullptr;
constexpr UINT kMenuGetHandle = 0x01E1;  // MN_GETHMENU

struct MenuWindows {
    HWND deepest = nullptr;
    int count = 0;
};

BOOL CALLBACK CollectMenuWindow(HWND hwnd, LPARAM data) {
    wchar_t cls[16]{};
    GetClassNameW(hwnd, cls, 16);
    if (IsWindowVisible(hwnd) && std::wstring(cls) == L"#32768") {
        auto* windows = reinterpret_cast<MenuWindows*>(data);
        ++windows->count;
        // Submenus open above their parents in the z-order: the first one met is the deepest.
        if (!windows->deepest) windows->deepest = hwnd;
    }
    return TRUE;
}

// Whether the highlighted item of the menu shown in the window opens a submenu.
bool HighlightedItemOpensSubmenu(HWND menuWindow) {
    HMENU menu = reinterpret_cast<HMENU>(SendMessageW(menuWindow, kMenuGetHandle, 0, 0));
    if (!menu) return false;
    const int n = GetMenuItemCount(menu);
    for (int i = 0; i < n; ++i)
        if (GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & MF_HILITE) return GetSubMenu(menu, i) != nullptr;
    return false;
}

}  // namespace

wchar_t MenuAccelerator(const std::wstring& caption) {
    for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != L'&') continue;
        if (caption[i + 1] == L'&') {
            ++i;  // "&&" is a literal ampersand
            continue;
        }
        return static_cast<wchar_t>(std::towupper(caption[i + 1]));
    }
    return 0;
}

// ---- TsuiMenuBarButton ----

TsuiMenuBarButton::~TsuiMenuBarButton() {
    if (menuItem_) RemoveFreeNotification(menuItem_);
}

void TsuiMenuBarButton::SetMenuItem(tk::TMenuItem* item) {
    if (menuItem_ && menuItem_ != item) RemoveFreeNotification(menuItem_);
    menuItem_ = item;
    if (!menuItem_) return;
    FreeNotification(menuItem_);
    SetCaption(menuItem_->Caption());
    SetEnabled(menuItem_->Enabled());
}

void TsuiMenuBarButton::Notification(tk::TComponent* component, tk::Operation operation) {
    tk::TToolButton::Notification(component, operation);
    if (operation == tk::Operation::Remove && component == menuItem_) {
        menuItem_ = nullptr;
        SetEnabled(false);
    }
}

// ---- TsuiMenuBar ----

TsuiMenuBar::TsuiMenuBar(tk::TComponent* owner) : tk::TToolBar(owner) {}

TsuiMenuBar::~TsuiMenuBar() {
    if (trackingBar == this) trackingBar = nullptr;
}

void TsuiMenuBar::CreateWnd() {
    tk::TToolBar::CreateWnd();
    // Menu buttons show their caption alone, as wide as it is.
    SendMessageW(Handle(), TB_SETBITMAPSIZE, 0, MAKELPARAM(0, 0));
    SendMessageW(Handle(), TB_SETBUTTONSIZE, 0, MAKELPARAM(ButtonWidth(), ButtonHeight()));
}

std::vector<TsuiMenuBarButton*> TsuiMenuBar::MenuButtons() const {
    std::vector<TsuiMenuBarButton*> result;
    for (tk::TToolButton* b : Buttons())
        if (auto* m = dynamic_cast<TsuiMenuBarButton*>(b)) result.push_back(m);
    return result;
}

tk::TRect TsuiMenuBar::ButtonRect(const TsuiMenuBarButton* button) {
    if (!button || !HandleAllocated()) return {};
    const LRESULT index = SendMessageW(Handle(), TB_COMMANDTOINDEX, button->CommandId(), 0);
    RECT r{};
    if (index < 0 || !SendMessageW(Handle(), TB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r)))
        return {};
    return {r.left, r.top, r.right, r.bottom};
}

TsuiMenuBarButton* TsuiMenuBar::Neighbour(TsuiMenuBarButton* from, int step) const {
    const std::vector<TsuiMenuBarButton*> all = MenuButtons();
    const int n = static_cast<int>(all.size());
    int at = -1;
    for (int i = 0; i < n; ++i)
        if (all[static_cast<std::size_t>(i)] == from) at = i;
    if (at < 0) return nullptr;
    for (int k = 1; k < n; ++k) {
        TsuiMenuBarButton* b = all[static_cast<std::size_t>(((at + step * k) % n + n) % n)];
        if (b->Enabled() && b->MenuItem()) return b;
    }
    return nullptr;
}

void TsuiMenuBar::DropDown(TsuiMenuBarButton* button, bool fromKeyboard) {
    TsuiMenuBarButton* current = button;
    while (current && current->MenuItem() && current->Enabled() && HandleAllocated() && !trackingBar) {
        tk::TMenuItem* item = current->MenuItem();
        if (item->Count() == 0) {
            item->Click();
            return;
        }
        const tk::TRect r = ButtonRect(current);
        POINT p{r.Left, r.Bottom};
        ClientToScreen(Handle(), &p);
        tk::TMenuItem* chosen = nullptr;
        {
            // However the submenu closes (a throw included), the filter goes, the button comes up
            // and the bar is free to drop down again.
            const int command = current->CommandId();
            const tk::OnScopeExit untrack([this, command] {
                trackingBar = nullptr;
                dropped_ = nullptr;
                if (HandleAllocated()) SendMessageW(Handle(), TB_PRESSBUTTON, command, MAKELONG(FALSE, 0));
            });
            dropped_ = current;
            pendingStep_ = 0;
            SendMessageW(Handle(), TB_PRESSBUTTON, command, MAKELONG(TRUE, 0));
            UpdateWindow(Handle());
            trackingBar = this;
            const tk::ScopedHook filter(WH_MSGFILTER, &TsuiMenuBar::MenuFilter);
            // The menu's loop takes the keys of its thread's queue, whichever window they are for:
            // a Down waiting there highlights the first enabled item once the submenu shows.
            if (fromKeyboard) PostMessageW(Handle(), WM_KEYDOWN, VK_DOWN, 0);
            chosen = tk::TrackItemPopup(item, p.x, p.y);
        }
        if (!HandleAllocated()) return;
        Invalidate();
        if (chosen) {
            chosen->Click();
            return;
        }
        current = pendingStep_ ? Neighbour(current, pendingStep_) : nullptr;
        fromKeyboard = true;  // Left and Right moved on
    }
}

LRESULT CALLBACK TsuiMenuBar::MenuFilter(int code, WPARAM wParam, LPARAM lParam) {
    auto* msg = reinterpret_cast<MSG*>(lParam);
    if (code == MSGF_MENU && trackingBar && msg && msg->message == WM_KEYDOWN &&
        (msg->wParam == VK_LEFT || msg->wParam == VK_RIGHT)) {
        MenuWindows windows;
        EnumThreadWindows(GetCurrentThreadId(), &CollectMenuWindow, reinterpret_cast<LPARAM>(&windows));
        // Left leaves the top submenu for the previous bar item (deeper, it closes a submenu);
        // Right moves on to the next bar item unless the highlighted item opens a submenu.
        const bool left = msg->wParam == VK_LEFT;
        const bool move = left ? windows.count <= 1
                               : !(windows.deepest && HighlightedItemOpensSubmenu(windows.deepest));
        if (move) {
            trackingBar->pendingStep_ = left ? -1 : 1;
            EndMenu();
            return 1;
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

bool TsuiMenuBar::DialogChar(wchar_t ch, bool altDown) {
    const std::vector<TsuiMenuBarButton*> all = MenuButtons();
    if (!altDown) {
        bool anyHot = false;
        for (TsuiMenuBarButton* b : all) anyHot = anyHot || b->Tag == kMenuBarHotTag;
        if (!anyHot) return false;
    }
    const wchar_t wanted = static_cast<wchar_t>(std::towupper(ch));
    for (TsuiMenuBarButton* b : all) {
        if (wanted && MenuAccelerator(b->Caption()) == wanted && b->Enabled()) {
            DropDown(b, true);
            return true;
        }
    }
    return false;
}

void TsuiMenuBar::WndProc(tk::TMessage& m) {
    if (m.Msg == WM_LBUTTONDOWN || m.Msg == WM_LBUTTONDBLCLK) {
        // A menu bar drops its submenu on the press, not on the release.
        POINT p{static_cast<short>(LOWORD(m.LParam)), static_cast<short>(HIWORD(m.LParam))};
        const LRESULT index = SendMessageW(Handle(), TB_HITTEST, 0, reinterpret_cast<LPARAM>(&p));
        TBBUTTON tb{};
        if (index >= 0 && SendMessageW(Handle(), TB_GETBUTTON, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&tb))) {
            if (auto* b = dynamic_cast<TsuiMenuBarButton*>(ButtonByCommand(tb.idCommand))) {
                try {
                    DropDown(b, false);
                } catch (...) {
                    tk::Application().HandleException(std::current_exception());
                }
                m.Result = 0;
                return;
            }
        }
    }
    if (m.Msg == WM_CHAR && DialogChar(static_cast<wchar_t>(m.WParam), false)) {
        m.Result = 0;
        return;
    }
    tk::TToolBar::WndProc(m);
    if (m.Msg == WM_ERASEBKGND && OnCustomDraw) {
        tk::TCanvas canvas(reinterpret_cast<HDC>(m.WParam));
        OnCustomDraw(canvas, {0, 0, ClientWidth(), ClientHeight()});
    }
}

LRESULT TsuiMenuBar::CustomDraw(NMTBCUSTOMDRAW& draw) {
    if (draw.nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
    if (draw.nmcd.dwDrawStage != CDDS_ITEMPREPAINT) return CDRF_DODEFAULT;
    auto* b = dynamic_cast<TsuiMenuBarButton*>(ButtonByCommand(static_cast<int>(draw.nmcd.dwItemSpec)));
    if (!b) return CDRF_DODEFAULT;
    const bool hot = (draw.nmcd.uItemState & CDIS_HOT) != 0;
    const bool selected = (draw.nmcd.uItemState & CDIS_SELECTED) != 0 || b == dropped_;
    b->Tag = hot || selected ? kMenuBarHotTag : 0;
    if (OnCustomDrawButton) {
        tk::TCanvas canvas(draw.nmcd.hdc);
        const RECT& r = draw.nmcd.rc;
        OnCustomDrawButton(canvas, b, {r.left, r.top, r.right, r.bottom}, hot, selected);
    }
    return CDRF_SKIPDEFAULT;
}
