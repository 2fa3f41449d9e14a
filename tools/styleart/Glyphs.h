// The pictures on the title buttons, as signed distance functions over a square button of side s
// placed at (ox, oy): control-box menu mark, help, maximise, restore, minimise and close.
#pragma once

#include <algorithm>
#include <cmath>
#include <numbers>

#include "tools/styleart/Paint.h"

namespace art {

enum class GlyphKind { ControlBox, Help, Max, Restore, Min, Close };

// The outline of a rectangle with a heavier top edge (a window).
inline double WindowOutlineSd(double px, double py, double l, double t, double r, double b, double line, double top) {
    const double outer = RoundRectSd(px, py, l, t, r, b, 0.4);
    const double inner = RoundRectSd(px, py, l + line, t + top, r - line, b - line, 0.1);
    return std::max(outer, -inner);
}

inline Sdf GlyphSdf(GlyphKind kind, double ox, double oy, double s) {
    const double hw = std::max(0.75, s * 0.06);  // half the stroke width
    auto P = [=](double v) { return v * s; };
    switch (kind) {
    case GlyphKind::Close:
        return [=](double px, double py) {
            px -= ox;
            py -= oy;
            const double a = SegmentSd(px, py, P(0.31), P(0.31), P(0.69), P(0.69), hw);
            const double b = SegmentSd(px, py, P(0.69), P(0.31), P(0.31), P(0.69), hw);
            return std::min(a, b);
        };
    case GlyphKind::Min:
        return [=](double px, double py) {
            return RoundRectSd(px - ox, py - oy, P(0.28), P(0.62), P(0.72), P(0.62) + 2 * hw + 0.3, 0.3);
        };
    case GlyphKind::Max:
        return [=](double px, double py) {
            return WindowOutlineSd(px - ox, py - oy, P(0.27), P(0.27), P(0.73), P(0.73), hw * 1.3, hw * 2.6);
        };
    case GlyphKind::Restore:
        return [=](double px, double py) {
            px -= ox;
            py -= oy;
            const double back = WindowOutlineSd(px, py, P(0.40), P(0.22), P(0.76), P(0.58), hw * 1.2, hw * 2.2);
            const double frontBox = RoundRectSd(px, py, P(0.24), P(0.40), P(0.60), P(0.76), 0.4);
            const double front = WindowOutlineSd(px, py, P(0.24), P(0.40), P(0.60), P(0.76), hw * 1.2, hw * 2.2);
            // The back window is hidden behind the front one.
            return std::min(std::max(back, -(frontBox + 0.8)), front);
        };
    case GlyphKind::Help:
        return [=](double px, double py) {
            px -= ox;
            py -= oy;
            const double cx = P(0.5), cy = P(0.37), r = P(0.15);
            const double a = std::atan2(py - cy, px - cx);
            double arc;
            if (a > std::numbers::pi / 2 && a < std::numbers::pi * 0.97) {
                arc = std::min(std::hypot(px - (cx - r), py - cy), std::hypot(px - cx, py - (cy + r))) - hw;
            } else {
                arc = std::abs(std::hypot(px - cx, py - cy) - r) - hw;
            }
            const double stem = SegmentSd(px, py, cx, cy + r, cx, P(0.62), hw);
            const double dot = CircleSd(px, py, cx, P(0.76), hw * 1.25);
            return std::min({arc, stem, dot});
        };
    case GlyphKind::ControlBox:
    default:
        return [=](double px, double py) {
            px -= ox;
            py -= oy;
            // A downward triangle: the window menu.
            const double cx = P(0.5), top = P(0.40), bottom = P(0.64), half = P(0.22);
            const double slope = half / (bottom - top);
            const double edge = (std::abs(px - cx) - (bottom - py) * slope) / std::hypot(1.0, slope);
            return std::max({top - py, py - bottom, edge}) - 0.25;
        };
    }
}

}  // namespace art
