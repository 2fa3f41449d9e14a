// The drawing of each picture of a style from its look.
#include <array>

#include "tools/styleart/StyleParts.h"

namespace art {

namespace {

constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kBlack{0, 0, 0};

Rgb Lighter(Rgb c, double amount) { return Mix(c, kWhite, amount); }
Rgb Darker(Rgb c, double amount) { return Mix(c, kBlack, amount); }

// Blends a colour over the pixels a shape covers, with a per-point colour and opacity.
void Paint(tk::BmpImage& img, int x0, int y0, int x1, int y1, const Sdf& sd,
           const std::function<Rgb(double, double)>& colour, const std::function<double(double, double)>& opacity) {
    for (int y = std::max(0, y0); y < std::min(img.height, y1); ++y)
        for (int x = std::max(0, x0); x < std::min(img.width, x1); ++x) {
            const double a = CoverageAt(sd, x, y) * opacity(x + 0.5, y + 0.5);
            if (a > 0) Blend(img, x, y, colour(x + 0.5, y + 0.5), a);
        }
}

Sdf Shifted(const Sdf& sd, double grow) {
    return [sd, grow](double px, double py) { return sd(px, py) + grow; };
}

tk::BmpImage TitlePieceImage(const StyleLook& look, TitlePiece piece, int width) {
    tk::BmpImage img = NewImage(width, look.titleHeight);
    const double r = look.cornerRadius;
    for (int y = 0; y < look.titleHeight; ++y)
        for (int x = 0; x < width; ++x) {
            Rgb c = look.titleColor(x, y, piece, width);
            if (r > 0 && y < r) {
                // The rounded top corner: outside it the window's outline colour (cut away by the
                // window region), a darker rim along the curve.
                double cx = -1;
                if (piece == TitlePiece::Left && x < r) cx = x + 0.5;
                if (piece == TitlePiece::Right && x >= width - r) cx = width - (x + 0.5);
                if (cx >= 0) {
                    const double d = std::hypot(r - cx, r - (y + 0.5)) - r;  // > 0 outside
                    const double inside = std::clamp(0.5 - d, 0.0, 1.0);
                    const double rim = std::clamp(1.0 - std::abs(d + 0.5), 0.0, 1.0);
                    c = Mix(c, look.titleColor(x, 0, piece, width), rim * 0.8);
                    c = Mix(look.outside, c, inside);
                }
            }
            img.SetPixel(x, y, Pack(c));
        }
    return img;
}

Sdf ButtonShapeSdf(ButtonShape shape, double ox, double s) {
    switch (shape) {
    case ButtonShape::Gem: return [=](double px, double py) { return CircleSd(px, py, ox + s / 2, s / 2, s / 2 - 1.0); };
    case ButtonShape::Bubble: return [=](double px, double py) { return CircleSd(px, py, ox + s / 2, s / 2, s / 2 - 0.6); };
    case ButtonShape::RoundSquare:
        return [=](double px, double py) { return RoundRectSd(px, py, ox + 0.5, 0.5, ox + s - 0.5, s - 0.5, 3.2); };
    case ButtonShape::Square:
    default: return [=](double px, double py) { return RoundRectSd(px, py, ox + 0.5, 0.5, ox + s - 0.5, s - 0.5, 1.6); };
    }
}

void DrawTitleButton(tk::BmpImage& strip, const StyleLook& look, int index, GlyphKind kind, ButtonState state) {
    const int s = look.buttonSize;
    const int ox = index * s;
    const ButtonColors col = look.buttonColors(kind, state);
    // The title behind the button: the picture is drawn over it (opaque) or its edges are blended
    // over it (transparent).
    for (int y = 0; y < s; ++y) {
        const Rgb back = look.titleColor(0, std::min(look.titleHeight - 1, y + look.buttonTop), TitlePiece::Client,
                                         look.clientWidth);
        for (int x = 0; x < s; ++x) strip.SetPixel(ox + x, y, Pack(back));
    }
    const Sdf outer = ButtonShapeSdf(look.shape, ox, s);
    const Sdf inner = Shifted(outer, 1.0);
    const bool round = look.shape == ButtonShape::Gem || look.shape == ButtonShape::Bubble;
    // Rim, then the face as a vertical gradient.
    FillSolid(strip, ox, 0, ox + s, s, outer, col.rim, look.shape == ButtonShape::RoundSquare ? 0.92 : 1.0);
    Paint(strip, ox, 0, ox + s, s, inner, [&](double, double py) { return Mix(col.top, col.bottom, (py - 1) / (s - 2)); },
          [](double, double) { return 1.0; });
    // Gloss.
    if (round) {
        const double cx = ox + s / 2.0, cy = s * 0.30, rx = s * 0.31, ry = s * 0.19;
        Paint(strip, ox, 0, ox + s, s, inner, [](double, double) { return kWhite; }, [=](double px, double py) {
            const double e = std::hypot((px - cx) / rx, (py - cy) / ry);
            return e < 1 ? 0.75 * (1 - e * e) * (state == ButtonState::Down ? 0.5 : 1.0) : 0.0;
        });
        // A faint glow at the bottom, as light passing through the bead.
        Paint(strip, ox, 0, ox + s, s, inner, [&](double, double) { return Lighter(col.bottom, 0.5); },
              [=](double px, double py) {
                  const double e = std::hypot((px - cx) / (s * 0.35), (py - s * 0.82) / (s * 0.22));
                  return e < 1 ? 0.45 * (1 - e) : 0.0;
              });
    } else {
        const double split = s * 0.46;
        Paint(strip, ox, 0, ox + s, s, inner, [](double, double) { return kWhite; },
              [=](double, double py) { return py < split && state != ButtonState::Down ? 0.16 : 0.0; });
        if (look.shape == ButtonShape::Square)
            Paint(strip, ox, 0, ox + s, s, inner, [](double, double) { return kWhite; },
                  [=](double, double py) { return py < 2.6 ? 0.25 : 0.0; });
    }
    // The picture, pressed a pixel down and right; small beads get a smaller picture.
    const double shift = state == ButtonState::Down ? 1.0 : 0.0;
    const double scale = round ? 0.84 : 1.0;
    const double gs = s * scale, go = (s - gs) / 2;
    const Sdf glyph = GlyphSdf(kind, ox + go + shift, go + shift, gs);
    if (look.shape == ButtonShape::Bubble && col.glyph.r > 200)  // light pictures get a soft shadow
        FillSolid(strip, ox, 0, ox + s, s, [&](double px, double py) { return glyph(px - 0.7, py - 0.9); },
                  Darker(col.bottom, 0.5), 0.45 * col.glyphOpacity);
    FillSolid(strip, ox, 0, ox + s, s, glyph, col.glyph, col.glyphOpacity);
    if (look.transparentButtons) KeyOutside(strip, ox, 0, ox + s, s, outer);
}

// A box with a rounded outline, a face gradient and a rim, for the small controls.
void Box(tk::BmpImage& img, double l, double t, double r, double b, double radius, Rgb rim, Rgb top, Rgb bottom,
         double gloss = 0.0) {
    const Sdf outer = [=](double px, double py) { return RoundRectSd(px, py, l, t, r, b, radius); };
    const Sdf inner = Shifted(outer, 1.0);
    const int x0 = static_cast<int>(l) - 1, x1 = static_cast<int>(r) + 2;
    const int y0 = static_cast<int>(t) - 1, y1 = static_cast<int>(b) + 2;
    FillSolid(img, x0, y0, x1, y1, outer, rim);
    Paint(img, x0, y0, x1, y1, inner, [=](double, double py) { return Mix(top, bottom, (py - t) / std::max(1.0, b - t)); },
          [](double, double) { return 1.0; });
    if (gloss > 0)
        Paint(img, x0, y0, x1, y1, inner, [](double, double) { return kWhite; },
              [=](double, double py) { return py < (t + b) / 2 ? gloss : 0.0; });
}

// A small arrow pointing in direction d (0 up, 1 down, 2 left, 3 right) centred at (cx, cy).
void Arrow(tk::BmpImage& img, double cx, double cy, double size, int d, Rgb c) {
    const Sdf tri = [=](double px, double py) {
        double u = px - cx, v = py - cy;  // v along the arrow, u across
        double along, across;
        switch (d) {
        case 0: along = -v; across = u; break;
        case 1: along = v; across = u; break;
        case 2: along = -u; across = v; break;
        default: along = u; across = v; break;
        }
        // Tip at along = size / 2, base at along = -size / 3.
        const double tip = size / 2, base = -size / 3, half = size * 0.6;
        const double slope = half / (tip - base);
        const double side = (std::abs(across) - (tip - along) * slope) / std::hypot(1.0, slope);
        return std::max({base - along, along - tip, side}) - 0.2;
    };
    FillSolid(img, static_cast<int>(cx - size), static_cast<int>(cy - size), static_cast<int>(cx + size) + 1,
              static_cast<int>(cy + size) + 1, tri, c);
}

}  // namespace

TitlePieces DrawTitle(const StyleLook& look) {
    return {TitlePieceImage(look, TitlePiece::Left, look.leftWidth), TitlePieceImage(look, TitlePiece::Client, look.clientWidth),
            TitlePieceImage(look, TitlePiece::Right, look.rightWidth)};
}

tk::BmpImage DrawTitleButtons(const StyleLook& look) {
    tk::BmpImage strip = NewImage(18 * look.buttonSize, look.buttonSize);
    constexpr GlyphKind kinds[6] = {GlyphKind::ControlBox, GlyphKind::Help, GlyphKind::Max,
                                    GlyphKind::Restore, GlyphKind::Min, GlyphKind::Close};
    for (int k = 0; k < 6; ++k)
        for (int s = 0; s < 3; ++s) DrawTitleButton(strip, look, k * 3 + s, kinds[k], static_cast<ButtonState>(s));
    return strip;
}

// Push button: normal, mouse-over, pressed, disabled, default; 23 x 22 each.
tk::BmpImage DrawPushButtons(const Palette& p) {
    constexpr int w = 23, h = 22;
    tk::BmpImage img = NewImage(5 * w, h, Pack(p.face));
    for (int i = 0; i < 5; ++i) {
        const double l = i * w + 0.5, r = (i + 1) * w - 0.5;
        switch (i) {
        case 0: Box(img, l, 0.5, r, h - 0.5, p.radius, p.border, Lighter(p.face, 0.8), Darker(p.face, 0.06), 0.2); break;
        case 1: Box(img, l, 0.5, r, h - 0.5, p.radius, p.accent, Lighter(p.accentLight, 0.7), p.accentLight, 0.25); break;
        case 2: Box(img, l, 0.5, r, h - 0.5, p.radius, p.accentDark, Darker(p.face, 0.15), Lighter(p.face, 0.3)); break;
        case 3: Box(img, l, 0.5, r, h - 0.5, p.radius, Mix(p.border, p.face, 0.6), Lighter(p.face, 0.5), p.face); break;
        default:
            Box(img, l, 0.5, r, h - 0.5, p.radius, p.accentDark, Lighter(p.face, 0.8), Darker(p.face, 0.06), 0.2);
            Box(img, l + 1.5, 2, r - 1.5, h - 2, std::max(0.0, p.radius - 1), Mix(p.accent, kWhite, 0.3),
                Lighter(p.face, 0.8), Darker(p.face, 0.06), 0.2);
            break;
        }
    }
    return img;
}

// Check box or radio button: unchecked and checked, each normal, mouse-over, pressed, disabled;
// 13 x 13 each.
tk::BmpImage DrawCheckBoxes(const Palette& p, bool radio) {
    constexpr int s = 13;
    tk::BmpImage img = NewImage(8 * s, s, Pack(p.face));
    for (int i = 0; i < 8; ++i) {
        const int state = i % 4;
        const bool checked = i >= 4;
        const double ox = i * s;
        Rgb rim = state == 3 ? Mix(p.border, p.face, 0.6) : (state == 1 ? p.accent : p.border);
        Rgb top = state == 2 ? Darker(p.face, 0.12) : kWhite;
        Rgb bottom = state == 2 ? Lighter(p.face, 0.3) : (state == 1 ? Lighter(p.accentLight, 0.4) : Lighter(p.face, 0.4));
        if (radio) {
            const Sdf outer = [=](double px, double py) { return CircleSd(px, py, ox + 6.5, 6.5, 6.0); };
            FillSolid(img, static_cast<int>(ox), 0, static_cast<int>(ox) + s, s, outer, rim);
            Paint(img, static_cast<int>(ox), 0, static_cast<int>(ox) + s, s, Shifted(outer, 1.0),
                  [=](double, double py) { return Mix(top, bottom, py / s); }, [](double, double) { return 1.0; });
        } else {
            Box(img, ox + 0.5, 0.5, ox + s - 0.5, s - 0.5, std::min(2.0, p.radius), rim, top, bottom);
        }
        if (!checked) continue;
        const Rgb mark = state == 3 ? Mix(p.glyph, p.face, 0.6) : p.glyph;
        if (radio) {
            FillSolid(img, static_cast<int>(ox), 0, static_cast<int>(ox) + s, s,
                      [=](double px, double py) { return CircleSd(px, py, ox + 6.5, 6.5, 2.6); }, mark);
        } else {
            FillSolid(img, static_cast<int>(ox), 0, static_cast<int>(ox) + s, s, [=](double px, double py) {
                return std::min(SegmentSd(px, py, ox + 3.3, 6.6, ox + 5.5, 9.0, 0.95),
                                SegmentSd(px, py, ox + 5.5, 9.0, ox + 9.8, 3.6, 0.95));
            }, mark);
        }
    }
    return img;
}

// Check list box marks: unchecked and checked, 13 x 13 each, flat.
tk::BmpImage DrawCheckList(const Palette& p) {
    constexpr int s = 13;
    tk::BmpImage img = NewImage(2 * s, s, 0xFFFFFF);
    for (int i = 0; i < 2; ++i) {
        const double ox = i * s;
        Box(img, ox + 1.5, 1.5, ox + s - 1.5, s - 1.5, 1, p.border, kWhite, kWhite);
        if (i == 1)
            FillSolid(img, static_cast<int>(ox), 0, static_cast<int>(ox) + s, s, [=](double px, double py) {
                return std::min(SegmentSd(px, py, ox + 3.8, 6.4, ox + 5.6, 8.5, 0.8),
                                SegmentSd(px, py, ox + 5.6, 8.5, ox + 9.2, 4.2, 0.8));
            }, p.glyph);
    }
    return img;
}

// Progress bar: the empty track and the filled bar, 16 x 16 each.
tk::BmpImage DrawProgressBar(const Palette& p) {
    constexpr int s = 16;
    tk::BmpImage img = NewImage(2 * s, s, Pack(p.face));
    Box(img, 0.5, 0.5, s - 0.5, s - 0.5, 2, p.border, Darker(p.face, 0.08), Lighter(p.face, 0.6));
    Box(img, s + 0.5, 0.5, 2 * s - 0.5, s - 0.5, 2, p.accentDark, p.accentLight, p.accent, 0.25);
    return img;
}

// Track bar groove: three parts of 8 x 6 (left end, middle, right end).
tk::BmpImage DrawTrackBar(const Palette& p) {
    tk::BmpImage img = NewImage(24, 6, Pack(p.face));
    Box(img, 0.5, 0.5, 23.5, 5.5, 2.5, Darker(p.border, 0.1), Darker(p.face, 0.2), Lighter(p.face, 0.5));
    return img;
}

// Track bar slider: normal, mouse-over, pressed; 11 x 18 each (pointing down), or 18 x 11 each
// (pointing right) for the vertical bar.
tk::BmpImage DrawSlider(const Palette& p, bool vertical) {
    const int w = vertical ? 18 : 11, h = vertical ? 11 : 18;
    tk::BmpImage img = NewImage(3 * w, h, Pack(p.face));
    for (int i = 0; i < 3; ++i) {
        const double ox = i * w;
        const Rgb top = i == 2 ? p.accent : (i == 1 ? Lighter(p.accentLight, 0.5) : kWhite);
        const Rgb bottom = i == 2 ? p.accentLight : (i == 1 ? p.accentLight : Darker(p.face, 0.05));
        const Sdf body = [=](double px, double py) {
            const double u = vertical ? px - ox : py, v = vertical ? py : px - ox;  // u along the pointer
            const double len = vertical ? w : h, wid = vertical ? h : w;
            const double rect = RoundRectSd(v, u, 0.5, 0.5, wid - 0.5, len - 5, 1.5);
            const double tipSlope = (wid / 2.0) / 5.0;
            const double tip = std::max(u - (len - 0.5), (std::abs(v - wid / 2.0) - (len - 0.5 - u) * tipSlope) /
                                                             std::hypot(1.0, tipSlope));
            return std::min(rect, std::max(tip, (len - 7) - u));
        };
        FillSolid(img, static_cast<int>(ox), 0, static_cast<int>(ox) + w, h, body, i == 0 ? p.border : p.accentDark);
        Paint(img, static_cast<int>(ox), 0, static_cast<int>(ox) + w, h, Shifted(body, 1.0),
              [=](double px, double py) { return Mix(top, bottom, vertical ? (px - ox) / w : py / h); },
              [](double, double) { return 1.0; });
    }
    return img;
}

// Scroll bar arrow buttons: up, down, left, right, each normal, mouse-over, pressed; 16 x 16 each.
tk::BmpImage DrawScrollBarButtons(const Palette& p) {
    constexpr int s = 16;
    tk::BmpImage img = NewImage(12 * s, s, Pack(p.face));
    for (int i = 0; i < 12; ++i) {
        const int dir = i / 3, state = i % 3;
        const double ox = i * s;
        const Rgb top = state == 2 ? p.accent : (state == 1 ? Lighter(p.accentLight, 0.6) : Lighter(p.face, 0.7));
        const Rgb bottom = state == 2 ? p.accentLight : (state == 1 ? p.accentLight : Darker(p.face, 0.08));
        Box(img, ox + 0.5, 0.5, ox + s - 0.5, s - 0.5, std::min(2.0, p.radius), state == 0 ? p.border : p.accentDark, top,
            bottom, state == 2 ? 0.0 : 0.2);
        Arrow(img, ox + 8, 8, 7, dir, state == 2 ? kWhite : p.glyph);
    }
    return img;
}

// Scroll bar: the track, the thumb and the thumb under the mouse; 16 x 16 each.
tk::BmpImage DrawScrollBarTrack(const Palette& p) {
    constexpr int s = 16;
    tk::BmpImage img = NewImage(3 * s, s, Pack(Mix(p.face, kWhite, 0.4)));
    for (int x = 0; x < s; ++x)
        for (int y = 0; y < s; ++y)
            if ((x + y) % 2 == 0) img.SetPixel(x, y, Pack(Mix(p.face, kWhite, 0.15)));
    Box(img, s + 1.5, 0.5, 2 * s - 1.5, s - 0.5, p.radius, p.border, Lighter(p.accentLight, 0.5), p.accentLight, 0.2);
    Box(img, 2 * s + 1.5, 0.5, 3 * s - 1.5, s - 0.5, p.radius, p.accentDark, Lighter(p.accentLight, 0.2), p.accent, 0.25);
    for (int k = 0; k < 3; ++k)  // grip lines on both thumbs
        for (int t = 1; t <= 2; ++t)
            for (int x = 5; x < 11; ++x) Blend(img, t * s + x, 5 + 2 * k, Darker(p.accent, 0.3), 0.5);
    return img;
}

// Tab-bar scroll buttons: left and right, each normal, mouse-over, pressed; 16 x 16 each.
tk::BmpImage DrawScrollButtons(const Palette& p) {
    constexpr int s = 16;
    tk::BmpImage img = NewImage(6 * s, s, Pack(p.face));
    for (int i = 0; i < 6; ++i) {
        const int dir = i < 3 ? 2 : 3, state = i % 3;
        const double ox = i * s;
        const Rgb top = state == 2 ? p.accent : (state == 1 ? Lighter(p.accentLight, 0.6) : Lighter(p.face, 0.7));
        const Rgb bottom = state == 2 ? p.accentLight : (state == 1 ? p.accentLight : Darker(p.face, 0.08));
        Box(img, ox + 0.5, 0.5, ox + s - 0.5, s - 0.5, std::min(2.0, p.radius), state == 0 ? p.border : p.accentDark, top,
            bottom, state == 2 ? 0.0 : 0.2);
        Arrow(img, ox + 8, 8, 7, dir, state == 2 ? kWhite : p.glyph);
    }
    return img;
}

// Tabs: active, inactive and mouse-over, 24 x 21 each, open at the bottom.
tk::BmpImage DrawTabs(const Palette& p) {
    constexpr int w = 24, h = 21;
    tk::BmpImage img = NewImage(3 * w, h, Pack(p.face));
    for (int i = 0; i < 3; ++i) {
        const double ox = i * w;
        const double top = i == 0 ? 0.5 : 2.5;
        const Rgb a = i == 0 ? kWhite : (i == 2 ? Lighter(p.accentLight, 0.55) : Lighter(p.face, 0.45));
        const Rgb b = i == 0 ? Lighter(p.face, 0.5) : (i == 2 ? Lighter(p.accentLight, 0.2) : Darker(p.face, 0.05));
        Box(img, ox + 0.5, top, ox + w - 0.5, h + 4, p.radius + 1, p.border, a, b);
        if (i == 0)  // the active tab's coloured top edge
            for (int x = 2; x < w - 2; ++x) {
                img.SetPixel(static_cast<int>(ox) + x, 1, Pack(p.accent));
                img.SetPixel(static_cast<int>(ox) + x, 2, Pack(Lighter(p.accent, 0.4)));
            }
    }
    return img;
}

// The line under the tabs: three parts of 3 x 4.
tk::BmpImage DrawTabLine(const Palette& p) {
    tk::BmpImage img = NewImage(9, 4, Pack(Lighter(p.face, 0.5)));
    for (int x = 0; x < 9; ++x) img.SetPixel(x, 0, Pack(p.border));
    for (int y = 0; y < 4; ++y) {
        img.SetPixel(0, y, Pack(p.border));
        img.SetPixel(8, y, Pack(p.border));
    }
    return img;
}

// Side channel handle: normal, mouse-over, pressed; 10 x 40 each, with a grip.
tk::BmpImage DrawSideChannelHandle(const Palette& p) {
    constexpr int w = 10, h = 40;
    tk::BmpImage img = NewImage(3 * w, h, Pack(p.face));
    for (int i = 0; i < 3; ++i) {
        const double ox = i * w;
        const Rgb top = i == 2 ? p.accent : (i == 1 ? p.accentLight : Lighter(p.face, 0.6));
        const Rgb bottom = i == 2 ? p.accentDark : (i == 1 ? p.accent : Darker(p.face, 0.1));
        Box(img, ox + 0.5, 0.5, ox + w - 0.5, h - 0.5, p.radius, i == 0 ? p.border : p.accentDark, top, bottom);
        for (int k = 0; k < 4; ++k) {
            const double cy = 14 + 4 * k;
            FillSolid(img, static_cast<int>(ox), 0, static_cast<int>(ox) + w, h,
                      [=](double px, double py) { return CircleSd(px, py, ox + 5, cy, 1.1); },
                      i == 0 ? p.glyph : kWhite, 0.8);
        }
    }
    return img;
}

// Side channel title bar: three parts of 10 x 22 in the style's title colours.
tk::BmpImage DrawSideChannelBar(const StyleLook& look) {
    constexpr int w = 30, h = 22;
    tk::BmpImage img = NewImage(w, h);
    for (int y = 0; y < h; ++y) {
        const int ty = std::min(look.titleHeight - 1, 1 + y * (look.titleHeight - 2) / h);
        const Rgb c = look.titleColor(0, ty, TitlePiece::Client, look.clientWidth);
        for (int x = 0; x < w; ++x) img.SetPixel(x, y, Pack(c));
    }
    for (int x = 0; x < w; ++x) img.SetPixel(x, h - 1, Pack(look.palette.border));
    return img;
}

// The MacOS menu background: fine light pinstripes, 1 x 22.
tk::BmpImage DrawMacMenuBar() {
    tk::BmpImage img = NewImage(1, 22);
    for (int y = 0; y < 22; ++y) {
        Rgb c = Mix(Hex(0xF6F6F6), Hex(0xEAEAEA), y / 21.0);
        if (y % 2 == 1) c = Add(c, -4);
        img.SetPixel(0, y, Pack(c));
    }
    return img;
}

// The MacOS selected menu item: a glossy blue band, 1 x 21.
tk::BmpImage DrawMacMenuSelect() {
    tk::BmpImage img = NewImage(1, 21);
    for (int y = 0; y < 21; ++y) {
        Rgb c = y == 0 ? Hex(0x2A5EAE)
                       : (y < 10 ? Mix(Hex(0x7AA8EC), Hex(0x4F86DA), (y - 1) / 9.0) : Mix(Hex(0x3C74CC), Hex(0x3466BC), (y - 10) / 10.0));
        img.SetPixel(0, y, Pack(c));
    }
    return img;
}

// The MacOS form background: light brushed metal with pinstripes, tiling without seams (32 x 32).
tk::BmpImage DrawMacFormBackground() {
    constexpr int s = 32;
    constexpr double k = 2 * 3.14159265358979 / s;
    tk::BmpImage img = NewImage(s, s);
    for (int y = 0; y < s; ++y)
        for (int x = 0; x < s; ++x) {
            const double streak = std::sin(y * k * 5 + std::sin(x * k) * 1.3) * 1.4 + std::sin(y * k * 11 + x * k * 2) * 0.9;
            Rgb c = Add(Hex(0xE8E8E8), streak);
            if (y % 2 == 1) c = Add(c, -3);
            img.SetPixel(x, y, Pack(c));
        }
    return img;
}

// The Protein form background: near-white with a faint lattice of lavender dots (32 x 32).
tk::BmpImage DrawProteinFormBackground() {
    constexpr int s = 32;
    tk::BmpImage img = NewImage(s, s, 0xFBFBFB);
    const std::array<std::array<double, 2>, 2> dots{{{8, 8}, {24, 24}}};
    for (const auto& d : dots)
        FillSolid(img, 0, 0, s, s, [=](double px, double py) { return CircleSd(px, py, d[0], d[1], 1.8); },
                  Hex(0xE2DAF8), 0.9);
    return img;
}

// The menu check mark: black on white (white is its transparent colour), 16 x 16, hard edges.
tk::BmpImage DrawMenuChecked() {
    tk::BmpImage img = NewImage(16, 16, 0xFFFFFF);
    const Sdf mark = [](double px, double py) {
        return std::min(SegmentSd(px, py, 4.0, 8.0, 6.8, 11.0, 1.1), SegmentSd(px, py, 6.8, 11.0, 12.0, 4.5, 1.1));
    };
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            if (mark(x + 0.5, y + 0.5) <= 0) img.SetPixel(x, y, 0x000000);
    return img;
}

}  // namespace art
