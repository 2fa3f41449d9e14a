#include "toolkit/win/Menus.h"

#include "toolkit/win/Application.h"
#include "toolkit/win/Scoped.h"

namespace tk {

namespace {

// The system's menu font, which the canvases of menu items start with.
TFont SystemMenuFont() {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) return TFont{};
    return TFont::FromLogFont(metrics.lfMenuFont, clMenuText);
}

bool DrawsItself(const TMenuItem* item) {
    const TMenu* menu = item->Menu();
    return menu && menu->OwnerDraw() && item->OnDrawItem;
}

// The window that owns the native popup menus of this thread: it receives their measure, draw
// and command messages while they are open.
constexpr wchar_t kPopupWindowClass[] = L"tk.PopupMenuOwner";

LRESULT CALLBACK PopupOwnerProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return Application().HandleWindowMessage(hwnd, msg, wParam, lParam, [&] {
        TMessage m{msg, wParam, lParam, 0};
        if (DispatchMenuMessage(hwnd, m)) return m.Result;
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    });
}

// The item of the command in the menu bar the window shows, or nullptr: a command reaches the
// items of that window's own menu and no other.
TMenuItem* MenuBarItem(HWND window, unsigned command) {
    if (!window || (GetWindowLongW(window, GWL_STYLE) & WS_CHILD)) return nullptr;  // no menu bar
    HMENU bar = GetMenu(window);
    MENUITEMINFOW info{sizeof(info)};
    info.fMask = MIIM_DATA;
    if (!bar || !GetMenuItemInfoW(bar, command, FALSE, &info)) return nullptr;
    auto* item = reinterpret_cast<TMenuItem*>(info.dwItemData);
    return TMenuItem::IsLive(item) && item->Command() == command ? item : nullptr;
}

HWND PopupOwnerWindow() {
    static HWND window = nullptr;
    if (window && IsWindow(window)) return window;
    window = CreateHelperWindow(kPopupWindowClass, &PopupOwnerProc, WS_EX_TOOLWINDOW, WS_POPUP, nullptr);
    return window;
}

}  // namespace

// ---- TMenu ----

TMenu::TMenu(TComponent* owner) : TComponent(owner), items_(new TMenuItem(this)) {}

TMenu::~TMenu() { DestroyComponents(); }

void TMenu::SetImages(TImageList* images) {
    if (images_ && images_ != images) RemoveFreeNotification(images_);
    images_ = images;
    if (images_) FreeNotification(images_);
}

void TMenu::Notification(TComponent* component, Operation operation) {
    TComponent::Notification(component, operation);
    if (operation == Operation::Remove && component == images_) images_ = nullptr;
    if (operation == Operation::Remove && component == items_) items_ = nullptr;
}

bool TMenu::DispatchShortCut(TShortCut shortCut) {
    TMenuItem* item = FindItemByShortCut(items_, shortCut);
    if (!item) return false;
    item->Click();
    return true;
}

void TMenu::FillNative(HMENU menu, TMenuItem* parent) {
    if (!menu || !parent) return;
    for (int i = 0; i < parent->Count(); ++i) {
        TMenuItem* item = parent->Items(i);
        MENUITEMINFOW info{sizeof(info)};
        info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_DATA;
        info.wID = item->Command();
        info.dwItemData = reinterpret_cast<ULONG_PTR>(item);
        std::wstring text = item->Caption();
        const std::wstring shortCut = ShortCutToText(item->ShortCut());
        if (!shortCut.empty()) text += L"\t" + shortCut;
        if (DrawsItself(item)) {
            info.fType = MFT_OWNERDRAW;
        } else if (item->IsLine()) {
            info.fType = MFT_SEPARATOR;
        } else {
            info.fType = MFT_STRING;
            info.fMask |= MIIM_STRING;
            info.dwTypeData = text.data();
        }
        if (item->IsLine()) info.fType |= MFT_SEPARATOR;
        info.fState = (item->Checked() ? MFS_CHECKED : 0) | (item->Enabled() ? 0 : MFS_DISABLED) |
                      (item->Default() ? MFS_DEFAULT : 0);
        ScopedMenu submenu;
        if (item->Count() > 0) {
            submenu.reset(CreatePopupMenu());
            FillNative(submenu.get(), item);
            info.fMask |= MIIM_SUBMENU;
            info.hSubMenu = submenu.get();
        }
        // The menu owns the submenu once the item is in.
        if (InsertMenuItemW(menu, static_cast<UINT>(i), TRUE, &info)) submenu.release();
    }
}

