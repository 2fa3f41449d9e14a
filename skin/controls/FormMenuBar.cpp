// The form frame's menu bar: attaching a main menu, building one button per top-level item,
// following the menu's changes and placing the bar below the title bar. The bar's look is in
// MenuBarPainter, the menu's keys in FrameShortcuts.
#include <windows.h>

#include "skin/controls/Form.h"
#include "skin/controls/MenuBarPainter.h"

namespace {

// Room on either side of a button's caption.
constexpr int kButtonPadding = 7;

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
        skin::PaintMenuBarButton(canvas, *button, rect, hot, selected, CurrentMenuBarLook());
    };
    menuBar_->OnCustomDraw = [this](tk::TCanvas& canvas, const tk::TRect& rect) { 
        skin::PaintMenuBarBackground(canvas, rect, CurrentMenuBarLook().Style, menuBarColor_, menuBarToColor_);
    };
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
        host_->SetMinSize(host_->MinWidth(), MinHostHeight());
    const int top = ContentTop();
    if (top != lastContentTop_) {
        lastContentTop_ = top;
        PaintFrame();
        if (OnContentTopChanged) OnContentTopChanged(this);
    }
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
    canvas.SetFont(CurrentMenuBarLook().Font);
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

skin::MenuBarLook TsuiForm::CurrentMenuBarLook() const {
    skin::MenuBarLook look;
    if (skinMenu_) {
        look.Style = skinMenu_->BarLook().UIStyle;
        look.Theme = skinMenu_->BarFileTheme();
    } else {
        look.Style = uiStyle_;
        look.Theme = fileTheme_;
    }
    look.Font = skin::MenuBarFont(skinMenu_ ? &skinMenu_->BarLook() : nullptr);
    return look;
}
