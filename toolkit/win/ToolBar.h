// The tool bar: a row of buttons and separators with captions under images from an image list,
// tool tips from each button's hint, and buttons bound to actions (enabled state, image and hint
// follow the action unless the button has its own).
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <string>
#include <vector>

#include "toolkit/win/ActionList.h"
#include "toolkit/win/Canvas.h"
#include "toolkit/win/Control.h"
#include "toolkit/win/ImageList.h"

namespace tk {

class TToolBar;

// Check buttons stay down after a click until clicked again; drop-down buttons carry an arrow
// strip on their right.
enum class TToolButtonStyle { Button, Check, DropDown, Separator };

class TToolButton : public TComponent, private TActionClient {
public:
    explicit TToolButton(TComponent* owner);
    ~TToolButton() override;
    std::string_view ClassName() const override { return "TToolButton"; }

    TToolButtonStyle Style() const { return style_; }
    void SetStyle(TToolButtonStyle style) { style_ = style; }
    // Down: a check button that is checked (read from the native control once it exists).
    bool Down() const;
    void SetDown(bool down);
    int SeparatorWidth() const { return separatorWidth_; }
    void SetSeparatorWidth(int width) { separatorWidth_ = width; }

    // Own values; empty caption or hint and image -1 fall back to the bound action's.
    void SetCaption(const std::wstring& caption);
    void SetHint(const std::wstring& hint) { hint_ = hint; }
    void SetImageIndex(int index);
    std::wstring Caption() const;
    std::wstring Hint() const;
    int ImageIndex() const;
    bool Enabled() const;
    // The button's own enabled state, used while no action is bound.
    void SetEnabled(bool enabled);
    // Grouped buttons sit side by side without gaps, as in a menu bar.
    bool Grouped() const { return grouped_; }
    void SetGrouped(bool grouped) { grouped_ = grouped; }
    // A width of its own in pixels (0: the bar's button width).
    int Width() const { return width_; }
    void SetWidth(int width);
    // A free mark for whoever draws the button.
    int Tag = 0;

    TAction* Action() const { return action_; }
    void SetAction(TAction* action);
    TNotifyEvent OnClick;

    // Runs the button: the bound action, or the click handler.
    void Click();

    TToolBar* ToolBar() const { return toolBar_; }
    // The button's command identifier in the native tool bar, given when it joins a bar and kept
    // for its whole life there (0 before). Clicks, tips and state changes find the button by it.
    int CommandId() const { return commandId_; }
    void Notification(TComponent* component, Operation operation) override;

private:
    void ActionChanged(TAction* action) override;

    TToolButtonStyle style_ = TToolButtonStyle::Button;
    int separatorWidth_ = 8;
    bool down_ = false;
    bool enabled_ = true, grouped_ = false;
    int width_ = 0;
    std::wstring caption_, hint_;
    std::wstring shownCaption_;  // the text handed to the native control, kept alive with it
    int imageIndex_ = -1;
    TAction* action_ = nullptr;
    TToolBar* toolBar_ = nullptr;
    int commandId_ = 0;
    friend class TToolBar;
};

class TToolBar : public TWinControl {
public:
    using TWinControl::TWinControl;
    ~TToolBar() override;
    std::string_view ClassName() const override { return "TToolBar"; }

    void SetImages(TImageList* images);
    TImageList* Images() const { return images_; }
    // Images shown while a button is under the mouse; none: the normal images.
    void SetHotImages(TImageList* images);
    TImageList* HotImages() const { return hotImages_; }

    // Captions shown under (or, with List, beside) the images.
    bool ShowCaptions() const { return showCaptions_; }
    void SetShowCaptions(bool show);
    bool List() const { return list_; }
    void SetList(bool list);
    bool Flat() const { return flat_; }
    void SetFlat(bool flat);
    // The background: Color, or with Transparent the parent's background.
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool transparent);
    void SetButtonSize(int width, int height) { buttonWidth_ = width; buttonHeight_ = height; }
    int ButtonWidth() const { return buttonWidth_; }
    int ButtonHeight() const { return buttonHeight_; }

    void AddButton(TToolButton* button);
    void RemoveButton(TToolButton* button);
    const std::vector<TToolButton*>& Buttons() const { return buttons_; }

    // The button with the given command identifier, or nullptr.
    TToolButton* ButtonByCommand(int commandId) const;
    // Re-reads a button's state (enabled, image, caption) into the control.
    void ButtonChanged(TToolButton* button);

    void WndProc(TMessage& message) override;
    void Notification(TComponent* component, Operation operation) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void DestroyWindowHandle() override;
    // Custom drawing of the native control; the default draws nothing of its own.
    virtual LRESULT CustomDraw(NMTBCUSTOMDRAW& draw) { (void)draw; return CDRF_DODEFAULT; }

private:
    void InsertNative(int index);
    void DropTipRoute();

    static constexpr int kFirstCommandId = 100;
    int nextCommandId_ = kFirstCommandId;
    void ApplyStyleBits();

    TImageList* images_ = nullptr;
    TImageList* hotImages_ = nullptr;
    bool showCaptions_ = true, list_ = false, flat_ = true, transparent_ = false;
    TColor color_ = clBtnFace;
    int buttonWidth_ = 23, buttonHeight_ = 22;
    std::vector<TToolButton*> buttons_;
    std::wstring tipText_;
    HWND tipWindow_ = nullptr;  // the tool tip whose notifications are routed to this bar
};

}  // namespace tk
