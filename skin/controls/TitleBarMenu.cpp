// The title bar's system menu (Minimize, Maximize/Restore, Close) and the title bar's side of it:
// which items are enabled, what they do, and where the menus pop up.
#include "skin/controls/TitleBarMenu.h"

#include <windows.h>

#include <algorithm>

#include "skin/controls/TitleBar.h"
#include "toolkit/win/Application.h"

namespace {

std::wstring ResourceText(unsigned id, const wchar_t* fallback) {
    const wchar_t* text = nullptr;
    const int n = LoadStringW(GetModuleHandleW(nullptr), id, reinterpret_cast<LPWSTR>(&text), 0);
    return n > 0 && text ? std::wstring(text, static_cast<std::size_t>(n)) : std::wstring(fallback);
}

}  // namespace

TsuiTitleBarPopupMenu::TsuiTitleBarPopupMenu(TsuiTitleBar* titleBar) : TsuiPopupMenu(titleBar), titleBar_(titleBar) {
    Items()->Add(ResourceText(kSystemMenuMinimizeString, L"Mi&nimize"))->OnClick = [this](tk::TComponent*) {
        titleBar_->SystemMinimize();
    };
    Items()->Add(ResourceText(kSystemMenuMaximizeString, L"Ma&ximize/Restore"))->OnClick = [this](tk::TComponent*) {
        titleBar_->SystemMaximizeRestore();
    };
    Items()->Add(L"-");
    Items()->Add(ResourceText(kSystemMenuCloseString, L"&Close"))->OnClick = [this](tk::TComponent*) {
        titleBar_->SystemClose();
    };
    Loaded();
}

void TsuiTitleBarPopupMenu::Popup(int x, int y) {
    const skin::SystemMenuStates states = titleBar_->SystemMenuEnabled();
    MinimizeItem()->SetEnabled(states.Minimize);
    MaximizeItem()->SetEnabled(states.MaximizeRestore);
    CloseItem()->SetEnabled(states.Close);
    TsuiPopupMenu::Popup(skin::TitleMenuX(titleBar_->ReadsRightToLeft(), x), y);
}

// ---- The title bar's side of its system menu ----

skin::SystemMenuStates TsuiTitleBar::SystemMenuEnabled() const {
    std::vector<skin::TitleButtonInput> inputs;
    for (int i = 0; i < buttons_->Count(); ++i)
        inputs.push_back({buttons_->Items(i)->ButtonType(), buttons_->Items(i)->Visible(), true, 0, 0});
    return skin::SystemMenuEnabled(inputs);
}

void TsuiTitleBar::SystemMinimize() {
    tk::TForm* form = ParentFormOf();
    if (!form || !form->HandleAllocated()) return;
    if (form == tk::Application().MainForm()) {
        SendMessageW(form->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    } else {
        ShowWindow(form->Handle(), SW_MINIMIZE);
    }
}

void TsuiTitleBar::SystemMaximizeRestore() {
    for (int i = 0; i < buttons_->Count(); ++i) {
        TsuiTitleBarButton* b = buttons_->Items(i);
        if (b->ButtonType() == TsuiTitleBarBtnType::suiMax && b->Visible()) b->ClickButton();
    }
}

void TsuiTitleBar::SystemClose() {
    if (tk::TForm* form = ParentFormOf()) form->Close();
}

void TsuiTitleBar::PopupControlBoxMenu(tk::TComponent* menu) {
    if (!menu || !HandleAllocated()) return;
    POINT p{skin::TitleMenuX(RightToLeft(), 0), Height()};
    ClientToScreen(Handle(), &p);
    p.x = std::max<LONG>(p.x, 0);
    if (auto* popup = dynamic_cast<tk::TPopupMenu*>(menu)) popup->Popup(p.x, p.y);
}

void TsuiTitleBar::PopupSystemMenu() {
    if (!HandleAllocated()) return;
    POINT p{0, Height()};
    ClientToScreen(Handle(), &p);
    PopupSystemMenuAt(p.x, p.y);
}

bool TsuiTitleBar::PopupSystemMenuAt(int x, int y) {
    if (!systemMenu_) return false;
    systemMenu_->Popup(x, y);
    return true;
}
