// The title bar itself: construction, its properties, style application and notifications. Its
// painting is in TitleBarPaint, its mouse handling in TitleBarMouse, its system menu in
// TitleBarMenu.
#include "skin/controls/TitleBar.h"

#include <windows.h>

#include <algorithm>

#include "skin/theme/BuiltInBitmaps.h"
#include "skin/theme/SkinDraw.h"
#include "skin/theme/StyleItems.h"
#include "skin/theme/StylePropagation.h"
#include "toolkit/win/Application.h"
#include "toolkit/win/StdCtrls.h"

namespace {

// The form's minimum height under a built-in style.
constexpr int kBuiltInMinHeight = 50;

}  // namespace

TsuiTitleBar::TsuiTitleBar(tk::TComponent* owner)
    : tk::TCustomPanel(owner),
      sections_(std::make_unique<TsuiTitleBarSections>(this)),
      buttons_(std::make_unique<TsuiTitleBarButtons>(this)) {
    SetBevelOuter(tk::TPanelBevel::None);
    rawTitleImage_.SetPixelFormat(tk::TPixelFormat::pf24bit);
    composedTitleImage_.SetPixelFormat(tk::TPixelFormat::pf24bit);
    const TsuiTitleBarBtnType kinds[] = {TsuiTitleBarBtnType::suiControlBox, TsuiTitleBarBtnType::suiClose,
                                         TsuiTitleBarBtnType::suiMax, TsuiTitleBarBtnType::suiMin};
    for (TsuiTitleBarBtnType kind : kinds) buttons_->Add()->SetButtonType(kind);
    titleFont_.Name = L"Tahoma";
    titleFont_.Height = -11;
    titleFont_.Bold = true;
    titleFont_.Color = tk::clWhite;
    systemMenu_ = new TsuiTitleBarPopupMenu(this);
    SetUIStyle(FindFormUIStyle(owner));
}

TsuiTitleBar::~TsuiTitleBar() = default;

TsuiTitleBarFrameHost* TsuiTitleBar::FrameHost() const { return dynamic_cast<TsuiTitleBarFrameHost*>(Parent()); }

tk::TForm* TsuiTitleBar::ParentFormOf() const { return tk::ParentForm(const_cast<TsuiTitleBar*>(this)); }

bool TsuiTitleBar::RightToLeft() const {
    // The bar reads right to left when its form does and the system is a Middle-East one.
    tk::TForm* form = ParentFormOf();
    if (!form || !form->HandleAllocated() || !GetSystemMetrics(SM_MIDEASTENABLED)) return false;
    return (GetWindowLongW(form->Handle(), GWL_EXSTYLE) & (WS_EX_RTLREADING | WS_EX_LAYOUTRTL)) != 0;
}

bool TsuiTitleBar::ReadySkin() const {
    TsuiUIStyle resolved;
    return ResolveThemeSource(fileTheme_, uiStyle_, resolved);
}

int TsuiTitleBar::AskFrameInset() const {
    if (TsuiTitleBarFrameHost* frame = FrameHost()) return frame->TitleBarInset();
    // Off a frame, the window may still carry one elsewhere that answers.
    tk::TForm* form = ParentFormOf();
    if (!form || !form->HandleAllocated()) return 0;
    return static_cast<int>(SendMessageW(form->Handle(), FrameInsetQuery, 0, 0));
}

tk::TBitmap* TsuiTitleBar::SectionPicture(int index) {
    if (sections_->Count() <= 2 || index < 0 || index >= sections_->Count()) return nullptr;
    return &sections_->Items(index)->Picture();
}

void TsuiTitleBar::RefreshMaximizePictures() {
    for (int i = 0; i < buttons_->Count(); ++i) buttons_->Items(i)->RefreshMaximizePictures();
}

// ---- Properties ----

void TsuiTitleBar::SetFileTheme(TsuiFileTheme* theme) {
    if (fileTheme_ && fileTheme_ != theme) RemoveFreeNotification(fileTheme_);
    fileTheme_ = theme;
    if (theme) FreeNotification(theme);
    keepFontColor_ = true;
    SetUIStyle(uiStyle_);
    keepFontColor_ = false;
}

