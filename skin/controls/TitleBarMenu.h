// The title bar's system menu: a skinned popup menu with Minimize, Maximize/Restore and Close,
// each enabled exactly when the title bar shows a button of that kind.
#pragma once

#include "skin/controls/PopupMenu.h"

class TsuiTitleBar;

// The string resources of the three captions (the texts below are the defaults).
inline constexpr unsigned kSystemMenuMinimizeString = 65254;
inline constexpr unsigned kSystemMenuMaximizeString = 65255;
inline constexpr unsigned kSystemMenuCloseString = 65256;

class TsuiTitleBarPopupMenu : public TsuiPopupMenu {
public:
    // Owned by the title bar, whose window it acts on.
    explicit TsuiTitleBarPopupMenu(TsuiTitleBar* titleBar);
    std::string_view ClassName() const override { return "TsuiTitleBarPopupMenu"; }

    TsuiTitleBar* TitleBar() const { return titleBar_; }
    tk::TMenuItem* MinimizeItem() const { return Items()->Items(0); }
    tk::TMenuItem* MaximizeItem() const { return Items()->Items(1); }
    tk::TMenuItem* CloseItem() const { return Items()->Items(3); }

    // Sets the items' enabled states from the title bar's visible buttons, then shows the menu
    // (176 pixels further right when the bar reads right to left) and runs the chosen item.
    void Popup(int x, int y);

private:
    TsuiTitleBar* titleBar_;
};
