// A flat check box: an 11 x 11 square with a one-pixel border, filled in a colour that follows
// focus, hover and press, a six-stroke check mark, and a word-wrapped caption beside it.
#pragma once

#include "flat/FlatButton.h"
#include "flat/FlatFaceColors.h"
#include "flat/FlatHotTrack.h"
#include "flat/FlatLayout.h"
#include "flat/FlatUtilitys.h"
#include "toolkit/win/Control.h"
#include "toolkit/win/Scoped.h"

class TFlatCheckBox : public tk::TWinControl, public FlatFaceColors, private FlatHotTracker::Client {
public:
    explicit TFlatCheckBox(tk::TComponent* owner);
    ~TFlatCheckBox() override;
    std::string_view ClassName() const override { return "TFlatCheckBox"; }

    bool Checked() const { return checked_; }
    // A change fires OnClick and redraws the square; setting the value it has does nothing.
    void SetChecked(bool checked);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool value);
    TCheckBoxLayout Layout() const { return layout_; }
    void SetLayout(TCheckBoxLayout layout);
    bool TabStop() const { return tabStop_; }
    void SetTabStop(bool value);

    // Color, ParentColor, the three shades and the advanced colours come from FlatFaceColors.

    bool ParentFont() const { return parentFont_; }
    void SetParentFont(bool value);
    tk::TColor ColorCheck() const { return colorCheck_; }
    void SetColorCheck(tk::TColor c) { colorCheck_ = c; Invalidate(); }

    TFlatMouseEvent OnMouseDown, OnMouseMove, OnMouseUp;
    tk::TNotifyEvent OnEnter, OnExit;

    bool Hot() const { return hot_; }
    bool Pressed() const { return pressed_; }

    static FlatHotTracker& ClassTracker();

    void SetParent(tk::TWinControl* parent) override;
    void WndProc(tk::TMessage& message) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void EnabledChanged() override;
    void CaptionChanged() override;
    void FontChanged() override;
    void BoundsChanged() override;

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
    void HotEnter() override;
    void HotLeave() override;
    void Paint(HDC dc);
    void DrawSquare(tk::TCanvas& canvas);
    void RedrawSquare();
    std::optional<std::uint32_t> ParentFaceColor() const override { return ParentColorIfAny(Parent()); }
    void FaceColorsChanged() override { Invalidate(); }
    void Toggle() { SetChecked(!checked_); }

    bool checked_ = false;
    bool transparent_ = false;
    TCheckBoxLayout layout_ = TCheckBoxLayout::checkboxLeft;
    bool tabStop_ = true;
    bool parentFont_ = true;
    tk::TColor colorCheck_ = tk::clBlack;
    bool hot_ = false, pressed_ = false, focused_ = false;
};
