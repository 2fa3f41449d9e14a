#include "skin/controls/MenuLook.h"

#include <memory>

#include "skin/theme/MenuDraw.h"
#include "skin/theme/SkinDraw.h"
#include "skin/theme/StyleItems.h"

namespace {

using namespace style_item;
constexpr tk::TColor kDisabledText = 0x808080;
constexpr COLORREF kCheckMarkTransparent = RGB(255, 255, 255);

}  // namespace

tk::TImageList* SharedMenuCheckImages() {
    static std::unique_ptr<tk::TImageList> list = [] {
        auto l = std::make_unique<tk::TImageList>(nullptr, 16, 16);
        l->AddResourceStrip(L"MENU_CHECKED", kCheckMarkTransparent);
        return l;
    }();
    return list.get();
}

namespace {

tk::TColor ThemeColor(TsuiFileTheme* theme, TsuiThemeColor item) {
    return static_cast<tk::TColor>(theme->GetThemeColor(item));
}

void PaintSideBar(const TsuiMenuLook& look, tk::TCanvas& canvas, const tk::TRect& r, bool leftToRight) {
    if (look.BarWidth <= 0) return;
    const tk::TRect bar = leftToRight ? tk::TRect{r.Left, r.Top, r.Left + look.BarWidth, r.Bottom}
                                      : tk::TRect{r.Right - look.BarWidth, r.Top, r.Right, r.Bottom};
    if (look.BarToColor == look.BarColor) {
        FillRectColor(canvas, bar, look.BarColor);
    } else {
        FillHorizontalGradient(canvas, bar, look.BarColor, look.BarToColor);
    }
}

// The side bar and the item background beside it.
void PaintPlainBackground(const TsuiMenuLook& look, tk::TCanvas& canvas, const tk::TRect& r, bool leftToRight) {
    PaintSideBar(look, canvas, r, leftToRight);
    const int bar = look.BarWidth > 0 ? look.BarWidth : 0;
    const tk::TRect rest = leftToRight ? tk::TRect{r.Left + bar, r.Top, r.Right, r.Bottom}
                                       : tk::TRect{r.Left, r.Top, r.Right - bar, r.Bottom};
    FillRectColor(canvas, rest, look.Color);
}

}  // namespace

void ApplyMenuStyle(TsuiMenuLook& look, TsuiUIStyle style, TsuiFileTheme* theme) {
    look.UIStyle = style;
    look.BarWidth = 26;
    const bool mac = style == TsuiUIStyle::MacOS;
    look.MenuItemHeight = mac ? 20 : 21;
    look.SeparatorHeight = mac ? 12 : 5;
    look.SeparatorColor = mac ? tk::clBlack : 0x848284;
    TsuiUIStyle builtIn = style;
    if (ResolveThemeSource(theme, style, builtIn)) {
        look.BarColor = ThemeColor(theme, SKIN2_LEFTBARSTARTCOLOR);
        look.BarToColor = ThemeColor(theme, SKIN2_LEFTBARENDCOLOR);
        look.Color = ThemeColor(theme, SKIN2_MENUITEMCOLOR);
        look.FontColor = ThemeColor(theme, SKIN2_MENUITEMFONTCOLOR);
        look.SelectedBorderColor = ThemeColor(theme, SKIN2_SELECTEDMENUBORDERCOLOR);
        look.SelectedColor = ThemeColor(theme, SKIN2_SELECTEDMENUCOLOR);
        look.SelectedFontColor = ThemeColor(theme, SKIN2_SELECTEDMENUFONTCOLOR);
    } else {
        look.BarColor = look.BarToColor = GetBuiltInColor(builtIn, kMenuSideBarColor);
        look.Color = GetBuiltInColor(builtIn, kMenuItemColor);
        look.FontColor = GetBuiltInColor(builtIn, kMenuFontColor);
        look.SelectedBorderColor = GetBuiltInColor(builtIn, kSelectedBorderColor);
        look.SelectedColor = GetBuiltInColor(builtIn, kSelectedColor);
        look.SelectedFontColor = GetBuiltInColor(builtIn, kSelectedFontColor);
    }
}

void SelectMenuItemFont(const TsuiMenuLook& look, tk::TCanvas& canvas, bool isDefault) {
    tk::TFont font = canvas.Font();
    if (look.UseSystemFont) {
        AssignMenuFont(font);
    } else {
        font.Name = look.FontName;
        const int dpi = canvas.Handle() ? GetDeviceCaps(canvas.Handle(), LOGPIXELSY) : 96;
        font.Height = -MulDiv(look.FontSize, dpi, 72);
        font.Charset = look.FontCharset;
    }
    font.Bold = isDefault;
    canvas.SetFont(font);
}

