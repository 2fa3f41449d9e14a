// Drawing helpers of the skinned menus and the form's menu bar.
#pragma once

#include <windows.h>

#include "toolkit/win/Canvas.h"
#include "toolkit/win/MenuItem.h"

// Gives the item and all its sub-items, recursively, the measure and draw handlers.
void SetMenuDrawHandlers(tk::TMenuItem* item, const tk::TMenuMeasureItemEvent& measure,
                         const tk::TMenuDrawItemEvent& draw);

// Brush colour := colour, then a one-pixel frame of / a fill of the rectangle.
void FrameRectColor(tk::TCanvas& canvas, const tk::TRect& rect, tk::TColor color);
void FillRectColor(tk::TCanvas& canvas, const tk::TRect& rect, tk::TColor color);

// A separator line at top + 2, beside a side bar of the given width on the left or the right.
void DrawMenuSeparator(tk::TCanvas& canvas, const tk::TRect& rect, tk::TColor color, bool barOnLeft, int barWidth);

// The MacOS menu backgrounds, stretched over the rectangle: separator (the top 12 rows of
// MACOS_MENU_BAR), normal item (its top 20 rows) and selected item (the top 20 rows of
// MACOS_MENU_SELECT).
void DrawMacMenuBar12(tk::TCanvas& canvas, const tk::TRect& rect);
void DrawMacMenuBar20(tk::TCanvas& canvas, const tk::TRect& rect);
void DrawMacMenuSelect(tk::TCanvas& canvas, const tk::TRect& rect);

// The border of a popup menu window, painted on the screen: an outer ring in outer colour, a
// white ring inside it, and the bottom row, right column and top row in the edge colour.
void DrawPopupWindowFrame(HWND window, tk::TColor outer, tk::TColor edge);

// The system's menu font in the menu text colour; the font stays as it was when the system does
// not answer.
void AssignMenuFont(tk::TFont& font);
