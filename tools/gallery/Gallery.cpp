// gallery: one picture of all built-in style artwork, for review at a glance.
//
//   gallery STYLE_BITMAP_FOLDER OUTPUT.bmp
//
// For each of the five styles: a small window as the style draws it (title pieces with the
// stretched middle, buttons, caption, border and face colours, a menu with its selection and a
// tool button), the title button strip twice enlarged (normal, mouse-over and pressed of each
// button), every other picture of the style enlarged, and a swatch of every colour item. Then the
// shared pictures. Text is drawn with a built-in 3 x 5 pixel font.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "skin/theme/StyleItems.h"
#include "toolkit/BmpImage.h"

namespace fs = std::filesystem;

namespace {

// ---- Pictures -----------------------------------------------------------------------------------

tk::BmpImage Load(const fs::path& folder, std::string_view name) {
    const fs::path file = folder / (std::string(name) + ".bmp");
    std::ifstream in(file, std::ios::binary);
    if (!in) throw std::runtime_error("missing picture " + file.string());
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return tk::DecodeBmp(bytes);
}

struct Canvas {
    tk::BmpImage img;
    Canvas(int w, int h, std::uint32_t fill) {
        img.width = w;
        img.height = h;
        img.pixels.assign(static_cast<std::size_t>(w) * h, fill);
    }
    void Set(int x, int y, std::uint32_t c) {
        if (x >= 0 && y >= 0 && x < img.width && y < img.height) img.SetPixel(x, y, c);
    }
    void Fill(int l, int t, int r, int b, std::uint32_t c) {
        for (int y = t; y < b; ++y)
            for (int x = l; x < r; ++x) Set(x, y, c);
    }
    void Frame(int l, int t, int r, int b, std::uint32_t c) {
        for (int x = l; x < r; ++x) {
            Set(x, t, c);
            Set(x, b - 1, c);
        }
        for (int y = t; y < b; ++y) {
            Set(l, y, c);
            Set(r - 1, y, c);
        }
    }
    // Draws a picture (optionally enlarged, optionally leaving out a key colour), or the columns
    // sx..sx+sw of it stretched to width w.
    void Draw(const tk::BmpImage& p, int x, int y, int scale = 1, bool keyed = false) {
        for (int py = 0; py < p.height; ++py)
            for (int px = 0; px < p.width; ++px) {
                const std::uint32_t c = p.Pixel(px, py);
                if (keyed && c == 0xFF00FF) continue;
                for (int dy = 0; dy < scale; ++dy)
                    for (int dx = 0; dx < scale; ++dx) Set(x + px * scale + dx, y + py * scale + dy, c);
            }
    }
    void Stretch(const tk::BmpImage& p, int x, int y, int w) {
        if (p.width <= 0) return;
        for (int py = 0; py < p.height; ++py)
            for (int dx = 0; dx < w; ++dx) Set(x + dx, y + py, p.Pixel(std::min(p.width - 1, dx * p.width / std::max(1, w)), py));
    }
    void Tile(const tk::BmpImage& p, int l, int t, int r, int b) {
        for (int y = t; y < b; ++y)
            for (int x = l; x < r; ++x) Set(x, y, p.Pixel((x - l) % p.width, (y - t) % p.height));
    }
};

// ---- A 3 x 5 pixel font -------------------------------------------------------------------------

const std::map<char, const char*>& Font() {
    static const std::map<char, const char*> font = {
        {'A', "010101111101101"}, {'B', "110101110101110"}, {'C', "011100100100011"}, {'D', "110101101101110"},
        {'E', "111100110100111"}, {'F', "111100110100100"}, {'G', "011100101101011"}, {'H', "101101111101101"},
        {'I', "111010010010111"}, {'J', "001001001101010"}, {'K', "101101110101101"}, {'L', "100100100100111"},
        {'M', "101111111101101"}, {'N', "110101101101101"}, {'O', "010101101101010"}, {'P', "110101110100100"},
        {'Q', "010101101110011"}, {'R', "110101110101101"}, {'S', "011100010001110"}, {'T', "111010010010010"},
        {'U', "101101101101111"}, {'V', "101101101101010"}, {'W', "101101111111101"}, {'X', "101101010101101"},
        {'Y', "101101010010010"}, {'Z', "111001010100111"}, {'0', "111101101101111"}, {'1', "010110010010111"},
        {'2', "110001010100111"}, {'3', "110001010001110"}, {'4', "101101111001001"}, {'5', "111100110001110"},
        {'6', "011100111101111"}, {'7', "111001010010010"}, {'8', "111101111101111"}, {'9', "111101111001110"},
        {'_', "000000000000111"}, {'-', "000000111000000"}, {'.', "000000000000010"}, {':', "000010000010000"},
        {'#', "101111101111101"}, {'/', "001001010100100"}, {'(', "010100100100010"}, {')', "010001001001010"},
        {' ', "000000000000000"}, {'x', "000101010101000"},
    };
    return font;
}

// Text in the font, scale times enlarged; returns the width drawn.
int Text(Canvas& c, int x, int y, const std::string& text, std::uint32_t colour, int scale = 2) {
    int cx = x;
    for (char ch : text) {
        const auto it = Font().find(ch >= 'a' && ch <= 'z' && ch != 'x' ? static_cast<char>(ch - 32) : ch);
        const char* bits = it == Font().end() ? Font().at(' ') : it->second;
        for (int row = 0; row < 5; ++row)
            for (int col = 0; col < 3; ++col)
                if (bits[row * 3 + col] == '1') c.Fill(cx + col * scale, y + row * scale, cx + (col + 1) * scale, y + (row + 1) * scale, colour);
        cx += 4 * scale;
    }
    return cx - x;
}

std::uint32_t Pixel(std::uint32_t colour) { return tk::ColorToPixel(colour); }

// ---- One style ----------------------------------------------------------------------------------

constexpr std::uint32_t kPaper = 0xF4F4F0;
constexpr std::uint32_t kInk = 0x303030;

int DrawWindow(Canvas& c, const fs::path& folder, TsuiUIStyle style, int x0, int y0, int width, int height) {
    const std::string p(StyleResourcePrefix(style));
    const tk::BmpImage left = Load(folder, p + "_TITLE_LEFT"), client = Load(folder, p + "_TITLE_CLIENT"),
                       right = Load(folder, p + "_TITLE_RIGHT"), buttons = Load(folder, p + "_TITLEBTN");
    const std::uint32_t face = Pixel(GetBuiltInColor(style, 15)), border = Pixel(GetBuiltInColor(style, 16));
    const int bw = GetBuiltInInt(style, 17);
    const int th = left.height;

    // Body: the face colour, or the form background of MacOS and Protein; border of the style.
    if (style == TsuiUIStyle::MacOS || style == TsuiUIStyle::Protein)
        c.Tile(Load(folder, p + "_FORM_BACKGROUND"), x0, y0 + th, x0 + width, y0 + height);
    else
        c.Fill(x0, y0 + th, x0 + width, y0 + height, face);

    // Title: left and right pieces, the middle one stretched between them.
    c.Draw(left, x0, y0);
    c.Draw(right, x0 + width - right.width, y0);
    c.Stretch(client, x0 + left.width, y0, width - left.width - right.width);
    for (int i = 0; i < bw; ++i) {
        for (int y = y0; y < y0 + height; ++y) {
            c.Set(x0 + i, y, border);
            c.Set(x0 + width - 1 - i, y, border);
        }
        for (int x = x0; x < x0 + width; ++x) c.Set(x, y0 + height - 1 - i, border);
    }
    // Round the top corners as the window outline does.
    const int rc = GetBuiltInInt(style, 14);
    if (rc > 0) {
        const double r = rc / 2.0;
        for (int y = 0; y < rc; ++y)
            for (int x = 0; x < rc; ++x)
                if (std::hypot(r - (x + 0.5), r - (y + 0.5)) > r) {
                    c.Set(x0 + x, y0 + y, kPaper);
                    c.Set(x0 + width - 1 - x, y0 + y, kPaper);
                }
    }

    // Buttons from the right: close, maximise, minimise, then help; icon and caption at the left.
    const bool keyed = GetBuiltInBool(style, 6);
    const int s = buttons.width / 18, top = GetBuiltInInt(style, 9);
    int x = width - GetBuiltInInt(style, 8) - 3;
    const int pictures[] = {15, 6, 12, 3};
    for (int k = 0; k < 4; ++k) {
        x -= k == 0 ? s : s + 1;
        c.Draw(tk::ExtractPart(buttons, 18, pictures[k] + 1), x0 + x, y0 + top, 1, keyed);
    }
    const int iconX = std::max(0, GetBuiltInInt(style, 7) - 4 - 2);
    c.Fill(x0 + iconX + 3 + 3, y0 + top + 1, x0 + iconX + 3 + 15, y0 + top + 13, 0xF0C040);  // stand-in icon
    c.Frame(x0 + iconX + 3 + 3, y0 + top + 1, x0 + iconX + 3 + 15, y0 + top + 13, 0x806010);
    const std::uint32_t captionColour = style == TsuiUIStyle::MacOS ? 0x000000 : 0xFFFFFF;
    Text(c, x0 + iconX + 21 + 3, y0 + top + 3 + (style == TsuiUIStyle::Protein ? 3 : 0), "QUIVERDIR", captionColour);

    // A menu: side bar, items, the selected item; and a tool button, normal and pressed.
    const int mx = x0 + 12, my = y0 + th + 10, mw = 150;
    c.Fill(mx, my, mx + mw, my + 66, Pixel(GetBuiltInColor(style, 21)));
    c.Fill(mx, my, mx + 22, my + 66, Pixel(GetBuiltInColor(style, 23)));
    c.Frame(mx - 1, my - 1, mx + mw + 1, my + 67, 0x000000);
    if (style == TsuiUIStyle::MacOS) {
        c.Stretch(Load(folder, "MACOS_MENU_BAR"), mx, my, mw);
        c.Stretch(Load(folder, "MACOS_MENU_BAR"), mx, my + 44, mw);
        tk::BmpImage bar = Load(folder, "MACOS_MENU_BAR");
        for (int dy = 0; dy < 22; ++dy) c.Stretch(tk::ExtractPart(bar, 1, 1), mx, my + 22, mw);
        c.Stretch(Load(folder, "MACOS_MENU_SELECT"), mx, my + 22, mw);
    } else {
        c.Fill(mx, my + 22, mx + mw, my + 42, Pixel(GetBuiltInColor(style, 19)));
        c.Frame(mx, my + 22, mx + mw, my + 42, Pixel(GetBuiltInColor(style, 18)));
    }
    const std::uint32_t text = Pixel(GetBuiltInColor(style, 22)), selText = Pixel(GetBuiltInColor(style, 20));
    Text(c, mx + 28, my + 7, "ADD", style == TsuiUIStyle::MacOS ? 0x000000 : text);
    Text(c, mx + 28, my + 28, "EDIT", selText);
    Text(c, mx + 28, my + 50, "DELETE", style == TsuiUIStyle::MacOS ? 0x000000 : text);
    c.Draw(Load(folder, "MENU_CHECKED"), mx + 3, my + 47, 1, false);

    const int bx = mx + mw + 24, by = my;
    for (int i = 0; i < 2; ++i) {
        const int l = bx + i * 56;
        c.Fill(l, by, l + 48, by + 40, Pixel(GetBuiltInColor(style, i == 0 ? 36 : 37)));
        c.Frame(l, by, l + 48, by + 40, Pixel(GetBuiltInColor(style, 35)));
        c.Fill(l + 16, by + 8, l + 32, by + 24, 0x4A7FC8);
        Text(c, l + 8, by + 29, i == 0 ? "HOT" : "DOWN", 0x000000);
    }
    return height;
}

struct ColourItem {
    int item;
    const char* label;
};

int DrawStyle(Canvas& c, const fs::path& folder, TsuiUIStyle style, int y) {
    const std::string p(StyleResourcePrefix(style));
    Text(c, 16, y, p, kInk, 3);
    y += 24;
    DrawWindow(c, folder, style, 16, y, 480, 150);

    // The title button strip, twice enlarged, on a checker so keyed pixels show.
    const tk::BmpImage strip = Load(folder, p + "_TITLEBTN");
    const int sx = 520;
    for (int yy = 0; yy < strip.height * 2; ++yy)
        for (int xx = 0; xx < strip.width * 2; ++xx) c.Set(sx + xx, y + yy, ((xx / 6 + yy / 6) % 2) ? 0xD8D8D8 : 0xFFFFFF);
    c.Draw(strip, sx, y, 2, true);
    static const char* const kButtons[6] = {"BOX", "HELP", "MAX", "RESTORE", "MIN", "CLOSE"};
    for (int k = 0; k < 6; ++k) Text(c, sx + k * 3 * 2 * (strip.width / 18) + 2, y + strip.height * 2 + 4, kButtons[k], kInk);

    // Every other picture of the style, enlarged.
    static const char* const kElements[] = {"BUTTON", "CHECKBOX", "RADIOBUTTON", "CHECKLIST", "PROGRESSBAR",
                                            "TRACKBAR_BAR", "TRACKBAR_SLIDER", "TRACKBAR_SLIDER_V", "SCROLLBAR_BUTTON",
                                            "SCROLLBAR_TRACK", "SCROLLBUTTON", "TAB", "TAB_LINE", "SIDECHENNEL_HANDLE",
                                            "SIDECHENNEL_BAR"};
    int ex = sx, ey = y + strip.height * 2 + 22, rowHeight = 0;
    for (const char* element : kElements) {
        std::string name = p + "_" + element;
        if (std::string(element) == "SCROLLBUTTON" && style != TsuiUIStyle::MacOS && style != TsuiUIStyle::WinXP)
            name = "MORE_SCROLLBUTTON";
        const tk::BmpImage pic = Load(folder, name);
        const int scale = pic.width * 2 > 400 ? 1 : 2;
        if (ex + pic.width * scale > sx + 800) {
            ex = sx;
            ey += rowHeight + 8;
            rowHeight = 0;
        }
        c.Draw(pic, ex, ey, scale);
        ex += pic.width * scale + 10;
        rowHeight = std::max(rowHeight, pic.height * scale);
    }

    // Colour swatches of every colour item.
    int cx = 16;
    const int cy = y + 160;
    for (int item = kFirstStyleItem; item <= kLastStyleItem; ++item) {
        if (LookupStyleItem(style, item).kind != TsuiStyleItemKind::Color) continue;
        c.Fill(cx, cy, cx + 22, cy + 16, Pixel(GetBuiltInColor(style, item)));
        c.Frame(cx, cy, cx + 22, cy + 16, 0x909090);
        Text(c, cx + 3, cy + 19, std::to_string(item), kInk, 1);
        cx += 25;
    }
    return std::max(ey + rowHeight, cy + 26) + 22;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: gallery STYLE_BITMAP_FOLDER OUTPUT.bmp\n";
        return 2;
    }
    try {
        const fs::path folder = argv[1];
        Canvas c(1340, 1540, kPaper);
        int y = 14;
        for (TsuiUIStyle style : {TsuiUIStyle::MacOS, TsuiUIStyle::WinXP, TsuiUIStyle::DeepBlue, TsuiUIStyle::Protein,
                                  TsuiUIStyle::BlueGlass})
            y = DrawStyle(c, folder, style, y);

        // The shared pictures.
        Text(c, 16, y, "SHARED", kInk, 3);
        y += 24;
        int x = 16;
        c.Draw(Load(folder, "MORE_SCROLLBUTTON"), x, y, 2);
        x += 96 * 2 + 16;
        c.Stretch(Load(folder, "MACOS_MENU_BAR"), x, y, 60);
        c.Stretch(Load(folder, "MACOS_MENU_SELECT"), x + 70, y, 60);
        x += 150;
        c.Tile(Load(folder, "MACOS_FORM_BACKGROUND"), x, y, x + 96, y + 64);
        c.Tile(Load(folder, "PROTEIN_FORM_BACKGROUND"), x + 106, y, x + 202, y + 64);
        x += 220;
        c.Draw(Load(folder, "MENU_CHECKED"), x, y, 3);
        y += 80;

        c.img.height = std::min(c.img.height, y);
        c.img.pixels.resize(static_cast<std::size_t>(c.img.width) * c.img.height);
        const auto bytes = tk::EncodeBmp24(c.img);
        std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (!out) throw std::runtime_error(std::string("cannot write ") + argv[2]);
    } catch (const std::exception& e) {
        std::cerr << "gallery: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
