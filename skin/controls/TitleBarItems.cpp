#include "skin/controls/TitleBarItems.h"

#include <windows.h>

#include "skin/controls/FrameGeometry.h"
#include "skin/controls/TitleBar.h"
#include "skin/theme/BuiltInBitmaps.h"
#include "skin/theme/SkinDraw.h"
#include "skin/theme/StyleItems.h"
#include "toolkit/win/Application.h"

namespace {

using style_item::kTitleButtonStrip;
using style_item::kTitleButtonTransparent;
using style_item::kTitleButtonTop;
constexpr int kStripPictures = 18;

bool IsMaximized(tk::TForm* form) { return form && form->HandleAllocated() && IsZoomed(form->Handle()); }

}  // namespace

void ShowSetupError(const wchar_t* text) {
    MessageBoxW(GetActiveWindow(), text, tk::Application().Title().c_str(), MB_OK | MB_ICONERROR);
}

// ---- TsuiTitleBarButton ----

TsuiTitleBarButton::TsuiTitleBarButton(TsuiTitleBarButtons* collection) : collection_(collection) {}

TsuiTitleBarButton::~TsuiTitleBarButton() = default;

void TsuiTitleBarButton::Assign(const TsuiTitleBarButton& other) {
    SetVisible(other.visible_);
    SetButtonType(other.type_);
    SetTransparent(other.transparent_);
    SetTop(other.top_);
    SetUIStyle(other.uiStyle_);
    picNormal_.Assign(other.picNormal_);
    picMouseOn_.Assign(other.picMouseOn_);
    picMouseDown_.Assign(other.picMouseDown_);
    SetControlBoxMenu(other.controlBoxMenu_);
}

int TsuiTitleBarButton::Index() const { return collection_ ? collection_->IndexOf(this) : -1; }

TsuiTitleBar* TsuiTitleBarButton::TitleBar() const { return collection_ ? collection_->Owner() : nullptr; }

void TsuiTitleBarButton::Changed() {
    if (collection_) collection_->Update();
}

void TsuiTitleBarButton::SetUIStyle(TsuiUIStyle style) {
    uiStyle_ = style;
    ReloadButtonPictures();
}

void TsuiTitleBarButton::SetButtonType(TsuiTitleBarBtnType type) {
    if (type == TsuiTitleBarBtnType::suiControlBox && collection_) {
        for (int i = 0; i < collection_->Count(); ++i) {
            const TsuiTitleBarButton* other = collection_->Items(i);
            if (other != this && other->type_ == TsuiTitleBarBtnType::suiControlBox) {
                ShowSetupError(kOneControlBoxMessage);
                return;
            }
        }
    }
    type_ = type;
    ReloadButtonPictures();
    Changed();
}

void TsuiTitleBarButton::SetTransparent(bool value) {
    transparent_ = value;
    Changed();
}

void TsuiTitleBarButton::SetTop(int value) {
    top_ = value;
    Changed();
}

void TsuiTitleBarButton::SetVisible(bool value) {
    visible_ = value;
    Changed();
}

void TsuiTitleBarButton::SetControlBoxMenu(tk::TComponent* menu) {
    controlBoxMenu_ = menu;
    if (menu && TitleBar()) TitleBar()->FreeNotification(menu);
    Changed();
}

void TsuiTitleBarButton::SetPicNormal(const tk::TBitmap& picture) {
    picNormal_.Assign(picture);
    Changed();
}

void TsuiTitleBarButton::SetPicMouseOn(const tk::TBitmap& picture) {
    picMouseOn_.Assign(picture);
    Changed();
}

void TsuiTitleBarButton::SetPicMouseDown(const tk::TBitmap& picture) {
    picMouseDown_.Assign(picture);
    Changed();
}

void TsuiTitleBarButton::LoadStripPictures(int first) {
    TsuiTitleBar* bar = TitleBar();
    TsuiUIStyle style = TsuiUIStyle::DeepBlue;
    tk::TBitmap* pictures[3] = {&picNormal_, &picMouseOn_, &picMouseDown_};
    if (ResolveThemeSource(bar ? bar->FileTheme() : nullptr, uiStyle_, style)) {
        TsuiFileTheme* theme = bar->FileTheme();
        for (int i = 0; i < 3; ++i) theme->CopyThemeBitmap(SKIN2_TITLEBUTTONS, pictures[i], first + i, kStripPictures);
    } else {
        tk::TBitmap strip;
        LoadBuiltInBitmap(style, kTitleButtonStrip, &strip);
        for (int i = 0; i < 3; ++i) ExtractSubImage(strip, *pictures[i], kStripPictures, first + i);
    }
}

void TsuiTitleBarButton::ReloadButtonPictures() {
    TsuiTitleBar* bar = TitleBar();
    TsuiUIStyle style = TsuiUIStyle::DeepBlue;
    const bool skin = ResolveThemeSource(bar ? bar->FileTheme() : nullptr, uiStyle_, style);
    transparent_ = skin ? bar->FileTheme()->GetThemeBool(SKIN2_TITLEBTNTRANS)
                        : GetBuiltInBool(style, kTitleButtonTransparent);
    if (type_ == TsuiTitleBarBtnType::suiCustom) return;
    LoadStripPictures(skin::TitleButtonFirstPicture(type_, false));
    top_ = skin ? bar->FileTheme()->GetThemeInt(SKIN2_TITLEBARBUTTONPOSY) : GetBuiltInInt(style, kTitleButtonTop);
    if (type_ == TsuiTitleBarBtnType::suiMax) RefreshMaximizePictures();
}