void TsuiTitleBar::SetButtonInterval(int value) {
    buttonInterval_ = value;
    Invalidate();
}

void TsuiTitleBar::SetTitleFont(const tk::TFont& font) {
    titleFont_ = font;
    Invalidate();
}

void TsuiTitleBar::SetFormActive(bool value) {
    formActive_ = value;
    Invalidate();
}

void TsuiTitleBar::SetLeftBtnXOffset(int value) {
    leftBtnXOffset_ = value;
    Invalidate();
}

void TsuiTitleBar::SetRightBtnXOffset(int value) {
    rightBtnXOffset_ = value;
    Invalidate();
}

void TsuiTitleBar::SetDrawAppIcon(bool value) {
    drawAppIcon_ = value;
    Invalidate();
}

void TsuiTitleBar::SetInactiveCaptionColor(tk::TColor color) {
    inactiveCaptionColor_ = color;
    Invalidate();
}

void TsuiTitleBar::CaptionChanged() {
    tk::TCustomPanel::CaptionChanged();
    Invalidate();
}

void TsuiTitleBar::SetAutoSize(bool value) {
    autoSize_ = value;
    if (sections_->Count() > 0) {
        SetHeight(sections_->Items(0)->Picture().Height() - (OnFrame() ? skin::kTitleStripRows : 0));
    } else {
        autoSize_ = false;
    }
}

void TsuiTitleBar::SetUIStyle(TsuiUIStyle style) {
    uiStyle_ = style;
    if (custom_) return;
    sections_->Clear();
    TsuiUIStyle e = TsuiUIStyle::DeepBlue;
    tk::TForm* form = ParentFormOf();
    const int frameShift = OnFrame() ? skin::kTitleStripRows : 0;
    if (ResolveThemeSource(fileTheme_, style, e)) {
        TsuiFileTheme* t = fileTheme_;
        fiveSections_ = t->GetThemeBool(SKIN2_TITLEFIVESECT);
        titleTransparentColor_ = static_cast<tk::TColor>(t->GetThemeColor(SKIN2_TRANSCOLOR));
        auto addSection = [&](TsuiThemeBitmap item) {
            TsuiTitleBarSection* s = sections_->Add();
            tk::TBitmap picture;
            t->CopyThemeBitmap(item, &picture);
            s->SetPicture(picture);
            return s;
        };
        addSection(SKIN2_TITLEBAR1)->SetAutoSize(true);
        TsuiTitleBarSection* second = addSection(SKIN2_TITLEBAR2);
        if (fiveSections_) {
            second->SetCapSec(true);
        } else {
            second->SetAlign(TsuiTitleBarAlign::suiClient);
        }
        TsuiTitleBarSection* third = addSection(SKIN2_TITLEBAR3);
        third->SetAutoSize(true);
        if (!fiveSections_) third->SetAlign(TsuiTitleBarAlign::suiRight);
        if (fiveSections_) {
            addSection(SKIN2_TITLEBAR4)->SetAlign(TsuiTitleBarAlign::suiClient);
            TsuiTitleBarSection* fifth = addSection(SKIN2_TITLEBAR5);
            fifth->SetAutoSize(true);
            fifth->SetAlign(TsuiTitleBarAlign::suiRight);
        }
        leftBtnXOffset_ = t->GetThemeInt(SKIN2_TITLEBARICONPOSX);
        rightBtnXOffset_ = t->GetThemeInt(SKIN2_TITLEBARBUTTONPOSX);
        tk::TBitmap* strip = t->GetThemeBitmap(SKIN2_TITLEBUTTONS);
        if (strip) strip->SetPixelFormat(tk::TPixelFormat::pf24bit);
        buttonTop_ = t->GetThemeInt(SKIN2_TITLEBARBUTTONPOSY) - frameShift;
        iconTop_ = t->GetThemeInt(SKIN2_TITLEBARICONPOSY) - frameShift;
        captionTop_ = t->GetThemeInt(SKIN2_TITLEBARCAPTIONTOP);
        formColor_ = static_cast<tk::TColor>(t->GetThemeColor(SKIN2_FORMCOLOR));
        if (form) {
            auto width = [&](TsuiThemeBitmap item) {
                tk::TBitmap* b = t->GetThemeBitmap(item);
                return b ? b->Width() : 0;
            };
            form->SetMinSize(skin::SkinTitleMinWidth(fiveSections_, width(SKIN2_TITLEBAR1), width(SKIN2_TITLEBAR3),
                                                     width(SKIN2_TITLEBAR5), width(SKIN2_TITLEBUTTONS),
                                                     buttons_->Count(), rightBtnXOffset_),
                             form->MinHeight());
        }
    } else {
        auto addSection = [&](TsuiStyleItem item) {
            TsuiTitleBarSection* s = sections_->Add();
            tk::TBitmap picture;
            LoadBuiltInBitmap(e, item, &picture);
            s->SetPicture(picture);
            return s;
        };
        addSection(style_item::kTitleLeft)->SetAutoSize(true);
        TsuiTitleBarSection* right = addSection(style_item::kTitleRight);
        right->SetAutoSize(true);
        right->SetAlign(TsuiTitleBarAlign::suiRight);
        addSection(style_item::kTitleClient)->SetAlign(TsuiTitleBarAlign::suiClient);
        leftBtnXOffset_ = GetBuiltInInt(e, style_item::kTitleLeftOffset);
        rightBtnXOffset_ = GetBuiltInInt(e, style_item::kTitleRightOffset);
        buttonTop_ = GetBuiltInInt(e, style_item::kTitleButtonTop) - frameShift;
        iconTop_ = buttonTop_;
        if (form) form->SetMinSize(GetBuiltInInt(e, style_item::kFormMinWidth), kBuiltInMinHeight);
        roundCorner_ = GetBuiltInInt(e, style_item::kRoundCorner);
        roundCornerBottom_ = 0;
    }
    for (int i = 0; i < buttons_->Count(); ++i) buttons_->Items(i)->SetUIStyle(e);
    if (systemMenu_) {
        systemMenu_->SetUIStyle(e);
        systemMenu_->SetFileTheme(fileTheme_);
    }
    if (!keepFontColor_) {
        if (style == TsuiUIStyle::MacOS) {
            titleFont_.Color = tk::clBlack;
        } else if (ReadySkin()) {
            titleFont_.Color = static_cast<tk::TColor>(fileTheme_->GetThemeColor(SKIN2_TITLEFONTCOLOR));
        } else {
            titleFont_.Color = tk::clWhite;
        }
    }
    SetAutoSize(true);
    Invalidate();
}

