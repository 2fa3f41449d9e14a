// Bitmap resources of the program (BITMAP entries of the resource script) loaded into bitmaps.
#pragma once

#include <string_view>

#include "toolkit/Exception.h"
#include "toolkit/win/Bitmap.h"

namespace tk {

// A resource the module does not have: "Resource NAME not found".
class EResNotFound : public Exception { using Exception::Exception; };

// Replaces the bitmap's picture with the named bitmap resource of the program (the module of the
// running executable when module is null). EResNotFound when there is no such resource,
// EInvalidGraphic when its data is malformed.
void LoadBitmapResource(TBitmap& bitmap, std::wstring_view name, HMODULE module = nullptr);

}  // namespace tk
