// The enumerations the flat controls share and the platform-free half of their colour derivation.
#pragma once

#include <cstdint>

// When a flat button paints its parent's background instead of its face.
enum class TTransparentMode { tmAlways, tmNotFocused, tmNone };
// Side of the check square relative to the caption.
enum class TCheckBoxLayout { checkboxLeft, checkboxRight };
// Number of equal-width images in a button glyph strip (1..4).
using TNumGlyphs = int;
// Amount used by AdvancedColor (0..100).
using TAdvColors = int;
// Direction of AdvancedColor.
enum class TLightShift { lsLighten, lsDarken };

// A lighter or darker variant of an RGB colour (no system colour): its lightness on the 0..240
// scale is raised by 10, then moved by the amount, capped at 100 when lightening (so a light colour
// comes out darker) and at 0 when darkening. An amount of 0 gives the fallback unchanged.
std::uint32_t AdvancedColorRgb(std::uint32_t baseRgb, std::uint32_t fallback, std::uint8_t amount, TLightShift shift);
