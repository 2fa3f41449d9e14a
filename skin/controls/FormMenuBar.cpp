// The form frame's menu bar: attaching a main menu, building one button per top-level item,
// following the menu's changes, painting the bar and its buttons, and the menu's shortcuts.
#include <windows.h>

#include "skin/controls/Form.h"
#include "skin/theme/MenuDraw.h"
#include "skin/theme/SkinDraw.h"
#include "skin/theme/StyleItems.h"
#include "toolkit/win/Application.h"
#include "toolkit/win/BitmapResource.h"
#include "toolkit/win/Scoped.h"

namespace {

constexpr TsuiStyleItem kTopSelectedBorderItem = 18, kTopSelectedItem = 19, kTopSelectedFontItem = 20,
                        kTopFontItem = 22;
constexpr tk::TColor kDisabledCaptionColor = 0x808080;
constexpr UINT kCaptionFlags = DT_SINGLELINE | DT_CENTER | DT_VCENTER;
// Room on either side of a button's caption.
constexpr int kButtonPadding = 7;

bool LoadResourceBitmap(tk::TBitmap& bitmap, const wchar_t* name) {
    try {
        tk::LoadBitmapResource(bitmap, name);
        return !bitmap.Empty();
    } catch (...) {
        return false;
    }
}

}  // namespace

void TsuiForm::SetMenu(tk::TMainMenu* menu) {
    if (menu_ == menu && (menu == nullptr || menuBar_)) return;
    DetachMenu();
    menu_ = menu;
    if (menu_) {
        FreeNotification(menu_);
        // The one place the frame asks what kind of menu it was given.
        skinMenu_ = dynamic_cast<TsuiMenuBarSource*>(menu_);
        if (skinMenu_) skinMenu_->SetForm(this);
        CreateMenuBar();
        RebuildMenuBar();
        if (titleBar_) titleBar_->SetBounds(0, 0, titleBar_->Width(), titleBar_->Height());
        PlaceMenuBar();
    } else {
        RemoveMenuBar();
    }
}

void TsuiForm::DetachMenu() {
    if (!menu_) return;
    if (skinMenu_ && skinMenu_->Form() == this) skinMenu_->SetForm(nullptr);
    RemoveFreeNotification(menu_);
    menu_ = nullptr;
    skinMenu_ = nullptr;
}

void TsuiForm::SetMenuBarColor(tk::TColor color) {
    menuBarColor_ = color;
    if (menuBar_) menuBar_->SetColor(color);
}

void TsuiForm::SetMenuBarToColor(tk::TColor color) {
    menuBarToColor_ = color;
    if (menuBar_) menuBar_->Invalidate();
}

void TsuiForm::SetMenuBarHeight(int height) {
    menuBarHeightSetting_ = height;
    if (!menuBar_) return;
    menuBar_->SetButtonSize(menuBar_->ButtonWidth(), height);
    if (menuBar_->HandleAllocated())
        SendMessageW(menuBar_->Handle(), TB_SETBUTTONSIZE, 0, MAKELPARAM(menuBar_->ButtonWidth(), height));
    PlaceMenuBar();
}

int TsuiForm::GetMenuBarHeight() const { return menuBar_ && menuBar_->Visible() ? menuBar_->Height() : 0; }

int TsuiForm::ContentTop() const { return (TitleBarVisible() ? titleBar_->Height() : 0) + GetMenuBarHeight(); }

void TsuiForm::CreateMenuBar() {
    if (menuBar_ || !titleBar_) return;
    menuBar_ = new TsuiMenuBar(this);
    menuBar_->SetFlat(true);
    menuBar_->SetShowCaptions(true);
    menuBar_->SetList(true);
    menuBar_->SetButtonSize(menuBar_->ButtonWidth(), menuBarHeightSetting_);
    menuBar_->SetColor(menuBarColor_);
    menuBar_->OnCustomDrawButton = [this](tk::TCanvas& canvas, TsuiMenuBarButton* button, const tk::TRect& rect,
                                          bool hot, bool selected) {
        PaintMenuBarButton(canvas, button, rect, hot, selected);
    };
    menuBar_->OnCustomDraw = [this](tk::TCanvas& canvas, const tk::TRect& rect) { PaintMenuBarBackground(canvas, rect); };
    menuBar_->SetParent(this);
    titleBar_->SetBounds(0, 0, titleBar_->Width(), titleBar_->Height());
    PlaceMenuBar();
}

