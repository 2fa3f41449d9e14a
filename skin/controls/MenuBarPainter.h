// How a form frame's menu bar looks: its font, its background and its buttons, drawn before the
// tool bar would draw them. The look follows the skinned main menu when the frame shows one,
// else the frame's own style and skin.
#pragma once

#include "skin/controls/MenuBar.h"
#include "skin/controls/MenuLook.h"
#include "skin/theme/FileTheme.h"
#include "toolkit/win/Canvas.h"

namespace skin {

// The style and skin the bar is drawn in, and its font.
struct MenuBarLook {
    TsuiUIStyle Style = TsuiUIStyle::DeepBlue;
    TsuiFileTheme* Theme = nullptr;
    tk::TFont Font;
};

// The bar's font: the system menu font, or the skinned menu's own font (menuLook, may be null)
// unless it asks for the system one.
tk::TFont MenuBarFont(const TsuiMenuLook* menuLook);

// The background: the MacOS bar picture stretched over the rectangle, or a vertical gradient
// when the two colours differ; otherwise the tool bar's own colour stays.
void PaintMenuBarBackground(tk::TCanvas& canvas, const tk::TRect& rect, TsuiUIStyle style, tk::TColor fromColor,
                            tk::TColor toColor);

// A button: marked hot (its Tag) and drawn selected while hot or selected, else its caption alone
// (grey when disabled).
void PaintMenuBarButton(tk::TCanvas& canvas, TsuiMenuBarButton& button, const tk::TRect& rect, bool hot,
                        bool selected, const MenuBarLook& look);

}  // namespace skin
