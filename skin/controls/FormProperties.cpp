// The frame's properties: what each setter changes (most forward to the title bar), and the
// published ones the streaming system reads and writes by name.
#include "skin/controls/Form.h"

#include <utility>

#include "skin/theme/StylePropagation.h"

void TsuiForm::SetTitleBarCustom(bool value) {
    if (titleBar_) titleBar_->SetCustom(value);
}

void TsuiForm::SetFileTheme(TsuiFileTheme* theme) {
    if (theme == fileTheme_) return;
    if (fileTheme_) RemoveFreeNotification(fileTheme_);
    fileTheme_ = theme;
    if (theme) FreeNotification(theme);
    SetUIStyle(uiStyle_);
}

void TsuiForm::SetBorderColor(tk::TColor color) {
    borderColor_ = color;
    PaintFrame();
}

void TsuiForm::SetBorderWidth(int width) {
    borderWidth_ = width;
    PaintFrame();
}

void TsuiForm::SetTitleBarVisible(bool visible) {
    if (!titleBar_ || visible == titleBar_->Visible()) return;
    if (!internalTitleChange_) titleBarWanted_ = visible;
    titleBar_->SetVisible(visible);
    titleBar_->SetBounds(0, 0, titleBar_->Width(), titleBar_->Height());
    PaintFrame();
}

void TsuiForm::SetCaption(const std::wstring& caption) {
    if (titleBar_) titleBar_->SetCaption(caption);
    if (host_) host_->SetCaption(caption);
}

void TsuiForm::SetFormPanel(tk::TCustomPanel* panel) {
    if (panel == this) {
        ShowSetupError(kFormPanelSelfMessage);
        return;
    }
    if (formPanel_ && formPanel_ != panel) RemoveFreeNotification(formPanel_);
    formPanel_ = panel;
    if (!panel) return;
    FreeNotification(panel);
    if (dynamic_cast<tk::TPanel*>(panel)) {
        panel->SetBevelOuter(tk::TPanelBevel::None);
        panel->SetBevelInner(tk::TPanelBevel::None);
        panel->SetBorderStyle(tk::TPanelBorder::None);
        panel->SetCaption(L"");
    }
    AlignChildren();
}

void TsuiForm::SetTitleBarButtons(const TsuiTitleBarButtons& buttons) {
    if (titleBar_) titleBar_->SetButtons(buttons);
}

void TsuiForm::SetTitleBarSections(const TsuiTitleBarSections& sections) {
    if (titleBar_) titleBar_->SetSections(sections);
}

void TsuiForm::SetTitleBarDrawAppIcon(bool value) {
    if (titleBar_) titleBar_->SetDrawAppIcon(value);
}

void TsuiForm::SetTitleFont(const tk::TFont& font) {
    if (titleBar_) titleBar_->SetTitleFont(font);
}

void TsuiForm::SetRoundCorner(int value) {
    if (titleBar_) titleBar_->SetRoundCorner(value);
    ApplyWindowRegion();
}

void TsuiForm::SetRoundCornerBottom(int value) {
    if (titleBar_) titleBar_->SetRoundCornerBottom(value);
    ApplyWindowRegion();
}

void TsuiForm::SetInactiveCaptionColor(tk::TColor color) {
    if (titleBar_) titleBar_->SetInactiveCaptionColor(color);
}

void TsuiForm::SetOnTitleBarCustomBtnsClick(TsuiTitleBarButtonClickEvent handler) {
    if (titleBar_) titleBar_->OnCustomBtnsClick = std::move(handler);
}

void TsuiForm::SetOnTitleBarHelpBtnClick(TsuiTitleBarButtonClickEvent handler) {
    if (titleBar_) titleBar_->OnHelpBtnClick = std::move(handler);
}

// ---- Published properties ----

bool TsuiForm::PublishesProperty(std::string_view name) const {
    return name == "FormPanel" || name == "FileTheme" || name == "UIStyle" ||
           tk::TCustomPanel::PublishesProperty(name);
}

std::optional<tk::PropertyValue> TsuiForm::GetPublishedProperty(std::string_view name) const {
    if (name == "FormPanel") return tk::PropertyValue(static_cast<tk::TComponent*>(formPanel_));
    if (name == "FileTheme") return tk::PropertyValue(static_cast<tk::TComponent*>(fileTheme_));
    if (name == "UIStyle") return tk::PropertyValue(static_cast<int>(uiStyle_));
    return tk::TCustomPanel::GetPublishedProperty(name);
}

bool TsuiForm::SetPublishedProperty(std::string_view name, const tk::PropertyValue& value) {
    if (name == "FormPanel" && std::holds_alternative<tk::TComponent*>(value)) {
        tk::TComponent* c = std::get<tk::TComponent*>(value);
        auto* panel = dynamic_cast<tk::TCustomPanel*>(c);
        if (c && !panel) return false;
        SetFormPanel(panel);
        return true;
    }
    if (const auto taken = SetThemeOrStyleProperty(*this, name, value)) return *taken;
    return tk::TCustomPanel::SetPublishedProperty(name, value);
}