void TsuiForm::RemoveMenuBar() {
    TsuiMenuBar* bar = menuBar_;
    menuBar_ = nullptr;
    delete bar;
    DetachMenu();
    PlaceMenuBar();
}

void TsuiForm::PlaceMenuBar() {
    if (menuBar_ && titleBar_) {
        const int w = HandleAllocated() ? ClientWidth() : Width();
        menuBar_->SetBounds(0, TitleBarVisible() ? titleBar_->Height() : 0, w, menuBarHeightSetting_);
    }
    if (host_ && titleBar_)
        host_->SetMinSize(host_->MinWidth(), GetMenuBarHeight() + titleBar_->Height() + bottomBorderHeight_ + 3);
    const int top = ContentTop();
    if (top != lastContentTop_) {
        lastContentTop_ = top;
        PaintFrame();
        if (OnContentTopChanged) OnContentTopChanged(this);
    }
}

tk::TFont TsuiForm::MenuBarFont() const {
    tk::TFont font;
    AssignMenuFont(font);
    if (skinMenu_ && !skinMenu_->BarLook().UseSystemFont) {
        const TsuiMenuLook& look = skinMenu_->BarLook();
        font.Name = look.FontName;
        const tk::ScopedGetDC screen(nullptr);
        font.Height = -MulDiv(look.FontSize, GetDeviceCaps(screen, LOGPIXELSY), 72);
        font.Charset = look.FontCharset;
        font.Color = look.FontColor;
    }
    return font;
}

void TsuiForm::RebuildMenuBar() {
    if (!menuBar_) return;
    if (!menu_) {
        RemoveMenuBar();
        return;
    }
    for (TsuiMenuBarButton* b : menuBar_->MenuButtons()) delete b;
    tk::TMenuItem* root = menu_->Items();
    // Each button as wide as its caption in the bar's font.
    tk::TBitmap measure(1, 1);
    tk::TCanvas canvas(measure.Dc());
    canvas.SetFont(MenuBarFont());
    for (int i = 0; root && i < root->Count(); ++i) {
        tk::TMenuItem* item = root->Items(i);
        if (item->Parent() != root) continue;
        auto* b = new TsuiMenuBarButton(menuBar_);
        b->SetGrouped(true);
        b->SetMenuItem(item);
        std::wstring shown = item->Caption();
        b->SetWidth(canvas.TextWidth(shown) + 2 * kButtonPadding);
        menuBar_->AddButton(b);
    }
    // The control fits its buttons to their captions as they join; they take the bar's height.
    if (menuBar_->HandleAllocated())
        SendMessageW(menuBar_->Handle(), TB_SETBUTTONSIZE, 0, MAKELPARAM(menuBar_->ButtonWidth(), menuBarHeightSetting_));
    PlaceMenuBar();
    menuBar_->Invalidate();
}

void TsuiForm::SyncMenuBarButtons() {
    if (!menuBar_) return;
    for (TsuiMenuBarButton* b : menuBar_->MenuButtons()) {
        if (tk::TMenuItem* item = b->MenuItem()) {
            b->SetCaption(item->Caption());
            b->SetEnabled(item->Enabled());
        }
    }
    menuBar_->Invalidate();
}

void TsuiForm::ApplyMenuBarFont() {
    if (!menuBar_ || !menu_) return;
    // The widths follow the font; the buttons are made again.
    RebuildMenuBar();
}

