#include "toolkit/win/ImageList.h"

namespace tk {

TImageList::TImageList(TComponent* owner, int width, int height)
    : TComponent(owner), width_(width), height_(height),
      handle_(ImageList_Create(width, height, ILC_COLOR24 | ILC_MASK, 12, 4)) {}

TImageList::~TImageList() = default;

namespace {

HBITMAP LoadStrip(const std::wstring& resourceName) {
    return static_cast<HBITMAP>(
        LoadImageW(GetModuleHandleW(nullptr), resourceName.c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

}  // namespace

int TImageList::AddResourceStrip(const std::wstring& resourceName, COLORREF transparent) {
    ScopedBitmap strip(LoadStrip(resourceName));
    if (!strip) return 0;
    const int before = Count();
    ImageList_AddMasked(handle_.get(), strip.get(), transparent);
    return Count() - before;
}

void TImageList::Draw(HDC dc, int x, int y, int index, bool enabled) const {
    if (!dc || index < 0 || index >= Count()) return;
    if (enabled) {
        ImageList_Draw(handle_.get(), index, dc, x, y, ILD_NORMAL);
        return;
    }
    ScopedIcon icon(ImageList_GetIcon(handle_.get(), index, ILD_NORMAL));
    if (!icon) return;
    DrawStateW(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(icon.get()), 0, x, y, width_, height_,
               DST_ICON | DSS_DISABLED);
}

int TImageList::AddResourceStrip(const std::wstring& resourceName) {
    ScopedBitmap strip(LoadStrip(resourceName));
    if (!strip) return 0;
    // The transparent colour: the strip's bottom-left pixel.
    COLORREF transparent = 0;
    {
        ScopedMemDC dc;
        ScopedSelectObject selected(dc, strip.get());
        BITMAP info{};
        GetObjectW(strip.get(), sizeof(info), &info);
        transparent = GetPixel(dc, 0, info.bmHeight - 1);
    }
    const int before = Count();
    ImageList_AddMasked(handle_.get(), strip.get(), transparent);
    return Count() - before;
}

int TImageList::Count() const { return ImageList_GetImageCount(handle_.get()); }

}  // namespace tk
