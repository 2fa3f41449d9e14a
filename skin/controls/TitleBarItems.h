// The title bar's items: window buttons with three pictures each and the picture sections of the
// title image, their collections and their checks, how the button pictures are cut from the title
// button strip of a skin or a built-in style, and what each kind of button does when clicked.
#pragma once

#include <memory>
#include <vector>

#include "skin/controls/TitleBarTypes.h"
#include "skin/theme/ThemeItems.h"
#include "toolkit/Component.h"
#include "toolkit/win/Bitmap.h"

class TsuiTitleBar;
class TsuiTitleBarButtons;
class TsuiTitleBarSections;

// The error boxes of the two collection checks.
inline constexpr wchar_t kOneControlBoxMessage[] = L"Sorry, only one button's ButtonType property can be \"suiControlBox\"";
inline constexpr wchar_t kOneClientSectionMessage[] = L"Sorry, only one section's Align property can be \"suiClient\"";

class TsuiTitleBarButton {
public:
    explicit TsuiTitleBarButton(TsuiTitleBarButtons* collection);
    ~TsuiTitleBarButton();
    TsuiTitleBarButton(const TsuiTitleBarButton&) = delete;
    TsuiTitleBarButton& operator=(const TsuiTitleBarButton&) = delete;

    // Copies Visible, ButtonType, Transparent, Top and UIStyle through their setters, then the
    // three pictures and the control-box menu.
    void Assign(const TsuiTitleBarButton& other);

    TsuiUIStyle UIStyle() const { return uiStyle_; }
    void SetUIStyle(TsuiUIStyle style);
    TsuiTitleBarBtnType ButtonType() const { return type_; }
    // A second control-box button is refused with an error box; the type stays.
    void SetButtonType(TsuiTitleBarBtnType type);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool value);
    int Top() const { return top_; }
    void SetTop(int value);
    // The popup menu (a tk::TPopupMenu) a control-box button pops up instead of the system menu.
    // The title bar hears of the menu's end and clears the reference.
    tk::TComponent* ControlBoxMenu() const { return controlBoxMenu_; }
    void SetControlBoxMenu(tk::TComponent* menu);
    bool Visible() const { return visible_; }
    void SetVisible(bool value);

    tk::TBitmap& PicNormal() { return picNormal_; }
    tk::TBitmap& PicMouseOn() { return picMouseOn_; }
    tk::TBitmap& PicMouseDown() { return picMouseDown_; }
    const tk::TBitmap& PicNormal() const { return picNormal_; }
    const tk::TBitmap& PicMouseOn() const { return picMouseOn_; }
    const tk::TBitmap& PicMouseDown() const { return picMouseDown_; }
    void SetPicNormal(const tk::TBitmap& picture);
    void SetPicMouseOn(const tk::TBitmap& picture);
    void SetPicMouseDown(const tk::TBitmap& picture);
    bool HasAllPictures() const { return !picNormal_.Empty() && !picMouseOn_.Empty() && !picMouseDown_.Empty(); }

    int Index() const;
    TsuiTitleBarButtons* Collection() const { return collection_; }
    TsuiTitleBar* TitleBar() const;

    // Loads the pictures of the button's kind from the title bar's skin or from the resolved style.
    void ReloadButtonPictures();
    // A maximise button shows the restore pictures while its window is maximised.
    void RefreshMaximizePictures();
    // What the button does (minimise, maximise or restore, close, pop up the control-box menu).
    void ClickButton();

private:
    void Changed();
    // Pictures number first, first + 1, first + 2 of the strip.
    void LoadStripPictures(int first);

    TsuiTitleBarButtons* collection_;
    TsuiUIStyle uiStyle_ = TsuiUIStyle::DeepBlue;
    TsuiTitleBarBtnType type_ = TsuiTitleBarBtnType::suiCustom;
    bool transparent_ = false;
    int top_ = 2;
    tk::TComponent* controlBoxMenu_ = nullptr;
    bool visible_ = true;
    tk::TBitmap picNormal_, picMouseOn_, picMouseDown_;
};

class TsuiTitleBarButtons {
public:
    explicit TsuiTitleBarButtons(TsuiTitleBar* owner) : owner_(owner) {}
    TsuiTitleBar* Owner() const { return owner_; }

    TsuiTitleBarButton* Add();
    TsuiTitleBarButton* Items(int index) const { return items_.at(static_cast<std::size_t>(index)).get(); }
    int Count() const { return static_cast<int>(items_.size()); }
    void Delete(int index);
    void Clear();
    int IndexOf(const TsuiTitleBarButton* item) const;
    // Replaces the items with copies of the other collection's.
    void Assign(const TsuiTitleBarButtons& other);
    // A change inside the collection: the title bar repaints.
    void Update();

private:
    TsuiTitleBar* owner_;
    std::vector<std::unique_ptr<TsuiTitleBarButton>> items_;
};

class TsuiTitleBarSection {
public:
    explicit TsuiTitleBarSection(TsuiTitleBarSections* collection) : collection_(collection) {}

    // Sets Width, Align, the picture, Stretch, AutoSize and CapSec through their setters.
    void Assign(const TsuiTitleBarSection& other);

    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool value);
    int Width() const { return width_; }
    void SetWidth(int value);
    TsuiTitleBarAlign Align() const { return align_; }
    // A second client section is refused with an error box; the alignment stays.
    void SetAlign(TsuiTitleBarAlign align);
    tk::TBitmap& Picture() { return picture_; }
    const tk::TBitmap& Picture() const { return picture_; }
    void SetPicture(const tk::TBitmap& picture);
    bool Stretch() const { return stretch_; }
    void SetStretch(bool value);
    bool CapSec() const { return capSec_; }
    void SetCapSec(bool value);

    int Index() const;

private:
    void Changed();

    TsuiTitleBarSections* collection_;
    bool autoSize_ = false;
    int width_ = 10;
    TsuiTitleBarAlign align_ = TsuiTitleBarAlign::suiLeft;
    tk::TBitmap picture_;
    bool stretch_ = false;
    bool capSec_ = false;
};

class TsuiTitleBarSections {
public:
    explicit TsuiTitleBarSections(TsuiTitleBar* owner) : owner_(owner) {}
    TsuiTitleBar* Owner() const { return owner_; }

    TsuiTitleBarSection* Add();
    TsuiTitleBarSection* Items(int index) const { return items_.at(static_cast<std::size_t>(index)).get(); }
    int Count() const { return static_cast<int>(items_.size()); }
    void Clear();
    int IndexOf(const TsuiTitleBarSection* item) const;
    void Assign(const TsuiTitleBarSections& other);
    void Update();

private:
    TsuiTitleBar* owner_;
    std::vector<std::unique_ptr<TsuiTitleBarSection>> items_;
};

// Shows the error box of a refused component set-up (error icon, one OK button).
void ShowSetupError(const wchar_t* text);
