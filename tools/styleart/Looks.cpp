// The five built-in looks: title colours row by row, title button colours, control palettes.
#include <utility>

#include "tools/styleart/StyleParts.h"

namespace art {

namespace {

// A colour that runs through key colours at given positions (linear between them).
struct Ramp {
    std::vector<std::pair<double, Rgb>> keys;
    Rgb At(double t) const {
        if (t <= keys.front().first) return keys.front().second;
        for (std::size_t i = 1; i < keys.size(); ++i)
            if (t <= keys[i].first) {
                const auto& [t0, c0] = keys[i - 1];
                const auto& [t1, c1] = keys[i];
                return Mix(c0, c1, t1 == t0 ? 1.0 : (t - t0) / (t1 - t0));
            }
        return keys.back().second;
    }
};

Rgb Lighter(Rgb c, double amount) { return Mix(c, {255, 255, 255}, amount); }
Rgb Darker(Rgb c, double amount) { return Mix(c, {0, 0, 0}, amount); }

// Soft bump: 1 at the centre, 0 at distance radius and beyond.
double Bump(double d, double radius) {
    const double t = std::clamp(1.0 - d / radius, 0.0, 1.0);
    return t * t * (3 - 2 * t);
}

}  // namespace

// ---- MacOS: light brushed grey with fine pinstripes and Aqua-like jewel buttons ------------------

StyleLook MacOSLook() {
    StyleLook s;
    s.prefix = "MACOS";
    s.titleHeight = 23;
    s.leftWidth = 48;
    s.clientWidth = 49;
    s.rightWidth = 48;
    s.buttonSize = 17;
    s.buttonTop = 4;
    s.cornerRadius = 0;
    s.outside = Hex(0x808080);
    s.transparentButtons = false;
    s.titleColor = [](int x, int y, TitlePiece piece, int w) {
        static const Ramp ramp{{{1, Hex(0xFBFBFB)}, {2, Hex(0xEEEEEE)}, {11, Hex(0xDEDEDE)}, {20, Hex(0xCACACA)},
                                {21, Hex(0xB9B9B9)}, {22, Hex(0x8C8C8C)}}};
        if (y == 0) return Hex(0x7F7F7F);
        Rgb c = ramp.At(y);
        if (y >= 3 && y <= 20) {
            if (y % 2 == 0) c = Add(c, -6);  // pinstripes
            c = Add(c, RowGrain(y, 0.7) * 1.6);
        }
        if (piece == TitlePiece::Left && x <= 1 && y < 22) c = Lighter(c, 0.55);
        if (piece == TitlePiece::Right && x >= w - 2 && y < 22) c = Darker(c, 0.12);
        return c;
    };
    s.shape = ButtonShape::Gem;
    s.buttonColors = [](GlyphKind kind, ButtonState state) {
        Rgb top, bottom;
        switch (kind) {
        case GlyphKind::Close: top = Hex(0xD8403A); bottom = Hex(0xFF8A80); break;
        case GlyphKind::Min: top = Hex(0xD99A14); bottom = Hex(0xFFD86A); break;
        case GlyphKind::Max:
        case GlyphKind::Restore: top = Hex(0x21A231); bottom = Hex(0x7DE38A); break;
        case GlyphKind::Help: top = Hex(0x2F74D0); bottom = Hex(0x8EC3FF); break;
        default: top = Hex(0x6F6F76); bottom = Hex(0xC4C4CB); break;
        }
        ButtonColors c{top, bottom, Darker(top, 0.45), Darker(top, 0.65), 0.5};
        if (state == ButtonState::Hot) {
            c.top = Lighter(top, 0.15);
            c.bottom = Lighter(bottom, 0.25);
            c.glyphOpacity = 1.0;
        } else if (state == ButtonState::Down) {
            c.top = Darker(top, 0.35);
            c.bottom = Darker(bottom, 0.2);
            c.glyph = Darker(top, 0.8);
            c.glyphOpacity = 1.0;
        }
        return c;
    };
    s.palette = {Hex(0xE7E7E7), Hex(0x3973C4), Hex(0x9CC2F2), Hex(0x1E4F95), Hex(0x7F7F7F), Hex(0x262626), 3};
    return s;
}

// ---- WinXP: bright blue with a glossy, rounded title and framed buttons, a red close button -------

StyleLook WinXPLook() {
    StyleLook s;
    s.prefix = "WINXP";
    s.titleHeight = 29;
    s.leftWidth = 35;
    s.clientWidth = 37;
    s.rightWidth = 35;
    s.buttonSize = 21;
    s.buttonTop = 5;
    s.cornerRadius = 7;
    s.outside = Hex(0x002CC8);
    s.transparentButtons = false;
    s.titleColor = [](int x, int y, TitlePiece piece, int w) {
        static const Ramp ramp{{{0, Hex(0x0A2FC9)}, {1, Hex(0x4FA0FF)}, {2, Hex(0x2E8AFF)}, {4, Hex(0x0B6AF6)},
                                {7, Hex(0x0058EC)}, {13, Hex(0x0055E5)}, {17, Hex(0x0260F0)}, {22, Hex(0x0051DC)},
                                {26, Hex(0x0046CB)}, {27, Hex(0x003EBC)}, {28, Hex(0x0034A8)}}};
        Rgb c = ramp.At(y);
        if (piece == TitlePiece::Left && y >= 1) c = Lighter(c, 0.22 * Bump(x, 9));  // light left edge
        if (piece == TitlePiece::Right && y >= 1) c = Darker(c, 0.18 * Bump(w - 1 - x, 7));
        return c;
    };
    s.shape = ButtonShape::RoundSquare;
    s.buttonColors = [](GlyphKind kind, ButtonState state) {
        const bool close = kind == GlyphKind::Close;
        ButtonColors c;
        c.rim = {255, 255, 255};
        c.glyph = {255, 255, 255};
        switch (state) {
        case ButtonState::Hot:
            c.top = close ? Hex(0xFFA27E) : Hex(0x79B4FF);
            c.bottom = close ? Hex(0xDA5A2C) : Hex(0x2F78F2);
            break;
        case ButtonState::Down:
            c.top = close ? Hex(0x9E2E0C) : Hex(0x0C3CA8);
            c.bottom = close ? Hex(0xD0613A) : Hex(0x2C68D8);
            c.glyph = {236, 242, 255};
            break;
        default:
            c.top = close ? Hex(0xEE8A63) : Hex(0x4A97FF);
            c.bottom = close ? Hex(0xC7461B) : Hex(0x1659E3);
            break;
        }
        return c;
    };
    s.palette = {Hex(0xEFEBDE), Hex(0x3169C6), Hex(0x8DB6F2), Hex(0x0F3D9A), Hex(0x1C5180), Hex(0x21A121), 3};
    return s;
}

// ---- DeepBlue: a deep navy title with a bright rule and a steel-blue lower band -------------------

StyleLook DeepBlueLook() {
    StyleLook s;
    s.prefix = "DEEPBLUE";
    s.titleHeight = 32;
    s.leftWidth = 97;
    s.clientWidth = 98;
    s.rightWidth = 97;
    s.buttonSize = 19;
    s.buttonTop = 2;
    s.cornerRadius = 0;
    s.outside = Hex(0x000000);
    s.transparentButtons = false;
    s.titleColor = [](int x, int y, TitlePiece piece, int) {
        static const Ramp ramp{{{0, Hex(0x030B1E)}, {1, Hex(0x3359A8)}, {2, Hex(0x244890)}, {11, Hex(0x183A7A)},
                                {21, Hex(0x0E2A62)}, {22, Hex(0x071A45)}, {23, Hex(0x4A7AD2)}, {24, Hex(0x2B55A3)},
                                {30, Hex(0x13316F)}, {31, Hex(0x06163A)}}};
        Rgb c = ramp.At(y);
        if (piece == TitlePiece::Left && y >= 1 && y <= 21) {  // a soft glow behind the icon and caption
            const double glow = Bump(std::hypot((x - 16) * 0.55, (y - 11) * 1.6), 36);
            c = Mix(c, Hex(0x5C8BE0), 0.45 * glow);
        }
        if (y >= 24 && y <= 30) c = Add(c, RowGrain(y, 2.0) * 2.0);
        return c;
    };
    s.shape = ButtonShape::Square;
    s.buttonColors = [](GlyphKind kind, ButtonState state) {
        const bool close = kind == GlyphKind::Close;
        ButtonColors c;
        switch (state) {
        case ButtonState::Hot:
            c = close ? ButtonColors{Hex(0xE0574A), Hex(0xA1221A), Hex(0xF5B0A8), Hex(0xFFFFFF)}
                      : ButtonColors{Hex(0x4574CC), Hex(0x1E4289), Hex(0xA9C2F2), Hex(0xFFFFFF)};
            break;
        case ButtonState::Down:
            c = close ? ButtonColors{Hex(0x6E120C), Hex(0xB0372C), Hex(0xC9756C), Hex(0xFFE3E0)}
                      : ButtonColors{Hex(0x0A1B44), Hex(0x1D3C7E), Hex(0x5C7CC0), Hex(0xC9D8FA)};
            break;
        default:
            c = ButtonColors{Hex(0x2E5097), Hex(0x132D66), Hex(0x6685C6), Hex(0xDCE6FF)};
            break;
        }
        return c;
    };
    s.palette = {Hex(0xE8E8E8), Hex(0x2A4C9C), Hex(0x7894D6), Hex(0x0F2A66), Hex(0x24365C), Hex(0x0F2A66), 2};
    return s;
}

// ---- Protein: a light pastel lavender title with floating bubbles and pastel bead buttons --------

StyleLook ProteinLook() {
    StyleLook s;
    s.prefix = "PROTEIN";
    s.titleHeight = 23;
    s.leftWidth = 441;
    s.clientWidth = 1;
    s.rightWidth = 1;
    s.buttonSize = 19;
    s.buttonTop = 2;
    s.cornerRadius = 0;
    s.outside = Hex(0x000000);
    s.transparentButtons = true;
    s.titleColor = [](int x, int y, TitlePiece piece, int) {
        static const Ramp across{{{0, Hex(0x8A78C8)}, {140, Hex(0x9C8BD5)}, {300, Hex(0xC6B9EC)}, {440, Hex(0xDCD3F4)}}};
        const double xs = piece == TitlePiece::Left ? x : 440;
        Rgb c = across.At(xs);
        if (y == 0) return Darker(c, 0.3);
        c = Lighter(c, 0.30 * std::max(0.0, 1.0 - (y - 1) / 10.0));  // soft gloss on the upper half
        if (y == 22) c = Darker(c, 0.22);
        if (y == 21) c = Darker(c, 0.08);
        if (piece == TitlePiece::Left) {  // bubbles drifting to the right
            struct Bubble { double x, y, r; };
            static const Bubble bubbles[] = {{236, 15, 4}, {262, 7, 3}, {292, 13, 5.5}, {318, 6, 2.5}, {344, 14, 3.5},
                                             {372, 8, 6}, {402, 15, 3}, {424, 7, 4}};
            for (const Bubble& b : bubbles) {
                const double d = std::hypot(x + 0.5 - b.x, y + 0.5 - b.y);
                const double ring = std::clamp(1.0 - std::abs(d - b.r) / 1.0, 0.0, 1.0);
                const double fill = d < b.r ? 0.18 : 0.0;
                const double spot = std::clamp(1.0 - std::hypot(x + 0.5 - (b.x - b.r * 0.35), y + 0.5 - (b.y - b.r * 0.4)) /
                                                         std::max(1.0, b.r * 0.35), 0.0, 1.0);
                c = Lighter(c, std::max({0.45 * ring, fill, 0.6 * spot}));
            }
        }
        return c;
    };
    s.shape = ButtonShape::Bubble;
    s.buttonColors = [](GlyphKind kind, ButtonState state) {
        Rgb top, bottom;
        switch (kind) {
        case GlyphKind::Close: top = Hex(0xFBC3D0); bottom = Hex(0xE57A96); break;
        case GlyphKind::Min: top = Hex(0xFCEDB8); bottom = Hex(0xE9BF4E); break;
        case GlyphKind::Max:
        case GlyphKind::Restore: top = Hex(0xC6F0DC); bottom = Hex(0x5EC493); break;
        case GlyphKind::Help: top = Hex(0xCFE3FA); bottom = Hex(0x6FA6E6); break;
        default: top = Hex(0xE6DDFA); bottom = Hex(0x9C88DE); break;
        }
        ButtonColors c{top, bottom, Mix(bottom, Hex(0x4A3A7A), 0.45), Mix(bottom, Hex(0x2A1E4A), 0.7), 0.8};
        if (state == ButtonState::Hot) {
            c.top = Lighter(top, 0.35);
            c.bottom = Lighter(bottom, 0.2);
            c.glyphOpacity = 1.0;
        } else if (state == ButtonState::Down) {
            c.top = Darker(bottom, 0.15);
            c.bottom = top;
            c.glyphOpacity = 1.0;
        }
        return c;
    };
    s.palette = {Hex(0xFBFBFB), Hex(0xA796DF), Hex(0xE2DAF8), Hex(0x7460B8), Hex(0x9C8FC9), Hex(0x5E4B9F), 4};
    return s;
}

// ---- BlueGlass: a glassy blue title split into a bright upper and a deep lower half -------------

StyleLook BlueGlassLook() {
    StyleLook s;
    s.prefix = "BLUEGLASS";
    s.titleHeight = 33;
    s.leftWidth = 162;
    s.clientWidth = 179;
    s.rightWidth = 101;
    s.buttonSize = 19;
    s.buttonTop = 6;
    s.cornerRadius = 6;
    s.outside = Hex(0x000000);
    s.transparentButtons = true;
    s.titleColor = [](int x, int y, TitlePiece piece, int w) {
        static const Ramp ramp{{{0, Hex(0x0E2F5E)}, {1, Hex(0x9ACBF8)}, {2, Hex(0x68ABEE)}, {8, Hex(0x4893E2)},
                                {16, Hex(0x2E7CD4)}, {17, Hex(0x1C5EBD)}, {24, Hex(0x1B63C6)}, {29, Hex(0x2F82E0)},
                                {30, Hex(0x4E9DEE)}, {31, Hex(0x8ACBFF)}, {32, Hex(0x163F7A)}}};
        Rgb c = ramp.At(y);
        if (y == 0 || y == 32) return c;
        // Diagonal reflections across the glass, faded out toward the joins with the middle piece.
        auto sheen = [&](double u, double a, double b, double strength) {
            return (u >= a && u <= b) ? strength * std::sin((u - a) / (b - a) * 3.14159) : 0.0;
        };
        double light = 0;
        if (piece == TitlePiece::Left) {
            const double u = x + y * 0.7;
            light = sheen(u, 58, 92, 0.22) + sheen(u, 100, 110, 0.14);
            light *= std::clamp((w - 1 - x) / 30.0, 0.0, 1.0);
            const double orb = Bump(std::hypot(x - 13.0, (y - 15.0) * 1.2), 16);  // glow behind the icon
            c = Mix(c, Hex(0xBFE6FF), 0.35 * orb);
        } else if (piece == TitlePiece::Right) {
            const double u = x + y * 0.7;
            light = sheen(u, 14, 40, 0.18) * std::clamp(x / 12.0, 0.0, 1.0);
        }
        return Lighter(c, light);
    };
    s.shape = ButtonShape::Bubble;
    s.buttonColors = [](GlyphKind kind, ButtonState state) {
        const bool close = kind == GlyphKind::Close;
        ButtonColors c = close ? ButtonColors{Hex(0xFFC4CA), Hex(0xCC2336), Hex(0x5E0B16), Hex(0xFFFFFF)}
                               : ButtonColors{Hex(0xC4E6FF), Hex(0x2474D2), Hex(0x0E3A72), Hex(0xFFFFFF)};
        if (state == ButtonState::Hot) {
            c.top = close ? Hex(0xFFE0E3) : Hex(0xE2F5FF);
            c.bottom = close ? Hex(0xF0485A) : Hex(0x3FA0F5);
        } else if (state == ButtonState::Down) {
            c.top = close ? Hex(0x8A1020) : Hex(0x0E3F85);
            c.bottom = close ? Hex(0xE77A86) : Hex(0x66B4F5);
        }
        return c;
    };
    s.palette = {Hex(0xE7E7E7), Hex(0x3B8FE6), Hex(0xB1DAFF), Hex(0x1D5FB0), Hex(0x2A5D98), Hex(0x1D4F8F), 3};
    return s;
}

std::vector<StyleLook> AllStyles() { return {MacOSLook(), WinXPLook(), DeepBlueLook(), ProteinLook(), BlueGlassLook()}; }

}  // namespace art
