// An image list of equal-sized images, filled from a bitmap strip resource.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "toolkit/Component.h"
#include "toolkit/win/Scoped.h"

namespace tk {

class TImageList : public TComponent {
public:
    TImageList(TComponent* owner, int width, int height);
    ~TImageList() override;
    std::string_view ClassName() const override { return "TImageList"; }

    // Appends the images of a bitmap resource cut into width-wide pieces; the colour of the
    // bottom-left pixel is transparent. Returns the number of images added.
    int AddResourceStrip(const std::wstring& resourceName);
    // The same with the given transparent colour (a COLORREF).
    int AddResourceStrip(const std::wstring& resourceName, COLORREF transparent);
    // Draws an image at (x, y); not enabled: greyed, as disabled controls show it. An index
    // outside the list draws nothing.
    void Draw(HDC dc, int x, int y, int index, bool enabled = true) const;
    int Count() const;
    int Width() const { return width_; }
    int Height() const { return height_; }
    HIMAGELIST Handle() const { return handle_.get(); }

private:
    int width_, height_;
    ScopedImageList handle_;
};

}  // namespace tk
