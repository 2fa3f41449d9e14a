#include "flat/FlatFaceColors.h"

#include <utility>

FlatFaceColors::FlatFaceColors(ToRgb toRgb, std::uint32_t focused, std::uint32_t down, std::uint32_t border)
    : toRgb_(std::move(toRgb)), focused_(focused), down_(down), border_(border) {}

void FlatFaceColors::SetColor(std::uint32_t color) {
    parentColor_ = false;
    color_ = color;
    DeriveShades();
    FaceColorsChanged();
}

void FlatFaceColors::SetParentColor(bool value) {
    if (parentColor_ == value) return;
    parentColor_ = value;
    if (value) ParentColorChanged();
}

void FlatFaceColors::SetShade(std::uint32_t& shade, std::uint32_t color) {
    shade = color;
    FaceColorsChanged();
}

void FlatFaceColors::SetAmount(TAdvColors& amount, TAdvColors value) {
    amount = value;
    DeriveShades();
    FaceColorsChanged();
}

void FlatFaceColors::SetUseAdvColors(bool value) {
    if (value != useAdvColors_) {
        useAdvColors_ = value;
        SetParentColor(value);
        DeriveShades();
    }
    FaceColorsChanged();
}

void FlatFaceColors::ParentColorChanged() {
    if (useAdvColors_) parentColor_ = true;
    if (parentColor_)
        if (const std::optional<std::uint32_t> parent = ParentFaceColor()) color_ = *parent;
    DeriveShades();
    FaceColorsChanged();
}

void FlatFaceColors::DeriveShades() {
    if (!useAdvColors_) return;
    const std::uint32_t rgb = toRgb_(color_);
    focused_ = AdvancedColorRgb(rgb, focused_, static_cast<std::uint8_t>(advFocused_), TLightShift::lsLighten);
    down_ = AdvancedColorRgb(rgb, down_, static_cast<std::uint8_t>(advDown_), TLightShift::lsDarken);
    border_ = AdvancedColorRgb(rgb, border_, static_cast<std::uint8_t>(advBorder_), TLightShift::lsDarken);
}
