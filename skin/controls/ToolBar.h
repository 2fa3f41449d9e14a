// The skinned tool bar: the toolkit's tool bar whose background and the faces of hot, pressed and
// checked buttons it paints itself, in colours from a built-in UI style or a loaded skin. Plain
// buttons, separators and disabled buttons keep the common control's own drawing.
#pragma once

#include "skin/theme/FileTheme.h"
#include "skin/theme/ThemeItems.h"
#include "toolkit/win/Canvas.h"
#include "toolkit/win/ToolBar.h"

class TsuiToolBar : public tk::TToolBar {
public:
    explicit TsuiToolBar(tk::TComponent* owner);
    ~TsuiToolBar() override;
    std::string_view ClassName() const override { return "TsuiToolBar"; }

    TsuiFileTheme* FileTheme() const { return fileTheme_; }
    // Stores the theme and applies the current style again.
    void SetFileTheme(TsuiFileTheme* theme);
    TsuiUIStyle UIStyle() const { return uiStyle_; }
    // Takes the colours of the style (or of the theme for FromThemeFile with a ready theme).
    void SetUIStyle(TsuiUIStyle style);

    tk::TColor ButtonColor() const { return buttonColor_; }
    void SetButtonColor(tk::TColor color);
    tk::TColor ButtonBorderColor() const { return buttonBorderColor_; }
    void SetButtonBorderColor(tk::TColor color);
    tk::TColor ButtonDownColor() const { return buttonDownColor_; }
    void SetButtonDownColor(tk::TColor color);

    // The two colours of the gradient behind the buttons (equal: no gradient).
    tk::TColor BarStartColor() const { return barStartColor_; }
    tk::TColor BarEndColor() const { return barEndColor_; }

    bool PublishesProperty(std::string_view name) const override;
    std::optional<tk::PropertyValue> GetPublishedProperty(std::string_view name) const override;
    bool SetPublishedProperty(std::string_view name, const tk::PropertyValue& value) override;
    void WndProc(tk::TMessage& message) override;
    void Notification(tk::TComponent* component, tk::Operation operation) override;

protected:
    LRESULT CustomDraw(NMTBCUSTOMDRAW& draw) override;

private:
    // The button's custom-draw state, hot also while the mouse holds it down.
    UINT EffectiveState(UINT state, const RECT& rect);
    void BarPrePaint(tk::TCanvas& canvas, const tk::TRect& rect);
    // True when the bar painted the button (the control's drawing is then skipped).
    bool ButtonPrePaint(tk::TCanvas& canvas, tk::TToolButton& button, const tk::TRect& rect, UINT state);
    void DrawFace(tk::TCanvas& canvas, tk::TToolButton& button, const tk::TRect& rect, tk::TColor fill, bool pressed);
    void DrawDropDownMark(tk::TCanvas& canvas, const tk::TRect& rect);
    tk::TImageList* FaceImages() const { return HotImages() ? HotImages() : Images(); }

    TsuiFileTheme* fileTheme_ = nullptr;
    TsuiUIStyle uiStyle_ = TsuiUIStyle::DeepBlue;
    tk::TColor buttonColor_ = 0xEFEFEF, buttonBorderColor_ = 0x474747, buttonDownColor_ = 0xD8D8D8;
    tk::TColor barStartColor_ = 0xE8E8E8, barEndColor_ = 0xE8E8E8;
    // The left mouse button held down over the bar, and where the mouse last was.
    bool mouseHeld_ = false;
    POINT mousePoint_{-1, -1};
};

// Whether the control is a skinned form frame (the component that publishes the panel laid over
// the form).
bool IsSkinFormFrame(const tk::TControl* control);