// ---- TPopupMenu ----

void TPopupMenu::Popup(int x, int y) {
    if (OnPopup) OnPopup(this);
    if (TMenuItem* chosen = TrackItemPopup(Items(), x, y)) chosen->Click();
}

TMenuItem* TrackItemPopup(TMenuItem* item, int x, int y, UINT flags) {
    TMenu* menu = item ? item->Menu() : nullptr;
    if (!menu) return nullptr;
    ScopedMenu native(CreatePopupMenu());
    if (!native) return nullptr;
    menu->FillNative(native.get(), item);
    HWND owner = PopupOwnerWindow();
    const UINT command = static_cast<UINT>(
        TrackPopupMenu(native.get(), flags | TPM_RETURNCMD | TPM_RIGHTBUTTON, x, y, 0, owner, nullptr));
    // The item may have gone while its menu was open (its tree then no longer holds the choice).
    return command && TMenuItem::IsLive(item) ? item->FindCommand(command) : nullptr;
}

// ---- TMainMenu ----

TMainMenu::~TMainMenu() = default;

HMENU TMainMenu::Handle() {
    if (!handle_) {
        handle_.reset(CreateMenu());
        FillNative(handle_.get(), Items());
    }
    return handle_.get();
}

void TMainMenu::MenuChanged(TMenuItem* item) {
    TMenu::MenuChanged(item);
    if (!handle_) return;
    // Rebuilt in place, so that a window showing the bar keeps the same handle.
    while (GetMenuItemCount(handle_.get()) > 0) DeleteMenu(handle_.get(), 0, MF_BYPOSITION);
    FillNative(handle_.get(), Items());
}

// ---- messages ----

bool DispatchMenuMessage(HWND window, TMessage& m) {
    if (m.Msg == WM_MEASUREITEM) {
        auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam);
        if (!mis || mis->CtlType != ODT_MENU) return false;
        auto* item = reinterpret_cast<TMenuItem*>(mis->itemData);
        if (!TMenuItem::IsLive(item)) return false;
        ScopedGetDC dc(window);
        TCanvas canvas(dc);
        canvas.SetFont(SystemMenuFont());
        int width = static_cast<int>(mis->itemWidth), height = static_cast<int>(mis->itemHeight);
        if (item->OnMeasureItem) item->OnMeasureItem(item, canvas, width, height);
        mis->itemWidth = static_cast<UINT>(width > 0 ? width : 0);
        mis->itemHeight = static_cast<UINT>(height > 0 ? height : 0);
        m.Result = TRUE;
        return true;
    }
    if (m.Msg == WM_DRAWITEM) {
        auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam);
        if (!dis || dis->CtlType != ODT_MENU) return false;
        auto* item = reinterpret_cast<TMenuItem*>(dis->itemData);
        if (!TMenuItem::IsLive(item) || !item->OnDrawItem) return false;
        ScopedSaveDC saved(dis->hDC);
        TCanvas canvas(dis->hDC);
        canvas.SetFont(SystemMenuFont());
        const TRect r{dis->rcItem.left, dis->rcItem.top, dis->rcItem.right, dis->rcItem.bottom};
        item->OnDrawItem(item, canvas, r, (dis->itemState & ODS_SELECTED) != 0);
        m.Result = TRUE;
        return true;
    }
    if (m.Msg == WM_COMMAND && m.LParam == 0 && HIWORD(m.WParam) == 0) {
        TMenuItem* item = MenuBarItem(window, LOWORD(m.WParam));
        if (!item) return false;
        item->Click();
        m.Result = 0;
        return true;
    }
    return false;
}

}  // namespace tk
