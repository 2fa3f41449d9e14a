#include "skin/controls/PopupMenu.h"

TsuiPopupMenu::TsuiPopupMenu(tk::TComponent* owner) : TsuiMenuBase<tk::TPopupMenu>(owner) { InitStyle(owner); }

void TsuiPopupMenu::SetMenuItemHeight(int value) {
    if (look_.UIStyle != TsuiUIStyle::MacOS) look_.MenuItemHeight = value;
}

TsuiMenuImages TsuiPopupMenu::MenuImages() const { return {Images(), SharedMenuCheckImages()}; }
