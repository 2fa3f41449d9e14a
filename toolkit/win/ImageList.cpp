#include "toolkit/win/ImageList.h"

namespace tk {

TImageList::TImageList(TComponent* owner, int width, int height)
    : TComponent(owner), width_(width), height_(height),
      handle_(ImageList_Create(width, height, ILC_COLOR24 | ILC_MASK, 12, 4)) {}

TImageList::~TImageList() {
    if (handle_) ImageList_Destroy(handle_);
}

int TImageList::AddResourceStrip(const std::wstring& resourceName) {
    HBITMAP strip = static_cast<HBITMAP>(
        LoadImageW(GetModuleHandleW(nullptr), resourceName.c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!strip) return 0;
    // The transparent colour: the strip's bottom-left pixel.
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, strip);
    BITMAP info{};
    GetObjectW(strip, sizeof(info), &info);
    const COLORREF transparent = GetPixel(dc, 0, info.bmHeight - 1);
    SelectObject(dc, old);
    DeleteDC(dc);
    const int before = Count();
    ImageList_AddMasked(handle_, strip, transparent);
    DeleteObject(strip);
    return Count() - before;
}

int TImageList::Count() const { return ImageList_GetImageCount(handle_); }

}  // namespace tk
