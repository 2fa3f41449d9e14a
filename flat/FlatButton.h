// Flat push buttons: TFlatButton takes the focus and answers the keyboard; TFlatSpeedButton is its
// twin for tool-style buttons that never take the focus. Both draw a face in a state colour, a
// border that turns into a bevel while the mouse is over them or they are pressed, an optional
// glyph strip and a centred caption; both can be grouped into radio-like sets, hand a modal result
// to their form and derive lighter and darker colours from their own colour.
#pragma once

#include <functional>
#include <optional>

#include "flat/FlatFaceColors.h"
#include "flat/FlatHotTrack.h"
#include "flat/FlatLayout.h"
#include "flat/FlatUtilitys.h"
#include "toolkit/win/Bitmap.h"
#include "toolkit/win/Canvas.h"
#include "toolkit/win/Control.h"
#include "toolkit/win/Scoped.h"

// The notification a grouped button sends every control of its parent when it goes down.
constexpr UINT CM_BUTTONPRESSED = 0xB018;
// The notification a form gets when a button's Default changes.
constexpr UINT CM_FOCUSCHANGED = 0xB007;

// The colour a control with ParentColor takes from its parent: the toolkit's windows paint the
// button face.
tk::TColor ParentColorOf(const tk::TControl& control);
// ParentColorOf the parent; none without a parent.
std::optional<tk::TColor> ParentColorIfAny(const tk::TControl* parent);

using TFlatMouseEvent = std::function<void(tk::TComponent* sender, UINT button, int x, int y)>;

// What both button classes share; the two classes below differ in focus, keys and painting target.
class TFlatButtonBase : public tk::TWinControl, public FlatFaceColors, protected FlatHotTracker::Client {
public:
    explicit TFlatButtonBase(tk::TComponent* owner);
    ~TFlatButtonBase() override;

    TTransparentMode TransparentMode() const { return transparentMode_; }
    void SetTransparentMode(TTransparentMode mode);
    bool AllowAllUp() const { return allowAllUp_; }
    void SetAllowAllUp(bool value);
    int GroupIndex() const { return groupIndex_; }
    void SetGroupIndex(int value);
    bool Down() const { return down_; }
    void SetDown(bool value);

    // Color, ParentColor, the three shades and the advanced colours come from FlatFaceColors.

    bool ParentFont() const { return parentFont_; }
    void SetParentFont(bool value);
    tk::TColor ColorHighLight() const { return colorHighLight_; }
    void SetColorHighLight(tk::TColor c) { colorHighLight_ = c; Invalidate(); }
    tk::TColor ColorShadow() const { return colorShadow_; }
    void SetColorShadow(tk::TColor c) { colorShadow_ = c; Invalidate(); }
    const tk::TBitmap& Glyph() const { return glyph_; }
    void SetGlyph(const tk::TBitmap& glyph);
    TNumGlyphs NumGlyphs() const { return numGlyphs_; }
    void SetNumGlyphs(TNumGlyphs n);
    TButtonLayout Layout() const { return layout_; }
    void SetLayout(TButtonLayout layout);
    int Margin() const { return margin_; }
    void SetMargin(int margin);
    int Spacing() const { return spacing_; }
    void SetSpacing(int spacing);
    int ModalResult() const { return modalResult_; }
    void SetModalResult(int result) { modalResult_ = result; }

    TFlatMouseEvent OnMouseDown, OnMouseMove, OnMouseUp;
    tk::TNotifyEvent OnDblClick, OnMouseEnter, OnMouseLeave;

    // Hands the modal result to the parent form (also 0), then fires OnClick.
    void Click();

    TButtonState State() const { return state_; }
    bool MouseInControl() const { return mouseInControl_; }
    // The glyph position and caption bounds of the last paint.
    FlatPoint GlyphPos() const { return glyphPos_; }
    FlatRect TextBounds() const { return textBounds_; }

    void SetParent(tk::TWinControl* parent) override;
    void WndProc(tk::TMessage& message) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void EnabledChanged() override;
    void CaptionChanged() override;
    void FontChanged() override;

    virtual FlatHotTracker& Tracker() = 0;
    virtual bool TakesFocus() const = 0;
    virtual bool DefaultBorder() const { return false; }
    // Paints the whole button into the device context of its client area.
    virtual void PaintButton(HDC dc) = 0;
    // Draws the face, border, glyph and caption on a canvas of the client size.
    void PaintFace(tk::TCanvas& canvas);
    // Accelerator from the dialog manager.
    virtual void Accelerator() = 0;

    void Repaint() { Invalidate(); }
    void RepaintNow();
    std::optional<std::uint32_t> ParentFaceColor() const override { return ParentColorIfAny(Parent()); }
    void FaceColorsChanged() override { Repaint(); }
    void MouseEnter();
    void MouseLeave();
    void UpdateTracking();

    TButtonState state_ = TButtonState::bsUp;
    bool mouseInControl_ = false;
    bool dragging_ = false;

private:
    // Gives up the mouse capture of a press without the capture loss ending the press.
    void ReleaseMouse() {
        releasing_ = true;
        capture_.Release();
        releasing_ = false;
    }
    bool releasing_ = false;
    tk::MouseCapture capture_;  // held from a left press to its release
    HWND TrackedWindow() override { return Handle(); }
    void HotEnter() override { MouseEnter(); }
    void HotLeave() override { MouseLeave(); }
    void Announce();
    void ButtonPressed(int groupIndex, TFlatButtonBase* sender);
    void LeftDown();
    void LeftUp(int x, int y);
    void MouseMoveTo(int x, int y);

    TTransparentMode transparentMode_ = TTransparentMode::tmNone;
    bool allowAllUp_ = false;
    int groupIndex_ = 0;
    bool down_ = false;
    bool parentFont_ = true;
    tk::TColor colorHighLight_ = tk::clWhite, colorShadow_ = tk::clBlack;
    tk::TBitmap glyph_;
    TNumGlyphs numGlyphs_ = 1;
    TButtonLayout layout_ = TButtonLayout::blGlyphTop;
    int margin_ = -1, spacing_ = 4;
    int modalResult_ = 0;
    FlatPoint glyphPos_;
    FlatRect textBounds_;
};

class TFlatButton : public TFlatButtonBase {
public:
    explicit TFlatButton(tk::TComponent* owner);
    ~TFlatButton() override;
    std::string_view ClassName() const override { return "TFlatButton"; }

    bool Default() const { return default_; }
    void SetDefault(bool value);
    bool TabStop() const { return tabStop_; }
    void SetTabStop(bool value);

    // The class-wide tracker (tests look at its timer).
    static FlatHotTracker& ClassTracker();
    void WndProc(tk::TMessage& message) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void BoundsChanged() override;
    FlatHotTracker& Tracker() override { return ClassTracker(); }
    bool TakesFocus() const override { return true; }
    bool DefaultBorder() const override { return default_; }
    void PaintButton(HDC dc) override;
    void Accelerator() override;

private:
    bool default_ = false;
    bool tabStop_ = false;
};

class TFlatSpeedButton : public TFlatButtonBase {
public:
    explicit TFlatSpeedButton(tk::TComponent* owner);
    ~TFlatSpeedButton() override;
    std::string_view ClassName() const override { return "TFlatSpeedButton"; }

    static FlatHotTracker& ClassTracker();

protected:
    FlatHotTracker& Tracker() override { return ClassTracker(); }
    bool TakesFocus() const override { return false; }
    void PaintButton(HDC dc) override;
    void Accelerator() override;
};
