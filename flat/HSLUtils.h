// Conversions between colours (red in the low byte) and hue, saturation and lightness: as reals in
// 0..1, and on the integer scale of HslScale (hue 0..HslScale - 1, saturation and lightness
// 0..HslScale). The three low bytes of a colour are read as they are: a system colour must be
// converted to RGB before it comes here.
#pragma once

#include <cstdint>

inline constexpr int HslScale = 240;

// Nearest integer, ties to even (127.5 -> 128, 126.5 -> 126).
int RoundHalfEven(double x);

void ColorToHsl(std::uint32_t color, double& h, double& s, double& l);
std::uint32_t HslToColor(double h, double s, double l);

void ColorToHslScaled(std::uint32_t color, int& h, int& s, int& l);
std::uint32_t HslScaledToColor(int h, int s, int l);