void MeasureMenuItem(const TsuiMenuLook& look, tk::TCanvas& canvas, const TsuiMenuItemView& item, int& width,
                     int& height) {
    // Measured in the font the item is drawn with.
    SelectMenuItemFont(look, canvas, item.Default);
    if (item.IsLine) {
        height = look.SeparatorHeight;
    } else {
        const int textHeight = canvas.TextHeight(item.Caption);
        height = textHeight > look.MenuItemHeight ? textHeight : look.MenuItemHeight;
    }
    width = canvas.TextWidth(item.Caption) + canvas.TextWidth(item.ShortCutText) + look.BarWidth + 40;
}

void DrawMenuItem(const TsuiMenuLook& look, tk::TCanvas& canvas, const tk::TRect& r, bool selected,
                  const TsuiMenuItemView& item, const TsuiMenuImages& images, bool leftToRight,
                  TsuiFileTheme* theme) {
    const bool mac = look.UIStyle == TsuiUIStyle::MacOS;
    if (look.FlatMenu) {
        if (HWND window = WindowFromDC(canvas.Handle())) {
            TsuiUIStyle builtIn = look.UIStyle;
            const tk::TColor edge = ResolveThemeSource(theme, look.UIStyle, builtIn)
                                        ? ThemeColor(theme, SKIN2_FORMCOLOR)
                                        : GetBuiltInColor(builtIn, kFaceColor);
            DrawPopupWindowFrame(window, tk::clBlack, edge);
        }
    }
    canvas.SetBrushStyle(tk::TBrushStyle::Solid);
    if (item.IsLine) {
        if (mac) {
            DrawMacMenuBar12(canvas, r);
        } else {
            PaintPlainBackground(look, canvas, r, leftToRight);
            DrawMenuSeparator(canvas, r, look.SeparatorColor, leftToRight, look.BarWidth);
        }
        return;
    }

    // A disabled item never shows the selection.
    if (selected && item.Enabled) {
        if (mac) {
            DrawMacMenuSelect(canvas, r);
        } else {
            FillRectColor(canvas, r, look.SelectedColor);
            FrameRectColor(canvas, r, look.SelectedBorderColor);
        }
    } else if (mac) {
        DrawMacMenuBar20(canvas, r);
    } else {
        PaintPlainBackground(look, canvas, r, leftToRight);
    }

    SelectMenuItemFont(look, canvas, item.Default);
    canvas.SetBrushStyle(tk::TBrushStyle::Clear);
    canvas.SetFontColor(!item.Enabled ? kDisabledText : selected ? look.SelectedFontColor : look.FontColor);
    if (leftToRight) {
        tk::TRect caption{r.Left + look.BarWidth + 4, r.Top, r.Right, r.Bottom};
        canvas.DrawText(item.Caption, caption, DT_SINGLELINE | DT_VCENTER);
        if (!item.ShortCutText.empty()) {
            tk::TRect shortCut{r.Right - canvas.TextWidth(item.ShortCutText) - 16, r.Top, r.Right, r.Bottom};
            canvas.DrawText(item.ShortCutText, shortCut, DT_SINGLELINE | DT_VCENTER);
        }
    } else {
        // Right to left: the caption right-aligned clear of the side bar and image column on the
        // right, the shortcut at the left.
        tk::TRect caption{r.Left, r.Top, r.Right - look.BarWidth - 4, r.Bottom};
        canvas.DrawText(item.Caption, caption, DT_SINGLELINE | DT_VCENTER | DT_RIGHT);
        if (!item.ShortCutText.empty()) {
            tk::TRect shortCut{r.Left + 16, r.Top, r.Right, r.Bottom};
            canvas.DrawText(item.ShortCutText, shortCut, DT_SINGLELINE | DT_VCENTER);
        }
    }

    const int x = leftToRight ? r.Left + 4 : r.Right - 20;
    const bool hasImage = item.ImageIndex != -1 && images.Images && item.ImageIndex < images.Images->Count();
    canvas.SetBrushStyle(tk::TBrushStyle::Solid);
    if (item.Checked) {
        if (hasImage) {
            // A sunken box behind the image.
            FrameRectColor(canvas, {x - 2, r.Top + 1, x + 17, r.Top + 20}, tk::clBlack);
            FillRectColor(canvas, {x - 1, r.Top + 2, x + 16, r.Top + 19}, look.SelectedColor);
        } else if (images.CheckMark) {
            images.CheckMark->Draw(canvas.Handle(), x, r.Top + 3, 0, item.Enabled);
        }
    }
    if (hasImage) images.Images->Draw(canvas.Handle(), x, r.Top + 3, item.ImageIndex, item.Enabled);
}
