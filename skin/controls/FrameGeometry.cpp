#include "skin/controls/FrameGeometry.h"

#include <algorithm>

#include "skin/theme/ThemeItems.h"

namespace skin {

namespace {

// A number that came from a skin (an offset, a top, an outline row), held to the range the theme
// hands out, so that the sums below stay far from overflowing whoever the caller is.
int SkinValue(int value) { return ClampThemeInt(value); }

}  // namespace

bool BoxContains(const Box& box, int x, int y) {
    return x >= box.Left && x <= box.Right && y >= box.Top && y <= box.Bottom;
}

int TitleButtonFirstPicture(TsuiTitleBarBtnType type, bool maximized) {
    switch (type) {
    case TsuiTitleBarBtnType::suiControlBox: return 1;
    case TsuiTitleBarBtnType::suiHelp: return 4;
    case TsuiTitleBarBtnType::suiMax: return maximized ? 10 : 7;
    case TsuiTitleBarBtnType::suiMin: return 13;
    case TsuiTitleBarBtnType::suiClose: return 16;
    case TsuiTitleBarBtnType::suiCustom: return 0;
    }
    return 0;
}

TitleButtonLayout LayoutTitleButtons(const std::vector<TitleButtonInput>& buttons, int imageWidth, int rightOffset,
                                     int inset, int buttonTop, int interval) {
    TitleButtonLayout layout;
    layout.Rects.resize(buttons.size());
    rightOffset = SkinValue(rightOffset);
    buttonTop = SkinValue(buttonTop);
    int x = imageWidth - rightOffset + inset;
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        const TitleButtonInput& b = buttons[i];
        if (!b.Visible || !b.HasAllPictures) continue;
        if (b.Type == TsuiTitleBarBtnType::suiControlBox) {
            if (layout.ControlBox < 0) layout.ControlBox = static_cast<int>(i);
            continue;
        }
        x -= b.Type == TsuiTitleBarBtnType::suiClose ? b.Width : b.Width + 1 + interval;
        if (imageWidth < x + b.Width + 1) x = imageWidth - b.Width - 1;
        layout.Rects[i] = Box{x, buttonTop, x + b.Width, buttonTop + b.Height};
    }
    layout.X = x;
    return layout;
}

TitleIconLayout LayoutTitleIcon(int leftOffset, int inset, bool hasControlBox, bool drawAppIcon, int iconTop,
                                int controlBoxWidth, int controlBoxHeight) {
    TitleIconLayout out;
    leftOffset = SkinValue(leftOffset);
    iconTop = SkinValue(iconTop);
    int x = std::max(0, leftOffset - 4 - inset);
    out.IconX = x;
    if (hasControlBox) {
        out.ControlBox = Box{x, iconTop, x + controlBoxWidth, iconTop + controlBoxHeight};
        x += drawAppIcon ? 21 : controlBoxWidth + 5;
    }
    out.CaptionX = x == 0 ? 6 : x;
    return out;
}

int TitleButtonAt(const TitleButtonLayout& layout, const std::optional<Box>& controlBox, int x, int y) {
    int hot = kNoTitleButton;
    // Later buttons are drawn over earlier ones; the last one under the point wins, as in painting.
    for (std::size_t i = 0; i < layout.Rects.size(); ++i)
        if (layout.Rects[i] && BoxContains(*layout.Rects[i], x, y)) hot = static_cast<int>(i);
    if (layout.ControlBox >= 0 && controlBox && BoxContains(*controlBox, x, y)) hot = layout.ControlBox;
    return hot;
}

std::wstring ShortenCaption(const std::wstring& text, int maxWidth,
                            const std::function<int(const std::wstring&)>& textWidth) {
    if (textWidth(text) <= maxWidth) return text;
    std::wstring prefix = text;
    while (!prefix.empty()) {
        prefix.pop_back();
        if (textWidth(prefix + L"...") <= maxWidth) break;
    }
    return prefix + L"...";
}

SystemMenuStates SystemMenuEnabled(const std::vector<TitleButtonInput>& buttons) {
    SystemMenuStates states;
    for (const TitleButtonInput& b : buttons) {
        if (!b.Visible) continue;
        if (b.Type == TsuiTitleBarBtnType::suiMin) states.Minimize = true;
        if (b.Type == TsuiTitleBarBtnType::suiMax) states.MaximizeRestore = true;
        if (b.Type == TsuiTitleBarBtnType::suiClose) states.Close = true;
    }
    return states;
}

int CaptionTextX(bool rightToLeft, int captionX, int buttonsLeft, int textWidth) {
    return rightToLeft ? buttonsLeft - textWidth - 10 : captionX;
}

int TitleMenuX(bool rightToLeft, int x) { return rightToLeft ? x + 176 : x; }

TitleBarPress ClassifyTitleBarPress(int hotButton, bool maximized, bool designing) {
    if (designing || (hotButton < 0 && !maximized)) return TitleBarPress::Drag;
    return hotButton >= 0 ? TitleBarPress::Button : TitleBarPress::Nothing;
}

int TitleImageOffset(bool onFrame, int frameInset) {
    if (!onFrame) return 0;
    return frameInset == 0 ? 3 : frameInset;
}

