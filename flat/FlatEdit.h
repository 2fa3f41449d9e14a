// A flat single-line edit: no sunken border but a three-pixel frame of its own in the non-client
// area (a one-pixel outer line in ColorBorder and a two-pixel band in the face colour), with the
// text area in the same face colour: ColorFlat at rest, ColorFocused while the edit has the focus
// or the mouse is over it (not while another flat edit has the focus).
#pragma once

#include "flat/FlatUtilitys.h"
#include "toolkit/win/Scoped.h"
#include "toolkit/win/StdCtrls.h"

class TCustomFlatEdit : public tk::TEdit {
public:
    explicit TCustomFlatEdit(tk::TComponent* owner);
    ~TCustomFlatEdit() override;
    std::string_view ClassName() const override { return "TCustomFlatEdit"; }

    tk::TColor ColorFocused() const { return colorFocused_; }
    void SetColorFocused(tk::TColor c);
    tk::TColor ColorBorder() const { return colorBorder_; }
    void SetColorBorder(tk::TColor c);
    tk::TColor ColorFlat() const { return colorFlat_; }
    // Turns ParentColor off.
    void SetColorFlat(tk::TColor c);
    bool ParentColor() const { return parentColor_; }
    void SetParentColor(bool value);
    TAdvColors AdvColorFocused() const { return advFocused_; }
    void SetAdvColorFocused(TAdvColors v);
    TAdvColors AdvColorBorder() const { return advBorder_; }
    void SetAdvColorBorder(TAdvColors v);
    bool UseAdvColors() const { return useAdvColors_; }
    void SetUseAdvColors(bool value);
    bool TabStop() const { return tabStop_; }
    void SetTabStop(bool value);

    // The colour of the text area (the face the last frame redraw chose).
    tk::TColor Color() const { return color_; }
    bool MouseInControl() const { return mouseInControl_; }

    void ParentColorChanged();
    // Height from the font: its text height plus the frame.
    void AdjustHeight();
    // Draws the frame and picks the face colour.
    void RedrawBorder();

    void SetParent(tk::TWinControl* parent) override;
    void WndProc(tk::TMessage& message) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void EnabledChanged() override;
    void FontChanged() override;

private:
    void DeriveColors();
    void SetFaceColor(tk::TColor color);

    tk::TColor colorFocused_ = tk::clWhite, colorBorder_ = 0x8396A0, colorFlat_ = 0xE1EAEB;
    tk::TColor color_ = 0xE1EAEB;
    bool parentColor_ = true;
    TAdvColors advFocused_ = 10, advBorder_ = 50;
    bool useAdvColors_ = false;
    bool tabStop_ = true;
    bool mouseInControl_ = false;
    tk::ScopedBrush faceBrush_;
};

class TFlatEdit : public TCustomFlatEdit {
public:
    using TCustomFlatEdit::TCustomFlatEdit;
    std::string_view ClassName() const override { return "TFlatEdit"; }
};
