#include "flat/FlatLayout.h"

#include <algorithm>

ButtonLayoutResult CalcButtonLayout(const ButtonLayoutInput& in) {
    const int cw = in.Client.Width(), ch = in.Client.Height();
    const int gw = in.GlyphWidth, gh = in.GlyphHeight;
    const int tw = in.TextWidth, th = in.TextHeight;
    const bool horizontal = in.Layout == TButtonLayout::blGlyphLeft || in.Layout == TButtonLayout::blGlyphRight;

    FlatPoint glyph, text;
    if (horizontal) {
        glyph.Y = (ch - gh + 1) / 2;
        text.Y = (ch - th + 1) / 2;
    } else {
        glyph.X = (cw - gw + 1) / 2;
        text.X = (cw - tw + 1) / 2;
    }

    int spacing = in.Spacing, margin = in.Margin;
    if (tw == 0 || gw == 0) spacing = 0;
    const int length = horizontal ? cw : ch;
    const int glyphExtent = horizontal ? gw : gh;
    const int textExtent = horizontal ? tw : th;
    if (margin == -1 && spacing == -1) {
        margin = (length - glyphExtent - textExtent) / 3;
        spacing = margin;
    } else if (margin == -1) {
        margin = (length - (glyphExtent + spacing + textExtent) + 1) / 2;
    } else if (spacing == -1) {
        spacing = ((length - (margin + glyphExtent)) - textExtent) / 2;
    }

    switch (in.Layout) {
    case TButtonLayout::blGlyphLeft:
        glyph.X = margin;
        text.X = glyph.X + gw + spacing;
        break;
    case TButtonLayout::blGlyphRight:
        glyph.X = cw - margin - gw;
        text.X = glyph.X - spacing - tw;
        break;
    case TButtonLayout::blGlyphTop:
        glyph.Y = margin;
        text.Y = glyph.Y + gh + spacing;
        break;
    case TButtonLayout::blGlyphBottom:
        glyph.Y = ch - margin - gh;
        text.Y = glyph.Y - spacing - th;
        break;
    }

    ButtonLayoutResult out;
    out.GlyphPos = {glyph.X + in.Client.Left + in.Offset.X, glyph.Y + in.Client.Top + in.Offset.Y};
    const int dx = in.Client.Left + text.X + in.Offset.X, dy = in.Client.Top + text.Y + in.Offset.Y;
    out.TextBounds = {dx, dy, tw + dx, th + dy};
    return out;
}

int NumGlyphsForGlyph(int width, int height, int current) {
    if (width <= 0 || height <= 0 || width % height != 0) return current;
    const int n = width / height;
    return n > 4 ? 1 : n;
}

FlatRect GlyphSourceRect(int numGlyphs, int width, int height, TButtonState state) {
    const int n = std::clamp(numGlyphs, 1, 4);
    const int w = width / n;
    auto image = [&](int k) { return FlatRect{k * w, 0, (k + 1) * w, height}; };
    auto toEnd = [&](int k) { return FlatRect{k * w, 0, width, height}; };
    if (n == 1) return toEnd(0);
    switch (state) {
    case TButtonState::bsUp:
        return image(0);
    case TButtonState::bsDisabled:
        return n == 2 ? toEnd(1) : image(1);
    case TButtonState::bsDown:
        return n == 2 ? image(0) : n == 3 ? toEnd(2) : image(2);
    case TButtonState::bsExclusive:
        return n == 2 ? image(0) : n == 3 ? toEnd(2) : toEnd(3);
    }
    return image(0);
}

std::uint32_t ButtonFaceColor(TButtonState state, bool mouseOver, const ButtonColors& c) {
    switch (state) {
    case TButtonState::bsUp:
        return mouseOver ? c.Focused : c.Color;
    case TButtonState::bsDisabled:
        return c.Color;
    case TButtonState::bsDown:
        return c.Down;
    case TButtonState::bsExclusive:
        return mouseOver ? c.Focused : c.Down;
    }
    return c.Color;
}

BevelSpec ButtonBevel(TButtonState state, bool mouseOver, bool defaultBorder, const ButtonColors& c) {
    switch (state) {
    case TButtonState::bsUp:
        if (mouseOver) return {c.HighLight, c.Shadow, 1};
        return {c.Border, c.Border, defaultBorder ? 2 : 1};
    case TButtonState::bsDisabled:
        return {c.Border, c.Border, 1};
    case TButtonState::bsDown:
    case TButtonState::bsExclusive:
        return {c.Shadow, c.HighLight, 1};
    }
    return {c.Border, c.Border, 1};
}

bool InsideForRelease(int x, int y, int clientWidth, int clientHeight) {
    return x >= 0 && x < clientWidth && y >= 0 && y <= clientHeight;
}

FlatRect CheckBoxSquare(const FlatRect& c, bool squareRight) {
    if (squareRight) return {c.Right - 12, c.Top + 3, c.Right - 1, c.Top + 14};
    return {c.Left + 1, c.Top + 3, c.Left + 12, c.Top + 14};
}

FlatRect CheckBoxCaptionRect(const FlatRect& c, bool squareRight) {
    if (squareRight) return {c.Left + 1, c.Top + 1, c.Right - 16, c.Bottom - 1};
    return {c.Left + 16, c.Top + 1, c.Right - 1, c.Bottom - 1};
}

unsigned CheckBoxCaptionFormat(bool squareRight) { return squareRight ? 0x12u : 0x10u; }

std::uint32_t CheckBoxFill(bool focused, bool hot, bool pressed, std::uint32_t color, std::uint32_t focusedColor,
                           std::uint32_t downColor) {
    if (!focused && !hot) return color;
    return pressed ? downColor : focusedColor;
}
