#include "skin/controls/MainMenu.h"

#include "toolkit/win/Form.h"

TsuiMainMenu::TsuiMainMenu(tk::TComponent* owner) : TsuiMenuBase<tk::TMainMenu>(owner) {
    checkImages_ = SharedMenuCheckImages();
    tk::TMainMenu::SetImages(checkImages_);
    InitStyle(owner);
}

TsuiMainMenu::~TsuiMainMenu() {
    // The frame hears nothing more.
    if (form_) RemoveFreeNotification(form_);
    form_ = nullptr;
}

tk::TImageList* TsuiMainMenu::Images() const {
    tk::TImageList* installed = tk::TMainMenu::Images();
    return installed == checkImages_ ? nullptr : installed;
}

void TsuiMainMenu::SetImages(tk::TImageList* images) { tk::TMainMenu::SetImages(images ? images : checkImages_); }

void TsuiMainMenu::SetMenuItemHeight(int value) { look_.MenuItemHeight = value; }

void TsuiMainMenu::SetUseSystemFont(bool value) {
    look_.UseSystemFont = value;
    if (TsuiMenuBarHost* host = Host()) host->ApplyMenuBarFont();
}

void TsuiMainMenu::SetForm(tk::TComponent* frame) {
    if (form_ && form_ != frame) RemoveFreeNotification(form_);
    form_ = frame;
    if (form_) FreeNotification(form_);
}

void TsuiMainMenu::Loaded() {
    TsuiMenuBase<tk::TMainMenu>::Loaded();
    if (TsuiMenuBarHost* host = Host()) host->RebuildMenuBar();
}

void TsuiMainMenu::MenuChanged(tk::TMenuItem* item) {
    TsuiMenuBase<tk::TMainMenu>::MenuChanged(item);
    if (!dynamic_cast<tk::TForm*>(Owner())) return;
    if (TsuiMenuBarHost* host = Host()) host->SyncMenuBarButtons();
}

void TsuiMainMenu::Notification(tk::TComponent* component, tk::Operation operation) {
    TsuiMenuBase<tk::TMainMenu>::Notification(component, operation);
    if (operation != tk::Operation::Remove) return;
    if (component == form_) form_ = nullptr;
    // The check mark list lasts as long as the program; a user's list that goes brings it back.
    if (component == checkImages_) {
        checkImages_ = nullptr;
    } else if (component && tk::TMainMenu::Images() == nullptr && checkImages_) {
        tk::TMainMenu::SetImages(checkImages_);
    }
}

TsuiMenuImages TsuiMainMenu::MenuImages() const { return {Images(), checkImages_}; }
