#include "skin/controls/PopupMenu.h"

#include <memory>

namespace {

constexpr COLORREF kCheckMarkTransparent = RGB(255, 255, 255);

}  // namespace

tk::TImageList* SharedMenuCheckImages() {
    static std::unique_ptr<tk::TImageList> list = [] {
        auto l = std::make_unique<tk::TImageList>(nullptr, 16, 16);
        l->AddResourceStrip(L"MENU_CHECKED", kCheckMarkTransparent);
        return l;
    }();
    return list.get();
}

TsuiPopupMenu::TsuiPopupMenu(tk::TComponent* owner) : TsuiMenuBase<tk::TPopupMenu>(owner) { InitStyle(owner); }

void TsuiPopupMenu::SetMenuItemHeight(int value) {
    if (look_.UIStyle != TsuiUIStyle::MacOS) look_.MenuItemHeight = value;
}

TsuiMenuImages TsuiPopupMenu::MenuImages() const { return {Images(), SharedMenuCheckImages()}; }
