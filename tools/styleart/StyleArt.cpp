// styleart: draws the pictures of the five built-in UI styles (MacOS, WinXP, DeepBlue, Protein,
// BlueGlass) and the shared pictures beside them, and writes them as 24-bit BMP files named after
// their resources (MACOS_TITLEBTN.bmp, MENU_CHECKED.bmp, ...).
//
//   styleart OUTPUT_FOLDER
//
// Everything is computed from fixed numbers, so the same program writes the same files every time.
// Title pieces keep every column of the stretched middle piece alike, so stretching shows no seam.
// Pictures drawn transparent (the title buttons of Protein and BlueGlass) have magenta (FF00FF)
// wherever the shape does not reach, and their edges blended over the title colour behind them.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include "tools/styleart/Glyphs.h"
#include "tools/styleart/Paint.h"
#include "tools/styleart/StyleParts.h"

namespace fs = std::filesystem;
using namespace art;

namespace {

void Save(const fs::path& folder, const std::string& name, const tk::BmpImage& img) {
    const auto bytes = tk::EncodeBmp24(img);
    std::ofstream out(folder / (name + ".bmp"), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + (folder / name).string());
}

void SaveStyle(const fs::path& out, const StyleLook& look) {
    const std::string p = look.prefix + "_";
    const TitlePieces title = DrawTitle(look);
    Save(out, p + "TITLE_LEFT", title.left);
    Save(out, p + "TITLE_CLIENT", title.client);
    Save(out, p + "TITLE_RIGHT", title.right);
    Save(out, p + "TITLEBTN", DrawTitleButtons(look));
    Save(out, p + "BUTTON", DrawPushButtons(look.palette));
    Save(out, p + "CHECKBOX", DrawCheckBoxes(look.palette, false));
    Save(out, p + "RADIOBUTTON", DrawCheckBoxes(look.palette, true));
    Save(out, p + "CHECKLIST", DrawCheckList(look.palette));
    Save(out, p + "PROGRESSBAR", DrawProgressBar(look.palette));
    Save(out, p + "TRACKBAR_BAR", DrawTrackBar(look.palette));
    Save(out, p + "TRACKBAR_SLIDER", DrawSlider(look.palette, false));
    Save(out, p + "TRACKBAR_SLIDER_V", DrawSlider(look.palette, true));
    Save(out, p + "SCROLLBAR_BUTTON", DrawScrollBarButtons(look.palette));
    Save(out, p + "SCROLLBAR_TRACK", DrawScrollBarTrack(look.palette));
    Save(out, p + "TAB", DrawTabs(look.palette));
    Save(out, p + "TAB_LINE", DrawTabLine(look.palette));
    Save(out, p + "SIDECHENNEL_HANDLE", DrawSideChannelHandle(look.palette));
    Save(out, p + "SIDECHENNEL_BAR", DrawSideChannelBar(look));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: styleart OUTPUT_FOLDER\n";
        return 2;
    }
    try {
        const fs::path out = argv[1];
        fs::create_directories(out);
        for (const StyleLook& look : AllStyles()) SaveStyle(out, look);
        // The scroll buttons: MacOS and WinXP have their own, the other three share one.
        Save(out, "MACOS_SCROLLBUTTON", DrawScrollButtons(MacOSLook().palette));
        Save(out, "WINXP_SCROLLBUTTON", DrawScrollButtons(WinXPLook().palette));
        Save(out, "MORE_SCROLLBUTTON", DrawScrollButtons(DeepBlueLook().palette));
        Save(out, "MACOS_MENU_BAR", DrawMacMenuBar());
        Save(out, "MACOS_MENU_SELECT", DrawMacMenuSelect());
        Save(out, "MACOS_FORM_BACKGROUND", DrawMacFormBackground());
        Save(out, "PROTEIN_FORM_BACKGROUND", DrawProteinFormBackground());
        Save(out, "MENU_CHECKED", DrawMenuChecked());
    } catch (const std::exception& e) {
        std::cerr << "styleart: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