// ---- Published properties and notifications ----

bool TsuiTitleBar::PublishesProperty(std::string_view name) const {
    return name == "FileTheme" || name == "UIStyle" || tk::TCustomPanel::PublishesProperty(name);
}

std::optional<tk::PropertyValue> TsuiTitleBar::GetPublishedProperty(std::string_view name) const {
    if (name == "FileTheme") return tk::PropertyValue(static_cast<tk::TComponent*>(fileTheme_));
    if (name == "UIStyle") return tk::PropertyValue(static_cast<int>(uiStyle_));
    return tk::TCustomPanel::GetPublishedProperty(name);
}

bool TsuiTitleBar::SetPublishedProperty(std::string_view name, const tk::PropertyValue& value) {
    if (const auto taken = SetThemeOrStyleProperty(*this, name, value)) return *taken;
    return tk::TCustomPanel::SetPublishedProperty(name, value);
}

void TsuiTitleBar::Notification(tk::TComponent* component, tk::Operation operation) {
    tk::TCustomPanel::Notification(component, operation);
    if (operation != tk::Operation::Remove || !component) return;
    for (int i = 0; i < buttons_->Count(); ++i)
        if (buttons_->Items(i)->ControlBoxMenu() == component) buttons_->Items(i)->SetControlBoxMenu(nullptr);
    if (component == systemMenu_) systemMenu_ = nullptr;
    if (component == fileTheme_) {
        fileTheme_ = nullptr;
        SetUIStyle(TsuiUIStyle::DeepBlue);
    }
}
