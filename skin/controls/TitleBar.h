// The skinned title bar: a panel at the top of its parent that paints a title image assembled from
// picture sections, the window buttons, the application icon and the caption, and turns mouse
// actions into window actions (drag, minimise, maximise or restore, close, double click).
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "skin/controls/FrameGeometry.h"
#include "skin/controls/TitleBarItems.h"
#include "skin/controls/TitleBarMenu.h"
#include "skin/theme/FileTheme.h"
#include "toolkit/win/Bitmap.h"
#include "toolkit/win/Canvas.h"
#include "toolkit/win/Form.h"
#include "toolkit/win/Scoped.h"
#include "toolkit/win/Panel.h"

// Sent with zero parameters to a framed window: the frame answers with the title bar's horizontal
// inset inside the window; a window without a frame leaves it unanswered (0).
inline constexpr UINT FrameInsetQuery = 9923;

// What a title bar asks of the frame it sits on (its parent control): a bar whose parent
// implements this is on a frame. Its title image then reaches the frame's inset past either side
// and 3 rows above the bar, and the frame paints the window border from that image.
class TsuiTitleBarFrameHost {
public:
    virtual ~TsuiTitleBarFrameHost() = default;
    // Paints the window's border now (the bar calls it after laying out a caption section).
    virtual void PaintFrame() = 0;
    // The bar's horizontal inset inside the window (what the frame answers to FrameInsetQuery).
    virtual int TitleBarInset() const = 0;
};

// A title bar button click: the title bar and the index of the button in its collection.
using TsuiTitleBarButtonClickEvent = std::function<void(tk::TComponent* sender, int buttonIndex)>;

class TsuiTitleBar : public tk::TCustomPanel {
public:
    explicit TsuiTitleBar(tk::TComponent* owner);
    ~TsuiTitleBar() override;
    std::string_view ClassName() const override { return "TsuiTitleBar"; }

    // When set, style changes leave sections, buttons and font alone.
    bool Custom() const { return custom_; }
    void SetCustom(bool value) { custom_ = value; }
    TsuiFileTheme* FileTheme() const { return fileTheme_; }
    void SetFileTheme(TsuiFileTheme* theme);
    TsuiUIStyle UIStyle() const { return uiStyle_; }
    void SetUIStyle(TsuiUIStyle style);
    bool AutoSize() const { return autoSize_; }
    // Whatever the value, the bar takes the height of section 0's picture (less 3 on a frame) when
    // there are sections; without sections the flag turns off.
    void SetAutoSize(bool value);

    TsuiTitleBarSections& Sections() { return *sections_; }
    TsuiTitleBarButtons& Buttons() { return *buttons_; }
    void SetSections(const TsuiTitleBarSections& other) { sections_->Assign(other); }
    void SetButtons(const TsuiTitleBarButtons& other) { buttons_->Assign(other); }

    int ButtonInterval() const { return buttonInterval_; }
    void SetButtonInterval(int value);
    const tk::TFont& TitleFont() const { return titleFont_; }
    void SetTitleFont(const tk::TFont& font);
    bool FormActive() const { return formActive_; }
    void SetFormActive(bool value);
    int LeftBtnXOffset() const { return leftBtnXOffset_; }
    void SetLeftBtnXOffset(int value);
    int RightBtnXOffset() const { return rightBtnXOffset_; }
    void SetRightBtnXOffset(int value);
    bool DrawAppIcon() const { return drawAppIcon_; }
    void SetDrawAppIcon(bool value);
    int RoundCorner() const { return roundCorner_; }
    void SetRoundCorner(int value) { roundCorner_ = value; }
    int RoundCornerBottom() const { return roundCornerBottom_; }
    void SetRoundCornerBottom(int value) { roundCornerBottom_ = value; }
    tk::TColor InactiveCaptionColor() const { return inactiveCaptionColor_; }
    void SetInactiveCaptionColor(tk::TColor color);

    TsuiTitleBarButtonClickEvent OnCustomBtnsClick;
    TsuiTitleBarButtonClickEvent OnHelpBtnClick;

    // For the frame: the title images as wide as the window, a section's picture (only with more
    // than two sections), an immediate render, and the maximise button pictures.
    tk::TBitmap& RawTitleImage() { return rawTitleImage_; }
    tk::TBitmap& ComposedTitleImage() { return composedTitleImage_; }
    tk::TBitmap* SectionPicture(int index);
    void Render() { Repaint(); }
    void RefreshMaximizePictures();
    // The system menu's items: which are enabled (from the visible buttons), and what they do.
    skin::SystemMenuStates SystemMenuEnabled() const;
    void SystemMinimize();
    void SystemMaximizeRestore();
    void SystemClose();
    // The owned system menu, and popping it up at a screen point (false when there is none).
    TsuiTitleBarPopupMenu* SystemMenu() const { return systemMenu_; }
    bool PopupSystemMenuAt(int x, int y);
    // Whether the bar reads right to left (its form does, on a Middle-East system).
    bool ReadsRightToLeft() const { return RightToLeft(); }
    // Pops a control-box menu up below the bar's left end (screen x never negative).
    void PopupControlBoxMenu(tk::TComponent* menu);

