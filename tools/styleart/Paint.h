// A small software painter for the built-in style artwork: colours as reals, pictures as 0x00RRGGBB
// pixels (tk::BmpImage), and shapes given by signed distance functions (negative inside), drawn
// with antialiased edges. No randomness and no fonts, so every run writes the same pixels.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>

#include "toolkit/BmpImage.h"

namespace art {

struct Rgb {
    double r = 0, g = 0, b = 0;
};

inline Rgb Hex(std::uint32_t rgb) { return {double((rgb >> 16) & 0xFF), double((rgb >> 8) & 0xFF), double(rgb & 0xFF)}; }

inline Rgb Mix(Rgb a, Rgb b, double t) {
    t = std::clamp(t, 0.0, 1.0);
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

inline Rgb Add(Rgb a, double v) { return {a.r + v, a.g + v, a.b + v}; }

inline std::uint32_t Pack(Rgb c) {
    auto ch = [](double v) { return static_cast<std::uint32_t>(std::clamp(std::lround(v), 0L, 255L)); };
    return (ch(c.r) << 16) | (ch(c.g) << 8) | ch(c.b);
}

inline Rgb Unpack(std::uint32_t p) { return Hex(p); }

// The key colour of transparent pictures.
inline constexpr std::uint32_t kMagenta = 0xFF00FF;

inline tk::BmpImage NewImage(int w, int h, std::uint32_t fill = 0) {
    tk::BmpImage image;
    image.width = w;
    image.height = h;
    image.pixels.assign(static_cast<std::size_t>(w) * h, fill);
    return image;
}

inline void Blend(tk::BmpImage& img, int x, int y, Rgb c, double alpha) {
    if (x < 0 || y < 0 || x >= img.width || y >= img.height || alpha <= 0) return;
    img.SetPixel(x, y, Pack(Mix(Unpack(img.Pixel(x, y)), c, alpha)));
}

// Signed distances (negative inside), in pixel units, for points (px, py).
inline double RoundRectSd(double px, double py, double l, double t, double r, double b, double radius) {
    const double cx = (l + r) / 2, cy = (t + b) / 2;
    const double hx = (r - l) / 2 - radius, hy = (b - t) / 2 - radius;
    const double qx = std::abs(px - cx) - hx, qy = std::abs(py - cy) - hy;
    const double outside = std::hypot(std::max(qx, 0.0), std::max(qy, 0.0));
    return outside + std::min(std::max(qx, qy), 0.0) - radius;
}

inline double CircleSd(double px, double py, double cx, double cy, double radius) {
    return std::hypot(px - cx, py - cy) - radius;
}

inline double SegmentSd(double px, double py, double ax, double ay, double bx, double by, double halfWidth) {
    const double dx = bx - ax, dy = by - ay;
    const double len2 = dx * dx + dy * dy;
    const double t = len2 == 0 ? 0 : std::clamp(((px - ax) * dx + (py - ay) * dy) / len2, 0.0, 1.0);
    return std::hypot(px - (ax + t * dx), py - (ay + t * dy)) - halfWidth;
}

using Sdf = std::function<double(double, double)>;
using Shader = std::function<Rgb(double, double)>;

// Coverage of a pixel by a shape from its distance at the pixel centre.
inline double CoverageAt(const Sdf& sd, int x, int y) { return std::clamp(0.5 - sd(x + 0.5, y + 0.5), 0.0, 1.0); }

// Paints a shape with a colour per point over the box (x0, y0)..(x1, y1) of the picture.
inline void Fill(tk::BmpImage& img, int x0, int y0, int x1, int y1, const Sdf& sd, const Shader& shade,
                 double opacity = 1.0) {
    for (int y = std::max(0, y0); y < std::min(img.height, y1); ++y)
        for (int x = std::max(0, x0); x < std::min(img.width, x1); ++x) {
            const double a = CoverageAt(sd, x, y) * opacity;
            if (a > 0) Blend(img, x, y, shade(x + 0.5, y + 0.5), a);
        }
}

inline void FillSolid(tk::BmpImage& img, int x0, int y0, int x1, int y1, const Sdf& sd, Rgb c, double opacity = 1.0) {
    Fill(img, x0, y0, x1, y1, sd, [c](double, double) { return c; }, opacity);
}

// Pixels of the picture box that the shape does not touch at all become the key colour; edge
// pixels keep their colour blended over the backdrop they were painted on, so no pink fringe shows.
inline void KeyOutside(tk::BmpImage& img, int x0, int y0, int x1, int y1, const Sdf& sd) {
    for (int y = std::max(0, y0); y < std::min(img.height, y1); ++y)
        for (int x = std::max(0, x0); x < std::min(img.width, x1); ++x)
            if (CoverageAt(sd, x, y) <= 0.02) img.SetPixel(x, y, kMagenta);
}

// A row-dependent brushed texture value in about -1..1 (same for every column: stretch-safe).
inline double RowGrain(int y, double seed) {
    return 0.55 * std::sin(y * 2.71 + seed) + 0.3 * std::sin(y * 1.13 + seed * 2.3) + 0.15 * std::sin(y * 5.9 + seed);
}

// A two-dimensional brushed texture value in about -1..1: long horizontal streaks.
inline double BrushGrain(int x, int y, double seed) {
    const double streak = std::sin(y * 3.7 + seed + std::sin(x * 0.05 + y) * 1.5);
    const double fine = std::sin(x * 0.31 + y * 7.3 + seed) * std::sin(x * 0.07 + y * 1.9);
    return 0.7 * streak + 0.3 * fine;
}

}  // namespace art
