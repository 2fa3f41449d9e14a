// Drawing and geometry helpers the skinned components share: gradients, three-part pictures,
// the parent's background, hit tests, the work area, caption shortening and the active-form test.
#pragma once

#include <windows.h>

#include <string>

#include "toolkit/win/Bitmap.h"
#include "toolkit/win/Canvas.h"
#include "toolkit/win/Control.h"
#include "toolkit/win/Form.h"

// Line-by-line gradients from start to end colour (system colours resolved): the first line (or
// column) in start, the last in end, the ones between interpolated. An empty span draws nothing;
// a single line shows only end.
void FillVerticalGradient(tk::TCanvas& canvas, const tk::TRect& rect, tk::TColor start, tk::TColor end);
void FillHorizontalGradient(tk::TCanvas& canvas, const tk::TRect& rect, tk::TColor start, tk::TColor end);

// Draws a picture of three equal-width parts across the rectangle: left part at the left, right
// part at the right, middle part stretched between them; a rectangle narrower than one part shows
// the left part cut to its width. With transparent set, pixels of transparentColor are left out.
void DrawThreePartBitmap(tk::TBitmap& bitmap, tk::TCanvas& canvas, const tk::TRect& rect,
                         tk::TColor transparentColor, bool transparent);

// Paints the control's parent background (erase and paint of the parent) into the canvas, which
// draws for the control. Nothing when the control has no parent.
void PaintParentBackground(tk::TCanvas& canvas, tk::TControl& control);

// All four edges count as inside.
bool PointInRect(POINT point, const tk::TRect& rect);

// The work area of the monitor nearest the main form's window, or the primary work area.
tk::TRect GetWorkArea();

// Left, top, width (right - left) and height (bottom - top) of the control from the rectangle.
void SetControlBounds(tk::TControl& control, const tk::TRect& rect);

// The text shortened with "..." to the maximum width on the canvas (see skin::FitTextWithEllipsis).
void FitTextWithEllipsis(tk::TCanvas& canvas, const std::wstring& text, int maxWidth, std::wstring& output);

// Whether the form counts as active, for keyboard shortcuts of its menu bar: the main form of an
// MDI application always; otherwise only while the application is active and the form (or, for
// an MDI main form, its active child) is the active window. A null form counts as the main form.
bool IsFormActive(tk::TForm* form);
