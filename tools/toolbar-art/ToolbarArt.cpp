// Draws the tool bar's twelve 16 x 16 images and the program icon from the pixel grids below and
// writes them as resources/toolbar.bmp (one 192 x 16 strip, magenta transparent) and
// resources/Quiverdir.ico (16 x 16 and 32 x 32). Run by scripts/make-artwork.sh; the outputs are
// committed, so the Windows build needs nothing of this.
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace {

struct Rgb { std::uint8_t r, g, b; };
constexpr Rgb kTransparent{255, 0, 255};

const std::map<char, Rgb> kPalette = {
    {'.', kTransparent},  {'k', {40, 40, 40}},     {'w', {255, 255, 255}}, {'s', {128, 128, 128}},
    {'S', {200, 200, 200}}, {'y', {250, 204, 72}}, {'o', {200, 150, 30}},  {'g', {20, 150, 40}},
    {'r', {210, 30, 30}},   {'R', {150, 20, 20}},  {'b', {30, 90, 200}},   {'B', {120, 170, 250}},
    {'p', {230, 190, 120}},
};

using Grid = std::vector<std::string>;  // 16 rows of 16 characters; '.' lets lower layers show

const Grid kFolder = {
    "................", "................", ".kkkkk..........", "kyyyyyk.........",
    "kyyyyyykkkkkkkk.", "kyyyyyyyyyyyyyyk", "kyyyyyyyyyyyyyyk", "kyyyyyyyyyyyyyyk",
    "kyyyyyyyyyyyyyyk", "kyyyyyyyyyyyyyyk", "kyyyyyyyyyyyyyyk", "kyyyyyyyyyyyyyyk",
    "kyyyyyyyyyyyyyyk", "kooooooooooooook", ".kkkkkkkkkkkkkk.", "................",
};
const Grid kPlus = {
    "................", "................", "................", "................",
    "................", "................", "................", "..........kkk...",
    "..........kgk...", "........kkkgkkk.", "........kgggggk.", "........kkkgkkk.",
    "..........kgk...", "..........kkk...", "................", "................",
};
const Grid kPencil = {
    "............kk..", "...........kRRk.", "..........kRRRRk", ".........kpkRRk.",
    "........kpppkk..", ".......kpppk....", "......kpppk.....", ".....kpppk......",
    "....kpppk.......", "...kpppk........", "..kSppk.........", "..kSSk..........",
    ".kkkk...........", ".kk.............", "................", "................",
};
const Grid kCross = {
    "................", ".rr.........rr..", ".rrr.......rrr..", "..rrr.....rrr...",
    "...rrr...rrr....", "....rrr.rrr.....", ".....rrrrr......", "......rrr.......",
    ".....rrrrr......", "....rrr.rrr.....", "...rrr...rrr....", "..rrr.....rrr...",
    ".rrr.......rrr..", ".rr.........rr..", "................", "................",
};
const Grid kArrowUp = {
    "................", ".......bb.......", "......bBBb......", ".....bBBBBb.....",
    "....bBBBBBBb....", "...bBBBBBBBBb...", "..bbbbBBBBbbbb..", ".....bBBBBb.....",
    ".....bBBBBb.....", ".....bBBBBb.....", ".....bBBBBb.....", ".....bBBBBb.....",
    ".....bBBBBb.....", ".....bbbbbb.....", "................", "................",
};
const Grid kQuestion = {
    "................", ".....bbbbbb.....", "...bbbbbbbbbb...", "..bbbbwwwwbbbb..",
    "..bbbwwbbwwbbb..", ".bbbbbbbbwwbbbb.", ".bbbbbbbwwbbbbb.", ".bbbbbbwwbbbbbb.",
    ".bbbbbbwwbbbbbb.", ".bbbbbbbbbbbbbb.", "..bbbbbwwbbbbb..", "..bbbbbwwbbbbb..",
    "...bbbbbbbbbb...", ".....bbbbbb.....", "................", "................",
};
const Grid kSort = {
    "................", "..kk.......bb...", ".k..k......bb...", ".kkkk......bb...",
    ".k..k......bb...", ".k..k......bb...", "...........bb...", ".kkkk......bb...",
    "....k......bb...", "...k.......bb...", "..k......bbbbbb.", ".kkkk.....bbbb..",
    "...........bb...", "................", "................", "................",
};
const Grid kSliders = {
    "................", "................", "....kkk.........", "sssskBksssssssss",
    "....kkk.........", "................", "..........kkk...", "sssssssssskBksss",
    "..........kkk...", "................", "......kkk.......", "sssssskBksssssss",
    "......kkk.......", "................", "................", "................",
};
const Grid kTray = {
    "................", "................", "................", "................",
    "................", "................", "................", "................",
    "................", "................", ".k............k.", ".k............k.",
    ".kSSSSSSSSSSSSk.", ".kkkkkkkkkkkkkk.", "................", "................",
};
const Grid kArrowOut = {
    "................", ".......g........", "......ggg.......", ".....ggggg......",
    "....ggggggg.....", "......ggg.......", "......ggg.......", "......ggg.......",
    "......ggg.......", "......ggg.......", "......ggg.......", "................",
    "................", "................", "................", "................",
};
const Grid kArrowIn = {
    "................", "......bbb.......", "......bbb.......", "......bbb.......",
    "......bbb.......", "......bbb.......", "....bbbbbbb.....", ".....bbbbb......",
    "......bbb.......", ".......b........", "................", "................",
    "................", "................", "................", "................",
};

Grid FlipVertical(Grid g) { return Grid(g.rbegin(), g.rend()); }

// Layers drawn bottom first; '.' in an upper layer keeps what is below.
using Image = std::vector<Rgb>;
Image Compose(std::initializer_list<const Grid*> layers) {
    Image img(16 * 16, kTransparent);
    for (const Grid* layer : layers)
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                const char c = (*layer)[static_cast<size_t>(y)][static_cast<size_t>(x)];
                if (c != '.') img[static_cast<size_t>(y * 16 + x)] = kPalette.at(c);
            }
    return img;
}

