// skinart: draws the pictures of the "Silver" skin and writes them as 24-bit BMP files.
//
//   skinart OUTPUT_FOLDER
//
// Everything is computed from fixed numbers (no randomness, no fonts), so the same program writes
// the same files every time. Pixels outside the window's rounded outline are magenta (FF00FF), the
// skin's transparent colour; edges against magenta are left hard so that no pink fringe appears.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <string>

#include "toolkit/BmpImage.h"

namespace fs = std::filesystem;

namespace {

struct Rgb {
    double r, g, b;
};

constexpr Rgb kMagenta{255, 0, 255};

Rgb Mix(Rgb a, Rgb b, double t) {
    t = std::clamp(t, 0.0, 1.0);
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

std::uint32_t Pack(Rgb c) {
    auto ch = [](double v) { return static_cast<std::uint32_t>(std::clamp(std::lround(v), 0L, 255L)); };
    return (ch(c.r) << 16) | (ch(c.g) << 8) | ch(c.b);
}

Rgb Unpack(std::uint32_t p) { return {double((p >> 16) & 0xFF), double((p >> 8) & 0xFF), double(p & 0xFF)}; }

tk::BmpImage NewImage(int w, int h) {
    tk::BmpImage image;
    image.width = w;
    image.height = h;
    image.pixels.assign(static_cast<std::size_t>(w) * h, 0);
    return image;
}

// Fraction of a pixel covered by a shape, from a 4 x 4 grid of samples.
double Coverage(int x, int y, const std::function<bool(double, double)>& inside) {
    int hits = 0;
    for (int sy = 0; sy < 4; ++sy)
        for (int sx = 0; sx < 4; ++sx)
            if (inside(x + (sx + 0.5) / 4, y + (sy + 0.5) / 4)) ++hits;
    return hits / 16.0;
}

void Blend(tk::BmpImage& img, int x, int y, Rgb c, double alpha) {
    if (x < 0 || y < 0 || x >= img.width || y >= img.height || alpha <= 0) return;
    img.SetPixel(x, y, Pack(Mix(Unpack(img.Pixel(x, y)), c, alpha)));
}

// Distance from a point to the segment (ax, ay)-(bx, by).
double SegmentDistance(double px, double py, double ax, double ay, double bx, double by) {
    const double dx = bx - ax, dy = by - ay;
    const double t = std::clamp(((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
    return std::hypot(px - (ax + t * dx), py - (ay + t * dy));
}

// An antialiased stroke of the given width along a segment (pixel centres at .5).
void Line(tk::BmpImage& img, double ax, double ay, double bx, double by, double width, Rgb c) {
    const int x0 = static_cast<int>(std::floor(std::min(ax, bx) - width)), x1 = static_cast<int>(std::ceil(std::max(ax, bx) + width));
    const int y0 = static_cast<int>(std::floor(std::min(ay, by) - width)), y1 = static_cast<int>(std::ceil(std::max(ay, by) + width));
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x)
            Blend(img, x, y, c, Coverage(x, y, [&](double px, double py) {
                      return SegmentDistance(px, py, ax, ay, bx, by) <= width / 2;
                  }));
}

void FillRect(tk::BmpImage& img, double l, double t, double r, double b, Rgb c, double alpha = 1.0) {
    for (int y = static_cast<int>(std::floor(t)); y < static_cast<int>(std::ceil(b)); ++y)
        for (int x = static_cast<int>(std::floor(l)); x < static_cast<int>(std::ceil(r)); ++x)
            Blend(img, x, y, c, alpha * Coverage(x, y, [&](double px, double py) { return px >= l && px < r && py >= t && py < b; }));
}

// ---- The silver palette -------------------------------------------------------------------------

constexpr Rgb kOutline{92, 100, 112};     // the window's outer line
constexpr Rgb kRimLight{250, 251, 252};   // bright rim inside the outline
constexpr Rgb kRimMid{218, 221, 226};
constexpr Rgb kRimInner{158, 164, 173};   // the line against the client area
constexpr Rgb kFace{232, 232, 232};       // client colour (0xE8E8E8)

// The title's brushed-metal face: a glossy upper half and a deeper lower half, with faint
// horizontal brushing that depends on the row only (so stretched pieces join without seams).
Rgb TitleFace(int y, int height) {
    const double brush = std::sin(y * 2.3) * 1.2 + std::sin(y * 0.7 + 1.0) * 0.8;
    const int split = height / 2;
    Rgb c;
    if (y <= split) {
        c = Mix({248, 249, 251}, {228, 231, 236}, double(y) / split);
    } else {
        c = Mix({212, 216, 223}, {188, 194, 203}, double(y - split) / (height - 2 - split));
    }
    return {c.r + brush, c.g + brush, c.b + brush};
}

constexpr int kTitleHeight = 30;
constexpr int kCornerRadius = 7;
constexpr int kBorder = 4;
constexpr int kBottomHeight = 5;
constexpr int kButton = 19;

// Distance inward from a rounded outline: the corner circle near the corner, the straight edges
// elsewhere. Negative outside.
double InsetFromCorner(double px, double py, double r) {
    if (px < r && py < r) return r - std::hypot(r - px, r - py);
    return std::min(px, py);
}

// One title piece. left/right say which outer edges it carries (with their rounded corners).
tk::BmpImage TitlePiece(int width, bool left, bool right) {
    tk::BmpImage img = NewImage(width, kTitleHeight);
    for (int y = 0; y < kTitleHeight; ++y) {
        for (int x = 0; x < width; ++x) {
            Rgb c = TitleFace(y, kTitleHeight);
            // Distance to the outer outline, measured from pixel centres.
            const double cx = x + 0.5, cy = y + 0.5;
            double d = cy;  // the top edge
            if (left) d = std::min(d, InsetFromCorner(cx, cy, kCornerRadius));
            if (right) d = std::min(d, InsetFromCorner(width - cx, cy, kCornerRadius));
            if (d < 0) {
                img.SetPixel(x, y, Pack(kMagenta));
                continue;
            }
            if (d < 1) c = kOutline;
            else if (d < 2) c = Mix(c, kRimLight, 0.85);
            else if (d < 3) c = Mix(c, kRimLight, 0.25);
            if (y == kTitleHeight - 1) c = Mix(c, kRimInner, 0.9);  // line above the client area
            if (y == kTitleHeight - 2) c = Mix(c, {176, 182, 191}, 0.5);
            img.SetPixel(x, y, Pack(c));
        }
    }
    if (left) {  // the outline continues straight down the left edge below the corner
        for (int y = kCornerRadius; y < kTitleHeight; ++y) img.SetPixel(0, y, Pack(kOutline));
    }
    if (right) {
        for (int y = kCornerRadius; y < kTitleHeight; ++y) img.SetPixel(width - 1, y, Pack(kOutline));
    }
    return img;
}

// A side border: outline, bright rim, mid rim, inner line, from the outside in.
tk::BmpImage SideBorder(bool leftSide) {
    tk::BmpImage img = NewImage(kBorder, 8);
    const Rgb cols[kBorder] = {kOutline, kRimLight, kRimMid, kRimInner};
    for (int y = 0; y < img.height; ++y)
        for (int x = 0; x < kBorder; ++x) img.SetPixel(x, y, Pack(cols[leftSide ? x : kBorder - 1 - x]));
    return img;
}

// A bottom piece; corner = -1 rounds the bottom-left, +1 the bottom-right, 0 neither.
tk::BmpImage BottomPiece(int width, int corner) {
    tk::BmpImage img = NewImage(width, kBottomHeight);
    const Rgb rows[kBottomHeight] = {kRimInner, kRimMid, kRimMid, kRimLight, kOutline};
    const double radius = 4;
    for (int y = 0; y < kBottomHeight; ++y) {
        for (int x = 0; x < width; ++x) {
            const double cx = x + 0.5, cy = kBottomHeight - (y + 0.5);  // cy: distance from the bottom
            double d = cy;
            double side = 1e9;
            if (corner < 0) side = cx;
            if (corner > 0) side = width - cx;
            if (corner != 0) {
                if (side < radius && cy < radius) d = radius - std::hypot(radius - side, radius - cy);
                else d = std::min(d, side);
            }
            if (d < 0) {
                img.SetPixel(x, y, Pack(kMagenta));
                continue;
            }
            // The side columns continue the side borders; the rows make the bottom rim.
            Rgb c = rows[y];
            if (corner != 0 && side < kBorder && side < cy + 0.01) {
                const Rgb cols[kBorder] = {kOutline, kRimLight, kRimMid, kRimInner};
                c = cols[static_cast<int>(side)];
            }
            if (d < 1) c = kOutline;
            img.SetPixel(x, y, Pack(c));
        }
    }
    return img;
}

// ---- Title buttons ------------------------------------------------------------------------------

enum class State { Normal, Hot, Down };

struct ButtonLook {
    Rgb top, bottom, outline, glyph;
};

ButtonLook Look(State s, bool danger) {
    if (danger && s == State::Hot) return {{244, 132, 120}, {204, 52, 40}, {140, 34, 26}, {255, 255, 255}};
    if (danger && s == State::Down) return {{176, 40, 30}, {222, 96, 84}, {110, 24, 18}, {255, 240, 240}};
    switch (s) {
        case State::Hot: return {{255, 255, 255}, {214, 226, 242}, {88, 118, 166}, {36, 52, 80}};
        case State::Down: return {{168, 176, 188}, {216, 221, 228}, {74, 82, 96}, {20, 24, 32}};
        default: return {{252, 252, 253}, {204, 209, 217}, {124, 132, 145}, {48, 54, 64}};
    }
}

using Glyph = std::function<void(tk::BmpImage&, int ox, int oy, Rgb)>;

void DrawButton(tk::BmpImage& strip, int index, State s, bool danger, const Glyph& glyph) {
    const int ox = index * kButton;
    const ButtonLook look = Look(s, danger);
    const double r = 4.5;
    for (int y = 0; y < kButton; ++y) {
        for (int x = 0; x < kButton; ++x) {
            const double cx = x + 0.5, cy = y + 0.5;
            // Inset from the rounded square's outline.
            const double dx = std::min(cx, kButton - cx), dy = std::min(cy, kButton - cy);
            const double d = (dx < r && dy < r) ? r - std::hypot(r - dx, r - dy) : std::min(dx, dy);
            if (d < 0) {
                strip.SetPixel(ox + x, y, Pack(kMagenta));
                continue;
            }
            Rgb c = Mix(look.top, look.bottom, (y - 1.0) / (kButton - 3.0));
            if (y < kButton / 2 && s != State::Down) c = Mix(c, {255, 255, 255}, 0.25);  // gloss
            if (d < 1) c = look.outline;
            else if (d < 2) c = Mix(c, s == State::Down ? Rgb{120, 128, 140} : Rgb{255, 255, 255}, 0.45);
            strip.SetPixel(ox + x, y, Pack(c));
        }
    }
    const int shift = s == State::Down ? 1 : 0;  // a pressed glyph sinks by a pixel
    glyph(strip, ox + shift, shift, look.glyph);
}

void GlyphMenu(tk::BmpImage& img, int ox, int oy, Rgb c) {  // a small downward triangle
    for (int y = 0; y < kButton; ++y)
        for (int x = 0; x < kButton; ++x)
            Blend(img, ox + x, oy + y, c, Coverage(x, y, [](double px, double py) {
                      return py >= 7.5 && py <= 12.5 && std::abs(px - 9.5) <= (12.5 - py) * 0.9;
                  }));
}

void GlyphHelp(tk::BmpImage& img, int ox, int oy, Rgb c) {  // a question mark
    const double cx = ox + 9.5, cy = oy + 7.5, r = 3.2;
    for (int y = 0; y < kButton; ++y)
        for (int x = 0; x < kButton; ++x)
            Blend(img, ox + x, oy + y, c, Coverage(ox + x, oy + y, [&](double px, double py) {
                      const double a = std::atan2(py - cy, px - cx);
                      const double dist = std::abs(std::hypot(px - cx, py - cy) - r);
                      return dist <= 1.0 && !(a > 1.2 && a < 3.0);
                  }));
    Line(img, ox + 10.9, oy + 10.0, ox + 9.5, oy + 11.4, 2.0, c);
    Line(img, ox + 9.5, oy + 11.4, ox + 9.5, oy + 12.2, 2.0, c);
    FillRect(img, ox + 8.5, oy + 13.5, ox + 10.5, oy + 15.5, c);
}

void GlyphMax(tk::BmpImage& img, int ox, int oy, Rgb c) {  // a window outline, thick top
    FillRect(img, ox + 5, oy + 5, ox + 14, oy + 7, c);
    FillRect(img, ox + 5, oy + 13, ox + 14, oy + 14, c);
    FillRect(img, ox + 5, oy + 5, ox + 6, oy + 14, c);
    FillRect(img, ox + 13, oy + 5, ox + 14, oy + 14, c);
}

void GlyphRestore(tk::BmpImage& img, int ox, int oy, Rgb c) {  // two overlapping windows
    FillRect(img, ox + 7, oy + 4, ox + 15, oy + 6, c);
    FillRect(img, ox + 14, oy + 4, ox + 15, oy + 11, c);
    FillRect(img, ox + 12, oy + 10, ox + 15, oy + 11, c);
    FillRect(img, ox + 7, oy + 4, ox + 8, oy + 7, c);
    FillRect(img, ox + 4, oy + 7, ox + 12, oy + 9, c);
    FillRect(img, ox + 4, oy + 14, ox + 12, oy + 15, c);
    FillRect(img, ox + 4, oy + 7, ox + 5, oy + 15, c);
    FillRect(img, ox + 11, oy + 7, ox + 12, oy + 15, c);
}

void GlyphMin(tk::BmpImage& img, int ox, int oy, Rgb c) { FillRect(img, ox + 5, oy + 12, ox + 14, oy + 14, c); }

void GlyphClose(tk::BmpImage& img, int ox, int oy, Rgb c) {
    Line(img, ox + 5.8, oy + 5.8, ox + 13.2, oy + 13.2, 2.1, c);
    Line(img, ox + 13.2, oy + 5.8, ox + 5.8, oy + 13.2, 2.1, c);
}

tk::BmpImage TitleButtons() {
    tk::BmpImage strip = NewImage(18 * kButton, kButton);
    const Glyph glyphs[6] = {GlyphMenu, GlyphHelp, GlyphMax, GlyphRestore, GlyphMin, GlyphClose};
    for (int kind = 0; kind < 6; ++kind)
        for (int s = 0; s < 3; ++s)
            DrawButton(strip, kind * 3 + s, static_cast<State>(s), kind == 5, glyphs[kind]);
    return strip;
}

// A flat gradient bar for the records other skinned controls may read.
tk::BmpImage GradientBar(int w, int h, Rgb top, Rgb bottom) {
    tk::BmpImage img = NewImage(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) img.SetPixel(x, y, Pack(Mix(top, bottom, h > 1 ? double(y) / (h - 1) : 0)));
    return img;
}

void Save(const fs::path& folder, const std::string& name, const tk::BmpImage& img) {
    const auto bytes = tk::EncodeBmp24(img);
    std::ofstream out(folder / name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + (folder / name).string());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: skinart OUTPUT_FOLDER\n";
        return 2;
    }
    try {
        const fs::path out = argv[1];
        fs::create_directories(out);
        Save(out, "title-left.bmp", TitlePiece(40, true, false));
        Save(out, "title-middle.bmp", TitlePiece(12, false, false));
        Save(out, "title-right.bmp", TitlePiece(96, false, true));
        Save(out, "border-left.bmp", SideBorder(true));
        Save(out, "border-right.bmp", SideBorder(false));
        Save(out, "bottom-left.bmp", BottomPiece(10, -1));
        Save(out, "bottom-middle.bmp", BottomPiece(10, 0));
        Save(out, "bottom-right.bmp", BottomPiece(10, 1));
        Save(out, "title-buttons.bmp", TitleButtons());
        Save(out, "menubar.bmp", GradientBar(8, 22, {246, 246, 247}, {220, 222, 226}));
        Save(out, "toolbar.bmp", GradientBar(8, 40, {248, 248, 249}, {214, 216, 220}));
        Save(out, "minimized-title.bmp", TitlePiece(160, true, true));
    } catch (const std::exception& e) {
        std::cerr << "skinart: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
