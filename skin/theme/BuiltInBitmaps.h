// The pictures of the built-in styles: bitmap resources of the program named by the style items,
// whole or one part of an equal-width strip.
#pragma once

#include "skin/theme/StyleItems.h"
#include "toolkit/win/Bitmap.h"

// Part index (counted from 1) of count equal-width parts of the source: the part width is the
// source width divided by count; the last part is the rightmost part width of the source. The
// destination gets the part's size and pixels; an index outside 1..count or a source narrower than
// count parts empties it.
void ExtractSubImage(const tk::TBitmap& source, tk::TBitmap& dest, int count, int index);

// Loads the bitmap resource a built-in style names for the item into dest: whole when count is 0,
// otherwise part index of count (ExtractSubImage). Nothing happens when dest is null or the item
// is not a bitmap of a built-in style. An item without a resource name raises tk::EResNotFound.
void LoadBuiltInBitmap(TsuiUIStyle style, TsuiStyleItem item, tk::TBitmap* dest, int index = 0, int count = 0);
