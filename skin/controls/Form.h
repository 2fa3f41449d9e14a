// The skinned form frame: a panel dropped on a top-level form (the host) that takes over the host's
// look. It removes the host's system caption, paints a thin border of its own in the non-client
// area, fills the client area, carries a skinned title bar at its top, and gives the window an
// outline from the skin's pictures or the built-in style's rounded corners.
//
// One class, defined across files by concern:
//   Form.cpp            construction, style application, notifications, layout, painting glue
//   FormProperties.cpp  property setters and the published properties
//   FrameHook.cpp       the host's replaced window procedure and the non-client messages
//   FormMenuBar.cpp     the menu bar: attaching a menu, its buttons, its place
//   FrameShortcuts.cpp  the menu's keys and the application-wide key hook
// and helpers of its own: FramePainter (the two border painters), FrameRegion (the outline),
// MenuBarPainter (the menu bar's look), FrameGeometry (the arithmetic).
#pragma once

#include <windows.h>

#include <string>

#include "skin/controls/FrameGeometry.h"
#include "skin/controls/MainMenu.h"
#include "skin/controls/MenuBar.h"
#include "skin/controls/MenuBarPainter.h"
#include "skin/controls/TitleBar.h"
#include "skin/theme/FileTheme.h"
#include "toolkit/win/Bitmap.h"
#include "toolkit/win/Form.h"
#include "toolkit/win/Panel.h"

inline constexpr wchar_t kFormPanelSelfMessage[] = L"Sorry, you can't select the Form assign to FormPanel property";
// The menu bar's height until one is set.
inline constexpr int kDefaultMenuBarHeight = 22;
// The transparent colour outside a skin (magenta).
inline constexpr tk::TColor kNoSkinTransparentColor = 0xFF00FF;

class TsuiForm : public tk::TCustomPanel, public TsuiTitleBarFrameHost, public TsuiMenuBarHost {
public:
    explicit TsuiForm(tk::TComponent* owner);
    ~TsuiForm() override;
    std::string_view ClassName() const override { return "TsuiForm"; }

    // False for a frame that was not set up (its owner is not a form, or the form has a frame).
    bool Configured() const { return titleBar_ != nullptr; }
    tk::TForm* HostForm() const { return host_; }
    TsuiTitleBar* TitleBar() const { return titleBar_; }

    bool TitleBarCustom() const { return titleBar_ && titleBar_->Custom(); }
    void SetTitleBarCustom(bool value);
    TsuiFileTheme* FileTheme() const { return fileTheme_; }
    void SetFileTheme(TsuiFileTheme* theme);
    TsuiUIStyle UIStyle() const { return uiStyle_; }
    void SetUIStyle(TsuiUIStyle style);
    bool UIStyleAutoUpdateSub() const { return autoUpdateSub_; }
    void SetUIStyleAutoUpdateSub(bool value) { autoUpdateSub_ = value; }
    tk::TColor BorderColor() const { return borderColor_; }
    void SetBorderColor(tk::TColor color);
    int BorderWidth() const { return borderWidth_; }
    void SetBorderWidth(int width);
    bool TitleBarVisible() const { return titleBar_ && titleBar_->Visible(); }
    void SetTitleBarVisible(bool visible);
    // The title text; writing it also sets the host form's caption.
    std::wstring Caption() const { return titleBar_ ? titleBar_->Caption() : std::wstring(); }
    void SetCaption(const std::wstring& caption);
    tk::TCustomPanel* FormPanel() const { return formPanel_; }
    // The frame itself is refused with an error box.
    void SetFormPanel(tk::TCustomPanel* panel);
    TsuiTitleBarButtons* TitleBarButtons() const { return titleBar_ ? &titleBar_->Buttons() : nullptr; }
    void SetTitleBarButtons(const TsuiTitleBarButtons& buttons);
    TsuiTitleBarSections* TitleBarSections() const { return titleBar_ ? &titleBar_->Sections() : nullptr; }
    void SetTitleBarSections(const TsuiTitleBarSections& sections);
    bool TitleBarDrawAppIcon() const { return !titleBar_ || titleBar_->DrawAppIcon(); }
    void SetTitleBarDrawAppIcon(bool value);
    tk::TFont TitleFont() const { return titleBar_ ? titleBar_->TitleFont() : tk::TFont{}; }
    void SetTitleFont(const tk::TFont& font);
    // The main menu shown in the frame's menu bar (not owned; heard of when it goes). Attaching
    // one creates the bar, empty removes it.
    tk::TMainMenu* Menu() const { return menu_; }
    void SetMenu(tk::TMainMenu* menu);
    TsuiMenuBar* MenuBar() const { return menuBar_; }
    tk::TColor MenuBarColor() const { return menuBarColor_; }
    void SetMenuBarColor(tk::TColor color);
    tk::TColor MenuBarToColor() const { return menuBarToColor_; }
    void SetMenuBarToColor(tk::TColor color);
    // The height of the visible menu bar, 0 without one; the setting is given to a bar created
    // later.
    int MenuBarHeight() const { return GetMenuBarHeight(); }
    void SetMenuBarHeight(int height);
    int GetMenuBarHeight() const;
    // Where the frame's own content starts: below the title bar and the menu bar.
    int ContentTop() const;
    // Called when the bars above the content change height.
    tk::TNotifyEvent OnContentTopChanged;