LRESULT TsuiForm::MenuShortCutCheck(WPARAM key) {
    if (!menu_ || !host_ || !IsFormActive(host_) || !host_->HandleAllocated()) return 0;
    if (GetActiveWindow() != host_->Handle()) return 0;
    tk::TShortCut shortCut = static_cast<tk::TShortCut>(key & 0xFF);
    if (GetKeyState(VK_SHIFT) < 0) shortCut |= tk::scShift;
    if (GetKeyState(VK_CONTROL) < 0) shortCut |= tk::scCtrl;
    if (GetKeyState(VK_MENU) < 0) shortCut |= tk::scAlt;
    return menu_->DispatchShortCut(shortCut) ? 1 : 0;
}

void TsuiForm::MenuBarLook(TsuiUIStyle& style, TsuiFileTheme*& theme) const {
    if (skinMenu_) {
        style = skinMenu_->BarLook().UIStyle;
        theme = skinMenu_->BarFileTheme();
    } else {
        style = uiStyle_;
        theme = fileTheme_;
    }
}

void TsuiForm::PaintMenuBarBackground(tk::TCanvas& canvas, const tk::TRect& rect) {
    TsuiUIStyle style;
    TsuiFileTheme* theme;
    MenuBarLook(style, theme);
    tk::TBitmap picture;
    if (style == TsuiUIStyle::MacOS && LoadResourceBitmap(picture, L"MACOS_MENU_BAR")) {
        canvas.StretchDraw(rect, picture);
    } else if (menuBarToColor_ != menuBarColor_) {
        FillVerticalGradient(canvas, rect, menuBarColor_, menuBarToColor_);
    }
}

void TsuiForm::PaintMenuBarButton(tk::TCanvas& canvas, TsuiMenuBarButton* button, const tk::TRect& rect, bool hot,
                                  bool selected) {
    button->Tag = 0;
    TsuiUIStyle style;
    TsuiFileTheme* theme;
    MenuBarLook(style, theme);
    TsuiUIStyle e = TsuiUIStyle::DeepBlue;
    const bool skin = ResolveThemeSource(theme, style, e);
    auto themeColor = [&](TsuiThemeColor item, TsuiStyleItem builtIn) {
        return skin ? static_cast<tk::TColor>(theme->GetThemeColor(item)) : static_cast<tk::TColor>(GetBuiltInColor(e, builtIn));
    };
    tk::TFont font = MenuBarFont();
    const std::wstring caption = button->Caption();
    tk::TRect r = rect;
    if ((hot || selected) && style == TsuiUIStyle::MacOS) {
        button->Tag = kMenuBarHotTag;
        tk::TBitmap face(std::max(1, r.Width()), std::max(1, r.Height()));
        tk::TCanvas faceCanvas(face.Dc());
        tk::TBitmap picture;
        if (LoadResourceBitmap(picture, L"MACOS_MENU_SELECT")) faceCanvas.StretchDraw({0, 0, r.Width(), r.Height()}, picture);
        font.Color = GetBuiltInColor(TsuiUIStyle::MacOS, kTopSelectedFontItem);
        faceCanvas.SetFont(font);
        faceCanvas.SetBrushStyle(tk::TBrushStyle::Clear);
        tk::TRect text{0, 0, r.Width(), r.Height() + 2};
        faceCanvas.DrawText(caption, text, kCaptionFlags);
        canvas.Draw(r.Left, r.Top, face);
        return;
    }
    if (hot || selected) {
        button->Tag = kMenuBarHotTag;
        canvas.SetBrushStyle(tk::TBrushStyle::Solid);
        canvas.SetBrushColor(themeColor(SKIN2_TOPSELECTEDMENUCOLOR, kTopSelectedItem));
        canvas.FillRect(r);
        canvas.SetBrushColor(themeColor(SKIN2_TOPSELECTEDMENUBORDERCOLOR, kTopSelectedBorderItem));
        canvas.FrameRect(r);
        font.Color = themeColor(SKIN2_TOPSELECTEDMENUFONTCOLOR, kTopSelectedFontItem);
    } else {
        font.Color = button->Enabled() ? themeColor(SKIN2_TOPMENUFONTCOLOR, kTopFontItem) : kDisabledCaptionColor;
    }
    r.Top += 2;
    canvas.SetFont(font);
    canvas.SetBrushStyle(tk::TBrushStyle::Clear);
    canvas.DrawText(caption, r, kCaptionFlags);
}
