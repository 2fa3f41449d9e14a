// The skinned popup menu: every item drawn with a side bar, selection, separators and check marks
// in the colours of a built-in style or a loaded skin.
#pragma once

#include "skin/controls/SkinMenu.h"

class TsuiPopupMenu : public TsuiMenuBase<tk::TPopupMenu> {
public:
    explicit TsuiPopupMenu(tk::TComponent* owner);
    std::string_view ClassName() const override { return "TsuiPopupMenu"; }

    // Ignored while the style is MacOS, whose items have the height of their picture.
    void SetMenuItemHeight(int value) override;

protected:
    TsuiMenuImages MenuImages() const override;
};
