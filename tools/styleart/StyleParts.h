// The looks of the five built-in styles and the drawing of each of their pictures.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "tools/styleart/Glyphs.h"
#include "tools/styleart/Paint.h"

namespace art {

// Colours of the small controls of a style (check boxes, scroll bars, tabs and so on).
struct Palette {
    Rgb face;         // the style's face colour
    Rgb accent;       // the style's main colour
    Rgb accentLight;  // its light end
    Rgb accentDark;   // its dark end
    Rgb border;       // control outlines
    Rgb glyph;        // marks on light control faces
    double radius;    // corner rounding of controls
};

enum class ButtonShape { Gem, RoundSquare, Square, Bubble };
enum class ButtonState { Normal = 0, Hot = 1, Down = 2 };

struct ButtonColors {
    Rgb top, bottom, rim, glyph;
    double glyphOpacity = 1.0;
};

enum class TitlePiece { Left, Client, Right };

struct StyleLook {
    std::string prefix;
    int titleHeight, leftWidth, clientWidth, rightWidth;
    int buttonSize, buttonTop;
    double cornerRadius;  // rounding of the window's top corners (0: square)
    Rgb outside;          // paint beyond a rounded corner (the window's outline cuts it away)
    bool transparentButtons;
    // The title colour at (x, y) of a piece of the given width.
    std::function<Rgb(int x, int y, TitlePiece piece, int width)> titleColor;
    ButtonShape shape;
    std::function<ButtonColors(GlyphKind, ButtonState)> buttonColors;
    Palette palette;
};

StyleLook MacOSLook();
StyleLook WinXPLook();
StyleLook DeepBlueLook();
StyleLook ProteinLook();
StyleLook BlueGlassLook();
std::vector<StyleLook> AllStyles();

struct TitlePieces {
    tk::BmpImage left, client, right;
};
TitlePieces DrawTitle(const StyleLook& look);
// 18 square pictures: control box, help, maximise, restore, minimise, close; each normal,
// mouse-over and pressed.
tk::BmpImage DrawTitleButtons(const StyleLook& look);

tk::BmpImage DrawPushButtons(const Palette& p);
tk::BmpImage DrawCheckBoxes(const Palette& p, bool radio);
tk::BmpImage DrawCheckList(const Palette& p);
tk::BmpImage DrawProgressBar(const Palette& p);
tk::BmpImage DrawTrackBar(const Palette& p);
tk::BmpImage DrawSlider(const Palette& p, bool vertical);
tk::BmpImage DrawScrollBarButtons(const Palette& p);
tk::BmpImage DrawScrollBarTrack(const Palette& p);
tk::BmpImage DrawScrollButtons(const Palette& p);
tk::BmpImage DrawTabs(const Palette& p);
tk::BmpImage DrawTabLine(const Palette& p);
tk::BmpImage DrawSideChannelHandle(const Palette& p);
tk::BmpImage DrawSideChannelBar(const StyleLook& look);

tk::BmpImage DrawMacMenuBar();
tk::BmpImage DrawMacMenuSelect();
tk::BmpImage DrawMacFormBackground();
tk::BmpImage DrawProteinFormBackground();
tk::BmpImage DrawMenuChecked();

}  // namespace art