    void CreateMenuBar();
    // Frees the bar and detaches the menu.
    void RemoveMenuBar();
    void RebuildMenuBar() override;
    void SyncMenuBarButtons() override;
    void ApplyMenuBarFont() override;
    // Runs the menu item whose shortcut the key (with the modifiers held now) is, while the host
    // is the active form; 1 when one ran, else 0.
    LRESULT MenuShortCutCheck(WPARAM key);
    // Opens the system menu below the title bar at the window's left edge, as Alt+Space does.
    // False when there is no title bar to open it from.
    bool PopupSystemMenu();
    // For a host that reads every key of its window in one place of its own: the frame stops
    // hearing keys through the application (Alt+Space, its menu's shortcuts and menu bar letters)
    // and the host brings Alt+Space to PopupSystemMenu. Only for a host without a menu.
    void LeaveKeysToHost();
    int RoundCorner() const { return TitleBarVisible() ? titleBar_->RoundCorner() : 0; }
    void SetRoundCorner(int value);
    int RoundCornerBottom() const { return TitleBarVisible() ? titleBar_->RoundCornerBottom() : 0; }
    void SetRoundCornerBottom(int value);
    std::wstring Version() const { return L"6.2"; }
    void SetVersion(const std::wstring&) {}
    tk::TColor InactiveCaptionColor() const {
        return titleBar_ ? titleBar_->InactiveCaptionColor() : tk::clInactiveCaption;
    }
    void SetInactiveCaptionColor(tk::TColor color);
    void SetOnTitleBarCustomBtnsClick(TsuiTitleBarButtonClickEvent handler);
    void SetOnTitleBarHelpBtnClick(TsuiTitleBarButtonClickEvent handler);

    // Paints the host's non-client border now.
    void PaintFrame() override;
    // The title bar's horizontal inset inside the window (0 once destruction began).
    int TitleBarInset() const override;
    // Recomputes and sets the host window's outline.
    void ApplyWindowRegion();

    // The measured system frame and the skin's border sizes (for tests and the title bar).
    int HostLeftFrame() const { return hostLeftFrame_; }
    int HostBottomFrame() const { return hostBottomFrame_; }
    int LeftBorderWidth() const { return leftBorderWidth_; }
    int RightBorderWidth() const { return rightBorderWidth_; }
    int BottomBorderHeight() const { return bottomBorderHeight_; }
    int TitleBandHeight() const;
    tk::TBitmap& BottomBorderImage() { return bottomBorderImage_; }

    bool PublishesProperty(std::string_view name) const override;
    std::optional<tk::PropertyValue> GetPublishedProperty(std::string_view name) const override;
    bool SetPublishedProperty(std::string_view name, const tk::PropertyValue& value) override;
    void Notification(tk::TComponent* component, tk::Operation operation) override;

protected:
    void Paint(tk::TCanvas& canvas) override;
    void PaintBackground(tk::TCanvas& canvas, const tk::TRect& rect) override;
    void Resized() override;

private:
    // SetWindowPos flags that only make the system recompute and repaint the non-client area.
    static constexpr UINT kFrameChangedFlags =
        SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED;

    void Hook();
    static LRESULT CALLBACK HookedWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT HostMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT CallSaved(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    void NcCalcSize(WPARAM wParam, LPARAM lParam);
    void HostSized();
    bool AppMessage(MSG& msg);
    bool ReadySkin() const;
    // The host's minimum height: title bar, menu bar, bottom border and the strip above the bar.
    int MinHostHeight() const;
    void AlignChildren();
    void Unhook();
    void DetachMenu();
    void PlaceMenuBar();
    // The menu's look when it is a skinned main menu, else the frame's own style and skin.
    skin::MenuBarLook CurrentMenuBarLook() const;

    tk::TForm* host_ = nullptr;
    WNDPROC savedWindowProc_ = nullptr;
    TsuiTitleBar* titleBar_ = nullptr;
    int appHook_ = 0;

    TsuiFileTheme* fileTheme_ = nullptr;
    TsuiUIStyle uiStyle_ = TsuiUIStyle::DeepBlue;
    bool autoUpdateSub_ = false;
    tk::TColor borderColor_ = tk::clBlack;
    int borderWidth_ = 1;
    tk::TCustomPanel* formPanel_ = nullptr;
    tk::TColor menuBarColor_ = 0, menuBarToColor_ = 0;
    int menuBarHeightSetting_ = kDefaultMenuBarHeight;
    tk::TMainMenu* menu_ = nullptr;
    TsuiMenuBarSource* skinMenu_ = nullptr;  // menu_ when it is a skinned main menu
    TsuiMenuBar* menuBar_ = nullptr;
    int lastContentTop_ = -1;  // none placed yet: the first placing always reports

    int hostLeftFrame_ = 4, hostBottomFrame_ = 4;
    int leftBorderWidth_ = 0, rightBorderWidth_ = 0, bottomBorderHeight_ = 0;
    tk::TBitmap bottomBorderImage_;
    tk::TColor transparentColor_ = kNoSkinTransparentColor;
    bool titleNeedsRegion_ = false, bottomNeedsRegion_ = false;
    int titleRegionMinY_ = 0, titleRegionMaxY_ = 0, bottomRegionMinY_ = 0, bottomRegionMaxY_ = 0;
    RECT creationBounds_{};
    bool startMaximized_ = false;
    bool titleBarWanted_ = true, internalTitleChange_ = false;
    bool destroying_ = false;
    bool sizing_ = false;
};