void Put16(std::vector<std::uint8_t>& out, unsigned v) { out.push_back(v & 0xFF); out.push_back((v >> 8) & 0xFF); }
void Put32(std::vector<std::uint8_t>& out, unsigned v) { Put16(out, v & 0xFFFF); Put16(out, v >> 16); }

// A bottom-up 24-bit device-independent bitmap (header and pixels) of w x h.
std::vector<std::uint8_t> Dib(int w, int h, const std::vector<Rgb>& pixels, int headerHeight) {
    std::vector<std::uint8_t> out;
    const int stride = (w * 3 + 3) & ~3;
    Put32(out, 40); Put32(out, static_cast<unsigned>(w)); Put32(out, static_cast<unsigned>(headerHeight));
    Put16(out, 1); Put16(out, 24); Put32(out, 0); Put32(out, static_cast<unsigned>(stride * h));
    Put32(out, 2835); Put32(out, 2835); Put32(out, 0); Put32(out, 0);
    for (int y = h - 1; y >= 0; --y) {
        int n = 0;
        for (int x = 0; x < w; ++x, n += 3) {
            const Rgb& p = pixels[static_cast<size_t>(y * w + x)];
            out.push_back(p.b); out.push_back(p.g); out.push_back(p.r);
        }
        for (; n < stride; ++n) out.push_back(0);
    }
    return out;
}

bool WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream f(path, std::ios::binary);
    f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(f);
}

std::vector<std::uint8_t> Bmp(int w, int h, const std::vector<Rgb>& pixels) {
    std::vector<std::uint8_t> dib = Dib(w, h, pixels, h);
    std::vector<std::uint8_t> out = {'B', 'M'};
    Put32(out, static_cast<unsigned>(14 + dib.size())); Put32(out, 0); Put32(out, 54);
    out.insert(out.end(), dib.begin(), dib.end());
    return out;
}

// An icon image: the colour bitmap (transparent pixels black) and the AND mask (1 = transparent).
std::vector<std::uint8_t> IconImage(int size, const Image& img16) {
    std::vector<Rgb> pixels(static_cast<size_t>(size * size));
    std::vector<bool> clear(pixels.size());
    const int scale = size / 16;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const Rgb p = img16[static_cast<size_t>((y / scale) * 16 + x / scale)];
            const bool t = p.r == kTransparent.r && p.g == kTransparent.g && p.b == kTransparent.b;
            clear[static_cast<size_t>(y * size + x)] = t;
            pixels[static_cast<size_t>(y * size + x)] = t ? Rgb{0, 0, 0} : p;
        }
    std::vector<std::uint8_t> out = Dib(size, size, pixels, size * 2);
    const int maskStride = ((size + 31) / 32) * 4;
    for (int y = size - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(static_cast<size_t>(maskStride), 0);
        for (int x = 0; x < size; ++x)
            if (clear[static_cast<size_t>(y * size + x)]) row[static_cast<size_t>(x / 8)] |= 0x80 >> (x % 8);
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

std::vector<std::uint8_t> Ico(const Image& img16) {
    const std::vector<std::uint8_t> small = IconImage(16, img16), large = IconImage(32, img16);
    std::vector<std::uint8_t> out;
    Put16(out, 0); Put16(out, 1); Put16(out, 2);
    unsigned offset = 6 + 2 * 16;
    for (const auto* image : {&small, &large}) {
        const int size = image == &small ? 16 : 32;
        out.push_back(static_cast<std::uint8_t>(size)); out.push_back(static_cast<std::uint8_t>(size));
        out.push_back(0); out.push_back(0); Put16(out, 1); Put16(out, 24);
        Put32(out, static_cast<unsigned>(image->size())); Put32(out, offset);
        offset += static_cast<unsigned>(image->size());
    }
    out.insert(out.end(), small.begin(), small.end());
    out.insert(out.end(), large.begin(), large.end());
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string dir = argc > 1 ? argv[1] : "resources";
    const Grid arrowDown = FlipVertical(kArrowUp);
    // Index: what the button does.
    const std::vector<Image> images = {
        Compose({&kPencil}),             // 0 edit
        Compose({&kCross}),              // 1 delete (also refresh)
        Compose({&kArrowUp}),            // 2 move up
        Compose({&arrowDown}),           // 3 move down
        Compose({&kQuestion}),           // 4 help
        Compose({&kFolder}),             // 5 folder (spare)
        Compose({&kFolder, &kPlus}),     // 6 add a folder
        Compose({&kFolder, &kPencil}),   // 7 edit a folder (spare)
        Compose({&kSort}),               // 8 sort by alias
        Compose({&kSliders}),            // 9 options
        Compose({&kTray, &kArrowOut}),   // 10 export (backup)
        Compose({&kTray, &kArrowIn}),    // 11 import
    };
    std::vector<Rgb> strip(static_cast<size_t>(16 * 12 * 16));
    for (size_t i = 0; i < images.size(); ++i)
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                strip[static_cast<size_t>(y * 192) + i * 16 + static_cast<size_t>(x)] =
                    images[i][static_cast<size_t>(y * 16 + x)];
    bool ok = WriteFile(dir + "/toolbar.bmp", Bmp(192, 16, strip));
    ok = WriteFile(dir + "/Quiverdir.ico", Ico(Compose({&kFolder, &kArrowUp}))) && ok;
    if (!ok) std::fprintf(stderr, "cannot write into %s\n", dir.c_str());
    return ok ? 0 : 1;
}