int CaptionFitWidth(int barWidth, int leftOffset, int buttonsWidth, int nextWidth) {
    return barWidth - SkinValue(leftOffset) - 21 - buttonsWidth - nextWidth;
}

int CaptionSectionWidth(int fittedTextWidth, int leftOffset, int lastLeftWidth) {
    return fittedTextWidth + SkinValue(leftOffset) + 17 - lastLeftWidth;
}

int SkinTitleMinWidth(bool fiveSections, int title1Width, int title3Width, int title5Width, int buttonStripWidth,
                      int buttonCount, int buttonPosX) {
    const int n = (buttonStripWidth / 18) * buttonCount + SkinValue(buttonPosX);
    if (fiveSections) return title1Width + title3Width + 16 + std::max(title5Width, n);
    return title1Width + std::max(title3Width, n);
}

int SanitizeFrameThickness(int value) { return value < 0 || value > 16 ? 4 : value; }

int FrameInset(int leftBorderWidth, int hostBottomFrame) {
    return leftBorderWidth != 0 ? std::max(leftBorderWidth, 4) : hostBottomFrame - 1;
}

int TitleBandHeight(int titleBarHeight, bool titleBarVisible) { return titleBarVisible ? titleBarHeight + 3 : 0; }

Box NcCalcRect(const NcCalcInput& in) {
    const int l = std::max(4, in.HostLeftFrame), b = std::max(4, in.HostBottomFrame);
    Box r;
    r.Top = in.Y + 4 - b;
    if (in.LeftBorder != 0) {
        r.Left = in.X + std::max(in.LeftBorder, 4) - l + 1;
        r.Right = in.X + in.Cx - std::max(in.RightBorder, 4) + l - 1;
    } else {
        r.Left = in.X + 4 - l;
        r.Right = in.X + in.Cx - 4 + l;
    }
    if (in.BottomBorder != 0) {
        r.Bottom = in.Y + in.Cy - std::max(in.BottomBorder, 4) + b - 1;
    } else if (in.BorderWidth == 3) {
        r.Bottom = in.Y + in.Cy - 4 + b;
    } else {
        r.Bottom = in.Y + in.Cy - in.BorderWidth + 2 - 4 + b;
    }
    return r;
}

Box MaximizedBounds(const Box& workArea) {
    return {workArea.Left - 2, workArea.Top - 2, workArea.Right + 2, workArea.Bottom - 1};
}

std::vector<Band> BuiltInBorderBands(int width, int height, int borderWidth, int titleBand, int menuBarHeight,
                                     bool titleBarVisible) {
    std::vector<Band> bands;
    auto add = [&](Box r, BandColor c) {
        if (r.Right > r.Left && r.Bottom > r.Top) bands.push_back({r, c});
    };
    const int w = width, h = height, bw = borderWidth;
    if (!titleBarVisible) {
        add({0, 0, w, 1}, BandColor::Border);
        add({bw, 1, w - bw, 3}, BandColor::Client);
    }
    add({0, 0, bw, h}, BandColor::Border);
    add({0, h - bw, w, h}, BandColor::Border);
    add({w - bw, 0, w, h}, BandColor::Border);
    if (bw < 4) {
        add({bw, h - 2, w - bw, h - bw}, BandColor::Client);
        const int t2 = titleBand + menuBarHeight;
        add({bw, t2, 3, h - bw}, BandColor::Client);
        add({w - 3, t2, w - bw, h - bw}, BandColor::Client);
    }
    return bands;
}

bool WantsCornerArcs(int borderWidth, int roundCorner, bool designing) {
    return borderWidth == 1 && roundCorner == 11 && !designing;
}

std::vector<Box> PictureRegionRows(int pictureWidth, int pictureHeight, int windowWidth, int offsetY, int minY,
                                   int maxY, std::uint32_t transparentColor,
                                   const std::function<std::uint32_t(int, int)>& pixel) {
    std::vector<Box> rows;
    if (pictureHeight <= 0) return rows;
    // Limits outside the picture are held to it: no pixel outside the picture is ever read. The row
    // after the maximum is counted wide, as the maximum may be the largest integer there is.
    const int first = std::clamp(minY == kRegionFromTop ? 0 : minY, 0, pictureHeight);
    const int last = minY < maxY ? static_cast<int>(std::clamp(std::int64_t{maxY} + 1, std::int64_t{first},
                                                                std::int64_t{pictureHeight}))
                                 : pictureHeight;
    if (first > 0) rows.push_back({0, offsetY, windowWidth, offsetY + first});
    const int scanWidth = std::min(pictureWidth, windowWidth);
    for (int y = first; y < last; ++y) {
        int x = 0;
        while (x < scanWidth) {
            while (x < scanWidth && pixel(x, y) == transparentColor) ++x;
            if (x >= scanWidth) break;
            const int start = x;
            while (x < scanWidth && pixel(x, y) != transparentColor) ++x;
            rows.push_back({start, offsetY + y, x, offsetY + y + 1});
        }
    }
    if (pictureHeight > last) rows.push_back({0, offsetY + last, windowWidth, offsetY + pictureHeight});
    return rows;
}

}  // namespace skin
