#include "skin/controls/MenuBarPainter.h"

#include <windows.h>

#include <algorithm>

#include "skin/theme/MenuDraw.h"
#include "skin/theme/SkinDraw.h"
#include "skin/theme/StyleItems.h"
#include "toolkit/win/BitmapResource.h"
#include "toolkit/win/Scoped.h"

namespace skin {

namespace {

constexpr tk::TColor kDisabledCaptionColor = 0x808080;
constexpr UINT kCaptionFlags = DT_SINGLELINE | DT_CENTER | DT_VCENTER;
// The caption of a hot or selected button sits this much lower than the button's top.
constexpr int kCaptionDrop = 2;

bool LoadResourceBitmap(tk::TBitmap& bitmap, const wchar_t* name) {
    try {
        tk::LoadBitmapResource(bitmap, name);
        return !bitmap.Empty();
    } catch (...) {
        return false;
    }
}

}  // namespace

tk::TFont MenuBarFont(const TsuiMenuLook* menuLook) {
    tk::TFont font;
    AssignMenuFont(font);
    if (menuLook && !menuLook->UseSystemFont) {
        font.Name = menuLook->FontName;
        const tk::ScopedGetDC screen(nullptr);
        font.Height = -MulDiv(menuLook->FontSize, GetDeviceCaps(screen, LOGPIXELSY), 72);
        font.Charset = menuLook->FontCharset;
        font.Color = menuLook->FontColor;
    }
    return font;
}

void PaintMenuBarBackground(tk::TCanvas& canvas, const tk::TRect& rect, TsuiUIStyle style, tk::TColor fromColor,
                            tk::TColor toColor) {
    tk::TBitmap picture;
    if (style == TsuiUIStyle::MacOS && LoadResourceBitmap(picture, L"MACOS_MENU_BAR")) {
        canvas.StretchDraw(rect, picture);
    } else if (toColor != fromColor) {
        FillVerticalGradient(canvas, rect, fromColor, toColor);
    }
}

void PaintMenuBarButton(tk::TCanvas& canvas, TsuiMenuBarButton& button, const tk::TRect& rect, bool hot,
                        bool selected, const MenuBarLook& look) {
    using namespace style_item;
    button.Tag = 0;
    TsuiUIStyle e = TsuiUIStyle::DeepBlue;
    const bool skin = ResolveThemeSource(look.Theme, look.Style, e);
    auto themeColor = [&](TsuiThemeColor item, TsuiStyleItem builtIn) {
        return skin ? static_cast<tk::TColor>(look.Theme->GetThemeColor(item))
                    : static_cast<tk::TColor>(GetBuiltInColor(e, builtIn));
    };
    tk::TFont font = look.Font;
    const std::wstring caption = button.Caption();
    tk::TRect r = rect;
    if ((hot || selected) && look.Style == TsuiUIStyle::MacOS) {
        button.Tag = kMenuBarHotTag;
        tk::TBitmap face(std::max(1, r.Width()), std::max(1, r.Height()));
        tk::TCanvas faceCanvas(face.Dc());
        tk::TBitmap picture;
        if (LoadResourceBitmap(picture, L"MACOS_MENU_SELECT")) faceCanvas.StretchDraw({0, 0, r.Width(), r.Height()}, picture);
        font.Color = GetBuiltInColor(TsuiUIStyle::MacOS, kSelectedFontColor);
        faceCanvas.SetFont(font);
        faceCanvas.SetBrushStyle(tk::TBrushStyle::Clear);
        tk::TRect text{0, 0, r.Width(), r.Height() + 2};
        faceCanvas.DrawText(caption, text, kCaptionFlags);
        canvas.Draw(r.Left, r.Top, face);
        return;
    }
    if (hot || selected) {
        button.Tag = kMenuBarHotTag;
        canvas.SetBrushStyle(tk::TBrushStyle::Solid);
        canvas.SetBrushColor(themeColor(SKIN2_TOPSELECTEDMENUCOLOR, kSelectedColor));
        canvas.FillRect(r);
        canvas.SetBrushColor(themeColor(SKIN2_TOPSELECTEDMENUBORDERCOLOR, kSelectedBorderColor));
        canvas.FrameRect(r);
        font.Color = themeColor(SKIN2_TOPSELECTEDMENUFONTCOLOR, kSelectedFontColor);
    } else {
        font.Color = button.Enabled() ? themeColor(SKIN2_TOPMENUFONTCOLOR, kMenuFontColor) : kDisabledCaptionColor;
    }
    r.Top += kCaptionDrop;
    canvas.SetFont(font);
    canvas.SetBrushStyle(tk::TBrushStyle::Clear);
    canvas.DrawText(caption, r, kCaptionFlags);
}

}  // namespace skin
