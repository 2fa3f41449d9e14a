#include "skin/controls/ToolButtonFace.h"

namespace skin {

ToolFaceLayout LayoutToolFace(const ToolFaceInput& in) {
    const tk::TRect& r = in.bounds;
    // Halvings truncate toward zero: a caption wider than the button starts left of it.
    const int w = r.Right - r.Left - (in.dropDown ? kDropDownStripWidth : 0);
    ToolFaceLayout out;
    if (in.hasImages) {
        out.drawImage = true;
        out.image = in.list ? POINT{r.Left + 5, r.Top + 3} : POINT{r.Left + (w - in.imageWidth) / 2, r.Top + 3};
        if (in.showCaptions) {
            out.drawCaption = true;
            out.caption = in.list ? tk::TRect{r.Left + in.imageWidth + 7, r.Top + 4 + (in.imageHeight - 16) / 2,
                                              r.Right, r.Bottom}
                                  : tk::TRect{r.Left + (w - in.captionWidth) / 2, r.Top + in.imageHeight + 4, r.Right,
                                              r.Bottom};
        }
    } else if (in.showCaptions) {
        out.drawCaption = true;
        out.caption = in.list ? tk::TRect{r.Left + 8, r.Top + 3, r.Right, r.Bottom}
                              : tk::TRect{r.Left + (w - in.captionWidth) / 2, r.Top + (in.pressed ? 5 : 4), r.Right,
                                          r.Bottom};
    }
    return out;
}

std::wstring StripAmpersands(const std::wstring& caption) {
    std::wstring out;
    out.reserve(caption.size());
    for (wchar_t c : caption)
        if (c != L'&') out.push_back(c);
    return out;
}

}  // namespace skin
