// Panels: a windowed container with a background colour that paints itself through a canvas
// (TCustomPanel), and the plain panel with bevels and a border (TPanel). A panel lays out the
// child controls that ask to fill it or to sit at its top.
#pragma once

#include "toolkit/win/Canvas.h"
#include "toolkit/win/Control.h"

namespace tk {

enum class TPanelBevel { None, Lowered, Raised };
enum class TPanelBorder { None, Single };

class TCustomPanel : public TWinControl {
public:
    explicit TCustomPanel(TComponent* owner);
    std::string_view ClassName() const override { return "TCustomPanel"; }

    TColor Color() const { return color_; }
    virtual void SetColor(TColor color);

    TPanelBevel BevelOuter() const { return bevelOuter_; }
    TPanelBevel BevelInner() const { return bevelInner_; }
    TPanelBorder BorderStyle() const { return border_; }
    void SetBevelOuter(TPanelBevel bevel) { bevelOuter_ = bevel; Invalidate(); }
    void SetBevelInner(TPanelBevel bevel) { bevelInner_ = bevel; Invalidate(); }
    void SetBorderStyle(TPanelBorder border) { border_ = border; Invalidate(); }

    // Repaints now, without waiting for a paint message (nothing before the window exists).
    void Repaint();

    void WndProc(TMessage& message) override;

protected:
    void CreateParams(TCreateParams& params) override;
    // Paints the whole control; the default fills the colour and draws the bevels.
    virtual void Paint(TCanvas& canvas);
    // Fills a rectangle of the panel's background (panel coordinates) into a context that draws
    // for a child: a see-through child (a flat tool bar) asks its parent for what lies under it.
    virtual void PaintBackground(TCanvas& canvas, const TRect& rect);
    // The control's client size changed (after the window moved or was resized).
    virtual void Resized() {}

private:
    TColor color_ = clBtnFace;
    TPanelBevel bevelOuter_ = TPanelBevel::Raised;
    TPanelBevel bevelInner_ = TPanelBevel::None;
    TPanelBorder border_ = TPanelBorder::None;
};

class TPanel : public TCustomPanel {
public:
    using TCustomPanel::TCustomPanel;
    std::string_view ClassName() const override { return "TPanel"; }
};

}  // namespace tk
