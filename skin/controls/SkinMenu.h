// What the skinned popup and main menus share: the published style and theme, the look's
// properties, owner drawing of every item through the look, and the reset to DeepBlue when the
// theme goes away. Base is the toolkit menu class the skinned menu extends.
#pragma once

#include <string_view>
#include <variant>

#include "skin/controls/MenuLook.h"
#include "skin/theme/MenuDraw.h"
#include "skin/theme/StylePropagation.h"
#include "toolkit/win/Menus.h"

template <class Base>
class TsuiMenuBase : public Base {
public:
    explicit TsuiMenuBase(tk::TComponent* owner) : Base(owner) { Base::SetOwnerDraw(true); }

    // Always drawn by the menu itself: writes are ignored.
    bool OwnerDraw() const override { return true; }
    void SetOwnerDraw(bool) override {}

    TsuiFileTheme* FileTheme() const { return fileTheme_; }
    void SetFileTheme(TsuiFileTheme* theme) {
        if (fileTheme_ && fileTheme_ != theme) this->RemoveFreeNotification(fileTheme_);
        fileTheme_ = theme;
        // Heard of whoever owns it.
        if (fileTheme_) this->FreeNotification(fileTheme_);
        SetUIStyle(look_.UIStyle);
    }
    TsuiUIStyle UIStyle() const { return look_.UIStyle; }
    void SetUIStyle(TsuiUIStyle style) { ApplyMenuStyle(look_, style, fileTheme_); }

    int MenuItemHeight() const { return look_.MenuItemHeight; }
    virtual void SetMenuItemHeight(int value) = 0;
    int SeparatorHeight() const { return look_.SeparatorHeight; }
    void SetSeparatorHeight(int value) {
        if (look_.UIStyle != TsuiUIStyle::MacOS) look_.SeparatorHeight = value;
    }
    int BarWidth() const { return look_.BarWidth; }
    void SetBarWidth(int value) { look_.BarWidth = value; }
    tk::TColor BarColor() const { return look_.BarColor; }
    void SetBarColor(tk::TColor c) { look_.BarColor = c; }
    tk::TColor BarToColor() const { return look_.BarToColor; }
    void SetBarToColor(tk::TColor c) { look_.BarToColor = c; }
    tk::TColor Color() const { return look_.Color; }
    void SetColor(tk::TColor c) { look_.Color = c; }
    tk::TColor SeparatorColor() const { return look_.SeparatorColor; }
    void SetSeparatorColor(tk::TColor c) { look_.SeparatorColor = c; }
    tk::TColor SelectedBorderColor() const { return look_.SelectedBorderColor; }
    void SetSelectedBorderColor(tk::TColor c) { look_.SelectedBorderColor = c; }
    tk::TColor SelectedColor() const { return look_.SelectedColor; }
    void SetSelectedColor(tk::TColor c) { look_.SelectedColor = c; }
    tk::TColor SelectedFontColor() const { return look_.SelectedFontColor; }
    void SetSelectedFontColor(tk::TColor c) { look_.SelectedFontColor = c; }
    tk::TColor FontColor() const { return look_.FontColor; }
    void SetFontColor(tk::TColor c) { look_.FontColor = c; }
    tk::TColor BorderColor() const { return look_.BorderColor; }
    void SetBorderColor(tk::TColor c) { look_.BorderColor = c; }
    bool FlatMenu() const { return look_.FlatMenu; }
    void SetFlatMenu(bool value) { look_.FlatMenu = value; }
    const std::wstring& FontName() const { return look_.FontName; }
    void SetFontName(std::wstring name) { look_.FontName = std::move(name); }
    int FontSize() const { return look_.FontSize; }
    void SetFontSize(int size) { look_.FontSize = size; }
    BYTE FontCharset() const { return look_.FontCharset; }
    void SetFontCharset(BYTE charset) { look_.FontCharset = charset; }
    bool UseSystemFont() const { return look_.UseSystemFont; }
    virtual void SetUseSystemFont(bool value) { look_.UseSystemFont = value; }
    const TsuiMenuLook& Look() const { return look_; }

    // Every item gets the menu's measure and draw handlers.
    void Loaded() override {
        Base::Loaded();
        if (this->Items()) SetMenuDrawHandlers(this->Items(), MeasureHandler(), DrawHandler());
    }

    bool PublishesProperty(std::string_view name) const override {
        return name == "FileTheme" || name == "UIStyle" || Base::PublishesProperty(name);
    }
    std::optional<tk::PropertyValue> GetPublishedProperty(std::string_view name) const override {
        if (name == "FileTheme") return tk::PropertyValue{static_cast<tk::TComponent*>(fileTheme_)};
        if (name == "UIStyle") return tk::PropertyValue{static_cast<int>(look_.UIStyle)};
        return Base::GetPublishedProperty(name);
    }
    bool SetPublishedProperty(std::string_view name, const tk::PropertyValue& value) override {
        if (const auto taken = SetThemeOrStyleProperty(*this, name, value)) return *taken;
        return Base::SetPublishedProperty(name, value);
    }

    void Notification(tk::TComponent* component, tk::Operation operation) override {
        Base::Notification(component, operation);
        if (operation == tk::Operation::Remove && component && component == fileTheme_) {
            fileTheme_ = nullptr;
            SetUIStyle(TsuiUIStyle::DeepBlue);
        }
        // An item added to the menu is drawn by the menu, with its sub-items.
        if (operation == tk::Operation::Insert)
            if (auto* item = dynamic_cast<tk::TMenuItem*>(component))
                SetMenuDrawHandlers(item, MeasureHandler(), DrawHandler());
    }

    // The handlers every item of the menu gets.
    tk::TMenuMeasureItemEvent MeasureHandler() {
        return [this](tk::TMenuItem* item, tk::TCanvas& canvas, int& width, int& height) {
            MeasureMenuItem(look_, canvas, View(*item), width, height);
        };
    }
    tk::TMenuDrawItemEvent DrawHandler() {
        return [this](tk::TMenuItem* item, tk::TCanvas& canvas, const tk::TRect& rect, bool selected) {
            DrawMenuItem(look_, canvas, rect, selected, View(*item), MenuImages(), !this->RightToLeft(), fileTheme_);
        };
    }

protected:
    // The images items show and the check mark picture.
    virtual TsuiMenuImages MenuImages() const = 0;
    // Finishes construction: the style of the owner form's frame.
    void InitStyle(tk::TComponent* owner) { SetUIStyle(FindFormUIStyle(owner)); }

    static TsuiMenuItemView View(const tk::TMenuItem& item) {
        return {item.Caption(), tk::ShortCutToText(item.ShortCut()), item.IsLine(), item.Enabled(),
                item.Checked(), item.Default(), item.ImageIndex()};
    }

    TsuiMenuLook look_;
    TsuiFileTheme* fileTheme_ = nullptr;
};
