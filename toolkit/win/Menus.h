// Menus: a tree of items under a root item, shown by the platform's menus. A popup menu opens at
// a point and runs the chosen item; a main menu gives a menu bar handle. Items with draw
// handlers are owner-drawn when the menu draws its items itself; the windows that own the native
// menus pass the measure, draw and command messages to DispatchMenuMessage.
#pragma once

#include <windows.h>

#include "toolkit/win/Control.h"
#include "toolkit/win/ImageList.h"
#include "toolkit/win/MenuItem.h"
#include "toolkit/win/Scoped.h"

namespace tk {

class TMenu : public TComponent {
public:
    explicit TMenu(TComponent* owner);
    ~TMenu() override;
    std::string_view ClassName() const override { return "TMenu"; }

    // The root of the tree; its sub-items are the menu's items.
    TMenuItem* Items() const { return items_; }

    TImageList* Images() const { return images_; }
    virtual void SetImages(TImageList* images);

    // Items with a draw handler are drawn by their handler when this is on.
    virtual bool OwnerDraw() const { return ownerDraw_; }
    virtual void SetOwnerDraw(bool value) { ownerDraw_ = value; }

    // Whether items read from right to left (the side bar on the right); set by the user of the
    // menu for right-to-left systems.
    bool RightToLeft() const { return rightToLeft_; }
    void SetRightToLeft(bool value) { rightToLeft_ = value; }

    // Called by whoever builds the menu once its items are in place.
    virtual void Loaded() {}
    // An item of the menu changed (caption, state, sub-items).
    virtual void MenuChanged(TMenuItem* item) { (void)item; }

    // Runs the enabled item whose shortcut this is (searched below enabled items only); false when
    // none has it.
    bool DispatchShortCut(TShortCut shortCut);

    // Fills a native menu with the sub-items of the item (recursively).
    void FillNative(HMENU menu, TMenuItem* parent);

    void Notification(TComponent* component, Operation operation) override;

private:
    TMenuItem* items_;
    TImageList* images_ = nullptr;
    bool ownerDraw_ = false;
    bool rightToLeft_ = false;
};

class TPopupMenu : public TMenu {
public:
    using TMenu::TMenu;
    std::string_view ClassName() const override { return "TPopupMenu"; }

    // Shows the menu at the screen point and waits until it closes; the chosen item's click runs.
    void Popup(int x, int y);
    TNotifyEvent OnPopup;
};

class TMainMenu : public TMenu {
public:
    using TMenu::TMenu;
    ~TMainMenu() override;
    std::string_view ClassName() const override { return "TMainMenu"; }

    // A menu bar of the top-level items, rebuilt when an item changes.
    HMENU Handle();
    void MenuChanged(TMenuItem* item) override;

private:
    ScopedMenu handle_;
};

// Shows the sub-items of an item (of any menu) as a popup menu at the screen point, waits until
// it closes and returns the chosen item (nullptr when none was chosen); the item's click is the
// caller's to run.
TMenuItem* TrackItemPopup(TMenuItem* item, int x, int y, UINT flags = TPM_LEFTALIGN | TPM_TOPALIGN);

// Handles WM_MEASUREITEM and WM_DRAWITEM of menu items and WM_COMMAND of choices in the menu bar
// the window shows (popup menus return their choice instead); false when the message is not about
// a live menu item of that window.
bool DispatchMenuMessage(HWND window, TMessage& message);

}  // namespace tk
