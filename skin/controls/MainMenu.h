// The skinned main menu: drawn like the skinned popup menu, shown by a form frame's menu bar.
// The check mark list shared by the skinned menus is installed as its images while no other list
// is set.
#pragma once

#include "skin/controls/SkinMenu.h"

// What a form frame that shows a main menu does for it.
class TsuiMenuBarHost {
public:
    virtual ~TsuiMenuBarHost() = default;
    virtual void ApplyMenuBarFont() = 0;
    virtual void RebuildMenuBar() = 0;
    virtual void SyncMenuBarButtons() = 0;
};

// What a form frame asks of the skinned main menu it shows: the frame to tell of the menu's
// changes, the look the frame's menu bar follows, and the style and skin the frame hands on.
class TsuiMenuBarSource {
public:
    virtual ~TsuiMenuBarSource() = default;
    // The frame that shows the menu (set and cleared by the frame; heard of when it goes).
    virtual tk::TComponent* Form() const = 0;
    virtual void SetForm(tk::TComponent* frame) = 0;
    // The menu's style, fonts and colours, and its skin (may be empty).
    virtual const TsuiMenuLook& BarLook() const = 0;
    virtual TsuiFileTheme* BarFileTheme() const = 0;
    // The frame's style change: the skin first, then the style.
    virtual void ApplyFrameStyle(TsuiUIStyle style, TsuiFileTheme* theme) = 0;
};

class TsuiMainMenu : public TsuiMenuBase<tk::TMainMenu>, public TsuiMenuBarSource {
public:
    explicit TsuiMainMenu(tk::TComponent* owner);
    ~TsuiMainMenu() override;
    std::string_view ClassName() const override { return "TsuiMainMenu"; }

    // The images set by the user; empty while the check mark list is installed.
    tk::TImageList* Images() const;
    // Empty installs the check mark list again.
    void SetImages(tk::TImageList* images) override;
    tk::TImageList* CheckImages() const { return checkImages_; }

    // Always stored, whatever the style.
    void SetMenuItemHeight(int value) override;
    void SetUseSystemFont(bool value) override;

    // The frame that shows the menu (set and cleared by the frame; heard of when it goes). A
    // frame that implements TsuiMenuBarHost is asked to follow the menu's changes.
    tk::TComponent* Form() const override { return form_; }
    void SetForm(tk::TComponent* frame) override;
    const TsuiMenuLook& BarLook() const override { return look_; }
    TsuiFileTheme* BarFileTheme() const override { return fileTheme_; }
    void ApplyFrameStyle(TsuiUIStyle style, TsuiFileTheme* theme) override {
        SetFileTheme(theme);
        SetUIStyle(style);
    }

    void Loaded() override;
    void MenuChanged(tk::TMenuItem* item) override;
    void Notification(tk::TComponent* component, tk::Operation operation) override;

protected:
    TsuiMenuImages MenuImages() const override;

private:
    TsuiMenuBarHost* Host() const { return dynamic_cast<TsuiMenuBarHost*>(form_); }

    tk::TImageList* checkImages_ = nullptr;  // the shared check mark list
    tk::TComponent* form_ = nullptr;
};