    // For the buttons and for tests. The hot button is the one under the pointer at the last
    // paint; the pressed one is the button a press on the bar started on, kNoTitleButton when none is held:
    // a button acts when the press and the release are both on it.
    int HotButton() const { return hotButton_; }
    int PressedButton() const { return pressedButton_; }
    bool MouseIsDown() const { return mouseIsDown_; }
    bool OnFrame() const { return FrameHost() != nullptr; }
    // The frame the bar sits on, or nullptr.
    TsuiTitleBarFrameHost* FrameHost() const;
    tk::TForm* ParentFormOf() const;
    bool Designing() const { return false; }
    int ButtonTop() const { return buttonTop_; }
    int IconTop() const { return iconTop_; }
    const std::wstring& FittedCaption() const { return fittedCaption_; }
    // Where the last paint put the buttons, the icon and the caption (bar coordinates).
    const skin::TitleButtonLayout& LastButtonLayout() const { return lastLayout_; }
    const skin::TitleIconLayout& LastIconLayout() const { return lastIcon_; }
    const std::wstring& LastCaptionText() const { return lastCaptionText_; }
    int LastCaptionY() const { return lastCaptionY_; }

    bool PublishesProperty(std::string_view name) const override;
    std::optional<tk::PropertyValue> GetPublishedProperty(std::string_view name) const override;
    bool SetPublishedProperty(std::string_view name, const tk::PropertyValue& value) override;
    void Notification(tk::TComponent* component, tk::Operation operation) override;

    void WndProc(tk::TMessage& message) override;

protected:
    void Paint(tk::TCanvas& canvas) override;
    void CaptionChanged() override;
    virtual void DrawSections(tk::TBitmap& image);
    virtual void DrawButtonsAndCaption(tk::TBitmap& image);

private:
    void MouseDown(int x, int y);
    void MouseUp(int pressed, int x, int y);
    void DoubleClick();
    // The button at a point of the bar as the last paint placed the buttons and the icon, or
    // kNoTitleButton.
    int ButtonAt(int x, int y) const;
    // The press on a button ends without acting (the capture went elsewhere).
    void CancelPress();
    // The title bar's system menu at the bar's bottom-left corner (nothing without one).
    void PopupSystemMenu();
    void Repaint() { tk::TCustomPanel::Repaint(); }
    bool ReadySkin() const;
    bool RightToLeft() const;
    int AskFrameInset() const;

    bool custom_ = false;
    TsuiFileTheme* fileTheme_ = nullptr;
    TsuiUIStyle uiStyle_ = TsuiUIStyle::DeepBlue;
    bool autoSize_ = false;
    std::unique_ptr<TsuiTitleBarSections> sections_;
    std::unique_ptr<TsuiTitleBarButtons> buttons_;
    int buttonInterval_ = 0;
    tk::TFont titleFont_;
    bool formActive_ = true;
    int leftBtnXOffset_ = 0, rightBtnXOffset_ = 0;
    bool drawAppIcon_ = true;
    int roundCorner_ = 0, roundCornerBottom_ = 0;
    tk::TColor inactiveCaptionColor_ = tk::clInactiveCaption;

    TsuiTitleBarPopupMenu* systemMenu_ = nullptr;
    tk::TBitmap rawTitleImage_, composedTitleImage_;
    tk::TBitmap rightScratch_;  // a right section composed over the form colour
    std::wstring fittedCaption_;
    bool fiveSections_ = false;
    tk::TColor formColor_ = 0, titleTransparentColor_ = 0;
    int buttonTop_ = 0, iconTop_ = 0, captionTop_ = 0;
    int hotButton_ = skin::kNoTitleButton;
    int pressedButton_ = skin::kNoTitleButton;
    bool mouseIsDown_ = false;
    tk::MouseCapture capture_;  // held from a press on the bar to its release
    bool keepFontColor_ = false;
    bool trackingLeave_ = false;

    skin::TitleButtonLayout lastLayout_;
    skin::TitleIconLayout lastIcon_;
    std::wstring lastCaptionText_;
    int lastCaptionY_ = 0;
};
