#include "flat/FlatTypes.h"

#include "flat/HSLUtils.h"

std::uint32_t AdvancedColorRgb(std::uint32_t baseRgb, std::uint32_t fallback, std::uint8_t amount, TLightShift shift) {
    if (amount == 0) return fallback;
    int h, s, l;
    ColorToHslScaled(baseRgb, h, s, l);
    l += 10;
    if (shift == TLightShift::lsLighten)
        l = l + amount > 100 ? 100 : l + amount;
    else
        l = l - amount < 0 ? 0 : l - amount;
    return HslScaledToColor(h, s, l);
}
