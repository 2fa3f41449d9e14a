// The keys a framed window hands to its menu: the main menu's shortcuts from any control of the
// active host, and, through an application-wide hook on the retrieved messages, Alt+Space for the
// system menu and the menu bar's accelerators.
#include "skin/controls/Form.h"

#include "skin/theme/SkinDraw.h"
#include "toolkit/win/Application.h"

LRESULT TsuiForm::MenuShortCutCheck(WPARAM key) {
    if (!menu_ || !host_ || !IsFormActive(host_) || !host_->HandleAllocated()) return 0;
    if (GetActiveWindow() != host_->Handle()) return 0;
    tk::TShortCut shortCut = static_cast<tk::TShortCut>(key & 0xFF);
    if (GetKeyState(VK_SHIFT) < 0) shortCut |= tk::scShift;
    if (GetKeyState(VK_CONTROL) < 0) shortCut |= tk::scCtrl;
    if (GetKeyState(VK_MENU) < 0) shortCut |= tk::scAlt;
    return menu_->DispatchShortCut(shortCut) ? 1 : 0;
}

bool TsuiForm::AppMessage(MSG& msg) {
    if (destroying_ || !titleBar_ || !host_ || !host_->HandleAllocated()) return false;
    if (msg.message == WM_SYSCHAR && LOWORD(msg.wParam) == VK_SPACE &&
        (msg.hwnd == host_->Handle() || IsChild(host_->Handle(), msg.hwnd)))
        return PopupSystemMenu();
    const bool inHost = msg.hwnd == host_->Handle() || IsChild(host_->Handle(), msg.hwnd);
    if (!inHost) return false;
    if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) return MenuShortCutCheck(msg.wParam) != 0;
    // Alt with a letter opens the menu bar item whose accelerator it is.
    if (msg.message == WM_SYSCHAR && menuBar_ && IsFormActive(host_))
        return menuBar_->DialogChar(static_cast<wchar_t>(msg.wParam), true);
    // A plain letter that the window it is typed into does not take may open a hot button's item.
    if (msg.message == WM_CHAR && menuBar_ && IsFormActive(host_) &&
        !(SendMessageW(msg.hwnd, WM_GETDLGCODE, 0, reinterpret_cast<LPARAM>(&msg)) & DLGC_WANTCHARS))
        return menuBar_->DialogChar(static_cast<wchar_t>(msg.wParam), false);
    return false;
}

bool TsuiForm::PopupSystemMenu() {
    if (destroying_ || !titleBar_ || !host_ || !host_->HandleAllocated()) return false;
    RECT r;
    GetWindowRect(host_->Handle(), &r);
    return titleBar_->PopupSystemMenuAt(r.left, r.top + titleBar_->Height());
}

void TsuiForm::LeaveKeysToHost() {
    if (appHook_) tk::Application().RemoveMessageHook(appHook_);
    appHook_ = 0;
}
