// What the flat controls share: their enumerations (FlatTypes.h), lighter and darker colours from
// a base colour, a bevelled frame, the embossed glyph of a disabled button, and the copy of the
// parent's background under a control that paints itself transparently.
#pragma once

#include <cstdint>
#include <memory>

#include "flat/FlatTypes.h"
#include "toolkit/win/Bitmap.h"
#include "toolkit/win/Canvas.h"
#include "toolkit/win/Control.h"

// AdvancedColorRgb of the base colour after system-colour conversion; the fallback when amount is 0.
tk::TColor AdvancedColor(tk::TColor base, tk::TColor fallback, std::uint8_t amount, TLightShift shift);

// Width rings of one pixel inside the rectangle, from the outside in: left and top edges in the top
// colour, right and bottom edges in the bottom colour.
void DrawBevelFrame(tk::TCanvas& canvas, tk::TRect rect, tk::TColor topColor, tk::TColor bottomColor, int width);

// The embossed picture of a disabled glyph: a bitmap of the source's size in the back colour, with
// the shadow colour where the source shows the outline colour and, when drawHighlight is set, the
// highlight colour one pixel down and right of it (under the shadow).
std::unique_ptr<tk::TBitmap> MakeDisabledGlyph(tk::TBitmap& source, tk::TColor outline, tk::TColor back,
                                               tk::TColor highlight, tk::TColor shadow, bool drawHighlight);

// Paints the control's parent background into the canvas (see tk::PaintParentImage).
void CopyParentBackground(tk::TControl& control, tk::TCanvas& canvas);
