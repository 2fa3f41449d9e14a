// The arithmetic of the flat controls, free of the window system: where a button puts its glyph
// and caption, which part of a glyph strip a state shows, which face and border a state gets,
// where a check box puts its square and caption, and how high an edit is for its font.
#pragma once

#include <array>
#include <cstdint>

struct FlatPoint {
    int X = 0, Y = 0;
    bool operator==(const FlatPoint&) const = default;
};

struct FlatRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool operator==(const FlatRect&) const = default;
};

// ---- Buttons ----

enum class TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
// Up, disabled, pressed (Down) and latched down (Exclusive).
enum class TButtonState { bsUp, bsDisabled, bsDown, bsExclusive };

struct ButtonLayoutInput {
    FlatRect Client;
    FlatPoint Offset;          // (1, 1) while pressed
    TButtonLayout Layout = TButtonLayout::blGlyphTop;
    int Spacing = 4;           // -1: spread evenly
    int Margin = -1;           // -1: centre the whole
    int GlyphWidth = 0;        // of one image; 0 without a glyph
    int GlyphHeight = 0;
    int TextWidth = 0;         // the caption measured on one line; 0 without a caption
    int TextHeight = 0;
};

struct ButtonLayoutResult {
    FlatPoint GlyphPos;
    FlatRect TextBounds;
};

// Places the glyph and the caption's bounds; all divisions round toward zero.
ButtonLayoutResult CalcButtonLayout(const ButtonLayoutInput& in);

// The image count a newly assigned glyph of width x height implies: width / height when the width
// is a multiple of the height (1 when that exceeds 4); otherwise the current count stays.
int NumGlyphsForGlyph(int width, int height, int current);

// The part of a strip of numGlyphs images (total width x height) that a state shows.
FlatRect GlyphSourceRect(int numGlyphs, int width, int height, TButtonState state);

struct ButtonColors {
    std::uint32_t Color, Focused, Down, Border, HighLight, Shadow;
};

// The face colour of a state with or without the mouse over the button.
std::uint32_t ButtonFaceColor(TButtonState state, bool mouseOver, const ButtonColors& colors);

struct BevelSpec {
    std::uint32_t Top, Bottom;
    int Width;
};
// The border of a state; defaultBorder gives the plain state a two-pixel border.
BevelSpec ButtonBevel(TButtonState state, bool mouseOver, bool defaultBorder, const ButtonColors& colors);

// Whether a mouse position counts as inside a button of the client size: the bottom edge counts as
// inside, the right edge does not.
bool InsideForRelease(int x, int y, int clientWidth, int clientHeight);

// ---- Check box ----

FlatRect CheckBoxSquare(const FlatRect& client, bool squareRight);
FlatRect CheckBoxCaptionRect(const FlatRect& client, bool squareRight);
// DrawText flags of the caption: word-wrapped, right-aligned beside a right-hand square.
unsigned CheckBoxCaptionFormat(bool squareRight);

// The square's fill: the resting colour unless focused or hot; then the down colour while pressed,
// else the focused colour.
std::uint32_t CheckBoxFill(bool focused, bool hot, bool pressed, std::uint32_t color, std::uint32_t focusedColor,
                           std::uint32_t downColor);

// The check mark: six strokes relative to the square's top-left corner, each from the first point
// up to but excluding the second.
struct Stroke {
    FlatPoint From, To;
};
inline constexpr std::array<Stroke, 6> kCheckMarkStrokes{{
    {{2, 4}, {6, 8}}, {{2, 5}, {5, 8}}, {{2, 6}, {5, 9}}, {{8, 2}, {4, 6}}, {{8, 3}, {4, 7}}, {{8, 4}, {5, 7}},
}};

// ---- Edit ----

// The height of a flat edit for a font whose text height (tmHeight) is given: three pixels of frame
// above and below.
inline int FlatEditHeight(int textHeight) { return textHeight + 6; }
