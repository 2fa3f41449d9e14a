#include "flat/HSLUtils.h"

#include <algorithm>
#include <cmath>

int RoundHalfEven(double x) {
    const double below = std::floor(x);
    const double fraction = x - below;
    if (fraction < 0.5) return static_cast<int>(below);
    if (fraction > 0.5) return static_cast<int>(below) + 1;
    const int b = static_cast<int>(below);
    return b % 2 == 0 ? b : b + 1;
}

void ColorToHsl(std::uint32_t color, double& h, double& s, double& l) {
    const double r = (color & 0xFF) / 255.0;
    const double g = ((color >> 8) & 0xFF) / 255.0;
    const double b = ((color >> 16) & 0xFF) / 255.0;
    const double cmax = std::max({r, g, b});
    const double cmin = std::min({r, g, b});
    l = (cmax + cmin) / 2;
    if (cmax == cmin) {
        h = 0;
        s = 0;
        return;
    }
    const double d = cmax - cmin;
    s = l < 0.5 ? d / (cmax + cmin) : d / (2 - cmax - cmin);
    if (r == cmax)
        h = (g - b) / d;
    else if (g == cmax)
        h = 2 + (b - r) / d;
    else
        h = 4 + (r - g) / d;
    h /= 6;
    if (h < 0) h += 1;
}

namespace {

std::uint32_t Channel(double m1, double m2, double x) {
    if (x < 0)
        x += 1;
    else if (x > 1)
        x -= 1;
    double v;
    if (6 * x < 1)
        v = m1 + (m2 - m1) * x * 6;
    else if (2 * x < 1)
        v = m2;
    else if (3 * x < 2)
        v = m1 + (m2 - m1) * (2.0 / 3 - x) * 6;
    else
        v = m1;
    return static_cast<std::uint32_t>(RoundHalfEven(255 * v)) & 0xFF;
}

}  // namespace

std::uint32_t HslToColor(double h, double s, double l) {
    if (s == 0) {
        const std::uint32_t grey = static_cast<std::uint32_t>(RoundHalfEven(255 * l)) & 0xFF;
        return grey | (grey << 8) | (grey << 16);
    }
    const double m2 = l <= 0.5 ? l * (1 + s) : l + s - l * s;
    const double m1 = 2 * l - m2;
    const std::uint32_t red = Channel(m1, m2, h + 1.0 / 3);
    const std::uint32_t green = Channel(m1, m2, h);
    const std::uint32_t blue = Channel(m1, m2, h - 1.0 / 3);
    return red + green * 256 + blue * 65536;
}

void ColorToHslScaled(std::uint32_t color, int& h, int& s, int& l) {
    double hr, sr, lr;
    ColorToHsl(color, hr, sr, lr);
    h = RoundHalfEven(hr * (HslScale - 1));
    s = RoundHalfEven(sr * HslScale);
    l = RoundHalfEven(lr * HslScale);
}

std::uint32_t HslScaledToColor(int h, int s, int l) {
    return HslToColor(static_cast<double>(h) / (HslScale - 1), static_cast<double>(s) / HslScale,
                      static_cast<double>(l) / HslScale);
}
