#include "skin/controls/TitleBarMenu.h"

#include <windows.h>

#include "skin/controls/TitleBar.h"

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
