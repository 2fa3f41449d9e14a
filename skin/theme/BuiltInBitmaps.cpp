#include "skin/theme/BuiltInBitmaps.h"

#include <string>

#include "toolkit/win/BitmapResource.h"

void ExtractSubImage(const tk::TBitmap& source, tk::TBitmap& dest, int count, int index) {
    tk::TBitmap part;
    part.Assign(tk::ExtractPart(source.ToImage(), count, index));
    if (!part.Empty()) part.SetPixelFormat(source.PixelFormat());
    dest.Assign(part);
}

void LoadBuiltInBitmap(TsuiUIStyle style, TsuiStyleItem item, tk::TBitmap* dest, int index, int count) {
    if (!dest) return;
    const TsuiStyleValue value = LookupStyleItem(style, item);
    if (value.kind != TsuiStyleItemKind::Bitmap) return;
    const std::wstring name(value.bitmapName.begin(), value.bitmapName.end());
    if (count == 0) {
        tk::LoadBitmapResource(*dest, name);
        return;
    }
    tk::TBitmap strip;
    tk::LoadBitmapResource(strip, name);
    ExtractSubImage(strip, *dest, count, index);
}