void TsuiTitleBarButton::RefreshMaximizePictures() {
    TsuiTitleBar* bar = TitleBar();
    if (type_ != TsuiTitleBarBtnType::suiMax || !bar || bar->Custom()) return;
    LoadStripPictures(skin::TitleButtonFirstPicture(type_, IsMaximized(bar->ParentFormOf())));
}

void TsuiTitleBarButton::ClickButton() {
    TsuiTitleBar* bar = TitleBar();
    if (!bar) return;
    if (bar->Designing() && type_ != TsuiTitleBarBtnType::suiClose) return;
    tk::TForm* form = bar->ParentFormOf();
    if (!form) return;
    switch (type_) {
    case TsuiTitleBarBtnType::suiMax:
        if (IsMaximized(form)) {
            ShowWindow(form->Handle(), SW_RESTORE);
        } else {
            ShowWindow(form->Handle(), SW_MAXIMIZE);
            if (!bar->OnFrame()) {
                const tk::TRect work = GetWorkArea();
                const skin::Box b = skin::MaximizedBounds({work.Left, work.Top, work.Right, work.Bottom});
                SetWindowPos(form->Handle(), nullptr, b.Left, b.Top, b.Width(), b.Height(),
                             SWP_NOZORDER | SWP_NOACTIVATE);
            }
        }
        RefreshMaximizePictures();
        bar->Invalidate();
        break;
    case TsuiTitleBarBtnType::suiMin:
        // From the main window the whole application goes down; any other form only itself.
        bar->SystemMinimize();
        break;
    case TsuiTitleBarBtnType::suiClose:
        form->Close();
        break;
    case TsuiTitleBarBtnType::suiControlBox:
        if (controlBoxMenu_) bar->PopupControlBoxMenu(controlBoxMenu_);
        break;
    case TsuiTitleBarBtnType::suiHelp:
    case TsuiTitleBarBtnType::suiCustom:
        break;
    }
}

// ---- TsuiTitleBarButtons ----

TsuiTitleBarButton* TsuiTitleBarButtons::Add() {
    items_.push_back(std::make_unique<TsuiTitleBarButton>(this));
    Update();
    return items_.back().get();
}

void TsuiTitleBarButtons::Delete(int index) {
    items_.erase(items_.begin() + index);
    Update();
}

void TsuiTitleBarButtons::Clear() {
    items_.clear();
    Update();
}

int TsuiTitleBarButtons::IndexOf(const TsuiTitleBarButton* item) const {
    for (std::size_t i = 0; i < items_.size(); ++i)
        if (items_[i].get() == item) return static_cast<int>(i);
    return -1;
}

void TsuiTitleBarButtons::Assign(const TsuiTitleBarButtons& other) {
    if (&other == this) return;
    items_.clear();
    for (const auto& item : other.items_) {
        items_.push_back(std::make_unique<TsuiTitleBarButton>(this));
        items_.back()->Assign(*item);
    }
    Update();
}

void TsuiTitleBarButtons::Update() {
    if (owner_) owner_->Invalidate();
}

// ---- TsuiTitleBarSection ----

void TsuiTitleBarSection::Assign(const TsuiTitleBarSection& other) {
    SetWidth(other.width_);
    SetAlign(other.align_);
    SetPicture(other.picture_);
    SetStretch(other.stretch_);
    SetAutoSize(other.autoSize_);
    SetCapSec(other.capSec_);
}

int TsuiTitleBarSection::Index() const { return collection_ ? collection_->IndexOf(this) : -1; }

void TsuiTitleBarSection::Changed() {
    if (collection_) collection_->Update();
}

void TsuiTitleBarSection::SetAutoSize(bool value) {
    autoSize_ = value;
    if (!picture_.Empty()) width_ = picture_.Width();
    Changed();
}

void TsuiTitleBarSection::SetWidth(int value) {
    width_ = value;
    Changed();
}

void TsuiTitleBarSection::SetAlign(TsuiTitleBarAlign align) {
    if (align == TsuiTitleBarAlign::suiClient && collection_) {
        for (int i = 0; i < collection_->Count(); ++i) {
            const TsuiTitleBarSection* other = collection_->Items(i);
            if (other != this && other->align_ == TsuiTitleBarAlign::suiClient) {
                ShowSetupError(kOneClientSectionMessage);
                return;
            }
        }
    }
    if (align == TsuiTitleBarAlign::suiClient) stretch_ = true;
    align_ = align;
    Changed();
}

void TsuiTitleBarSection::SetPicture(const tk::TBitmap& picture) {
    picture_.Assign(picture);
    if (!picture_.Empty() && autoSize_) width_ = picture_.Width();
    Changed();
}

void TsuiTitleBarSection::SetStretch(bool value) {
    stretch_ = align_ == TsuiTitleBarAlign::suiClient ? true : value;
    Changed();
}

void TsuiTitleBarSection::SetCapSec(bool value) {
    capSec_ = value;
    Changed();
}

// ---- TsuiTitleBarSections ----

TsuiTitleBarSection* TsuiTitleBarSections::Add() {
    items_.push_back(std::make_unique<TsuiTitleBarSection>(this));
    Update();
    return items_.back().get();
}

void TsuiTitleBarSections::Clear() {
    items_.clear();
    Update();
}

int TsuiTitleBarSections::IndexOf(const TsuiTitleBarSection* item) const {
    for (std::size_t i = 0; i < items_.size(); ++i)
        if (items_[i].get() == item) return static_cast<int>(i);
    return -1;
}

void TsuiTitleBarSections::Assign(const TsuiTitleBarSections& other) {
    if (&other == this) return;
    items_.clear();
    for (const auto& item : other.items_) {
        items_.push_back(std::make_unique<TsuiTitleBarSection>(this));
        items_.back()->Assign(*item);
    }
    Update();
}

void TsuiTitleBarSections::Update() {
    if (owner_) owner_->Invalidate();
}
