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

#include "toolkit/BmpImage.h"

namespace {

constexpr std::uint32_t kTransparent = 0xFF00FF;  // magenta, as 0x00RRGGBB

const std::map<char, std::uint32_t> kPalette = {
    {'.', kTransparent}, {'k', 0x282828}, {'w', 0xFFFFFF}, {'s', 0x808080}, {'S', 0xC8C8C8},
    {'y', 0xFACC48},     {'o', 0xC8961E}, {'g', 0x149628}, {'r', 0xD21E1E}, {'R', 0x961414},
    {'b', 0x1E5AC8},     {'B', 0x78AAFA}, {'p', 0xE6BE78},
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
tk::BmpImage Compose(std::initializer_list<const Grid*> layers) {
    tk::BmpImage img;
    img.width = img.height = 16;
    img.pixels.assign(16 * 16, kTransparent);
    for (const Grid* layer : layers)
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                const char c = (*layer)[static_cast<size_t>(y)][static_cast<size_t>(x)];
                if (c != '.') img.SetPixel(x, y, kPalette.at(c));
            }
    return img;
}

void Put16(std::vector<std::uint8_t>& out, unsigned v) { out.push_back(v & 0xFF); out.push_back((v >> 8) & 0xFF); }
void Put32(std::vector<std::uint8_t>& out, unsigned v) { Put16(out, v & 0xFFFF); Put16(out, v >> 16); }

bool WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream f(path, std::ios::binary);
    f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(f);
}

// An icon image: the colour bitmap (transparent pixels black, the header's height doubled as
// icons have it) followed by the AND mask (1 = transparent), scaled up from 16 x 16.
std::vector<std::uint8_t> IconImage(int size, const tk::BmpImage& img16) {
    tk::BmpImage colour;
    colour.width = colour.height = size;
    colour.pixels.resize(static_cast<size_t>(size * size));
    const int scale = size / 16;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const std::uint32_t p = img16.Pixel(x / scale, y / scale);
            colour.SetPixel(x, y, p == kTransparent ? 0 : p);
        }
    const std::vector<std::uint8_t> file = tk::EncodeBmp24(colour);
    std::vector<std::uint8_t> out(file.begin() + 14, file.end());  // without the file header
    const unsigned doubled = static_cast<unsigned>(size * 2);
    for (int i = 0; i < 4; ++i) out[8 + static_cast<size_t>(i)] = static_cast<std::uint8_t>(doubled >> (8 * i));
    const int maskStride = ((size + 31) / 32) * 4;
    for (int y = size - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(static_cast<size_t>(maskStride), 0);
        for (int x = 0; x < size; ++x)
            if (img16.Pixel(x / scale, y / scale) == kTransparent) row[static_cast<size_t>(x / 8)] |= 0x80 >> (x % 8);
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

std::vector<std::uint8_t> Ico(const tk::BmpImage& img16) {
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
    const std::vector<tk::BmpImage> images = {
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
    tk::BmpImage strip;
    strip.width = 16 * static_cast<int>(images.size());
    strip.height = 16;
    strip.pixels.resize(static_cast<size_t>(strip.width * strip.height));
    for (size_t i = 0; i < images.size(); ++i)
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) strip.SetPixel(static_cast<int>(i) * 16 + x, y, images[i].Pixel(x, y));
    bool ok = WriteFile(dir + "/toolbar.bmp", tk::EncodeBmp24(strip));
    ok = WriteFile(dir + "/Quiverdir.ico", Ico(Compose({&kFolder, &kArrowUp}))) && ok;
    if (!ok) std::fprintf(stderr, "cannot write into %s\n", dir.c_str());
    return ok ? 0 : 1;
}
