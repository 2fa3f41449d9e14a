// The colour properties a flat button and the flat check box publish: the face colour, which can
// follow the parent's, and the three shades drawn with it (the focused face, the pressed face and
// the border). With advanced colours on, the face always follows the parent and the shades are
// worked out from it by their amounts: focused lighter, pressed and border darker. The control
// says what its parent's colour is and repaints itself when told that a colour changed.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "flat/FlatTypes.h"

class FlatFaceColors {
public:
    std::uint32_t Color() const { return color_; }
    void SetColor(std::uint32_t color);  // turns ParentColor off
    bool ParentColor() const { return parentColor_; }
    void SetParentColor(bool value);
    std::uint32_t ColorFocused() const { return focused_; }
    void SetColorFocused(std::uint32_t color) { SetShade(focused_, color); }
    std::uint32_t ColorDown() const { return down_; }
    void SetColorDown(std::uint32_t color) { SetShade(down_, color); }
    std::uint32_t ColorBorder() const { return border_; }
    void SetColorBorder(std::uint32_t color) { SetShade(border_, color); }
    // The amount (0..100) a shade is lighter or darker than the face; 0 keeps the shade as it is.
    TAdvColors AdvColorFocused() const { return advFocused_; }
    void SetAdvColorFocused(TAdvColors amount) { SetAmount(advFocused_, amount); }
    TAdvColors AdvColorDown() const { return advDown_; }
    void SetAdvColorDown(TAdvColors amount) { SetAmount(advDown_, amount); }
    TAdvColors AdvColorBorder() const { return advBorder_; }
    void SetAdvColorBorder(TAdvColors amount) { SetAmount(advBorder_, amount); }
    bool UseAdvColors() const { return useAdvColors_; }
    // Switching on follows the parent's colour and derives the shades; switching off stops
    // following the parent and leaves the shades as they are.
    void SetUseAdvColors(bool value);

    // The parent's colour changed (also on a system colour change and on getting a parent).
    void ParentColorChanged();

protected:
    // Turns a face colour (which may name a system colour) into RGB before shades are derived.
    using ToRgb = std::function<std::uint32_t(std::uint32_t color)>;

    FlatFaceColors(ToRgb toRgb, std::uint32_t focused, std::uint32_t down, std::uint32_t border);
    ~FlatFaceColors() = default;

    // The colour the face takes from the parent; none while there is no parent.
    virtual std::optional<std::uint32_t> ParentFaceColor() const = 0;
    // A colour changed: the control repaints.
    virtual void FaceColorsChanged() = 0;

private:
    void SetShade(std::uint32_t& shade, std::uint32_t color);
    void SetAmount(TAdvColors& amount, TAdvColors value);
    void DeriveShades();

    ToRgb toRgb_;
    std::uint32_t color_ = 0xE1EAEB;
    bool parentColor_ = true;
    std::uint32_t focused_, down_, border_;
    TAdvColors advFocused_ = 10, advDown_ = 10, advBorder_ = 50;
    bool useAdvColors_ = false;
};
