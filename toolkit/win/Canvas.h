// A canvas over a device context: pen, brush and font that are realised into the context on first
// use after a change, and the drawing operations the painted components need (fill, frame, lines,
// arcs, text with DrawText flags, bitmap copies and stretches, transparent drawing).
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>

#include "toolkit/win/Control.h"
#include "toolkit/win/Scoped.h"

namespace tk {

class TBitmap;

// A toolkit colour: red in the low byte; values with the high bit set name system colours.
using TColor = std::uint32_t;
constexpr TColor clBlack = 0x000000;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clWindow = 0xFF000005;
constexpr TColor clMenuText = 0xFF000007;
constexpr TColor clHighlight = 0xFF00000D;
constexpr TColor clBtnFace = 0xFF00000F;
constexpr TColor clBtnShadow = 0xFF000010;
constexpr TColor clInactiveCaption = 0xFF000003;
constexpr TColor clInactiveCaptionText = 0xFF000013;
constexpr TColor clBtnHighlight = 0xFF000014;

// The RGB value of a colour: system colours through the system's current colour table.
COLORREF ColorToRGB(TColor color);

// A font description with style and colour; turned into a font object by the canvas.
struct TFont {
    std::wstring Name = L"MS Sans Serif";
    int Height = -11;  // negative: character height in pixels
    TColor Color = clBlack;
    bool Bold = false, Italic = false, Underline = false, StrikeOut = false;
    BYTE Charset = DEFAULT_CHARSET;

    static TFont FromSpec(const TFontSpec& fontSpec);
    LOGFONTW ToLogFont() const;
    static TFont FromLogFont(const LOGFONTW& lf, TColor color);
    bool operator==(const TFont&) const = default;
};

enum class TBrushStyle { Solid, Clear };

class TCanvas {
public:
    explicit TCanvas(HDC dc = nullptr);
    ~TCanvas();
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    HDC Handle() const { return dc_; }
    // Points the canvas at another context (or none); the previous one gets its objects back.
    void SetHandle(HDC dc);

    TColor PenColor() const { return penColor_; }
    void SetPenColor(TColor color);
    int PenWidth() const { return penWidth_; }
    void SetPenWidth(int width);

    TColor BrushColor() const { return brushColor_; }
    void SetBrushColor(TColor color);
    TBrushStyle BrushStyle() const { return brushStyle_; }
    void SetBrushStyle(TBrushStyle style);
    // A pattern brush from a bitmap (the canvas keeps its own brush); an empty bitmap goes back to
    // the solid brush colour.
    void SetBrushBitmap(TBitmap* bitmap);

    const TFont& Font() const { return font_; }
    void SetFont(const TFont& font);
    void SetFontColor(TColor color);

    // Fills with the brush; frames with a one-pixel border in the brush colour.
    void FillRect(const TRect& r);
    void FrameRect(const TRect& r);
    void MoveTo(int x, int y);
    void LineTo(int x, int y);  // the end point is not drawn
    void Polyline(std::initializer_list<POINT> points);
    void Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);

    // Text in the font; the background is filled with the brush unless the brush is clear.
    void TextOut(int x, int y, const std::wstring& text);
    SIZE TextExtent(const std::wstring& text);
    int TextWidth(const std::wstring& text) { return TextExtent(text).cx; }
    int TextHeight(const std::wstring& text) { return TextExtent(text).cy; }
    // DrawText with its DT_ flags; with DT_CALCRECT the rectangle receives the measured size.
    int DrawText(const std::wstring& text, TRect& r, UINT flags);

    std::uint32_t Pixel(int x, int y) const;  // a toolkit colour
    void SetPixel(int x, int y, TColor color);

    // Copies (SRCCOPY, stretching when the sizes differ) a rectangle of another canvas.
    void CopyRect(const TRect& dest, const TCanvas& source, const TRect& sourceRect, DWORD rop = SRCCOPY);
    // Draws a bitmap at (x, y); a transparent bitmap leaves its transparent colour out.
    void Draw(int x, int y, TBitmap& bitmap);
    // Stretches a bitmap over the rectangle (transparent bitmaps likewise).
    void StretchDraw(const TRect& r, TBitmap& bitmap);

    // Selects pen, brush and font into the context now (before raw GDI calls on Handle()).
    void Realize() { RequirePen(); RequireBrush(); RequireFont(); }

    // Called with the context before every drawing operation, once the operation's objects are
    // selected; what it throws leaves the operation. Tests make painting fail with it; nothing
    // in the program sets it. Empty removes it.
    using DrawHook = std::function<void(HDC dc)>;
    static void SetDrawHook(DrawHook hook);

private:
    void Drawing();
    void RequirePen();
    void RequireBrush();
    void RequireFont();
    void Restore();

    HDC dc_ = nullptr;
    TColor penColor_ = clBlack;
    int penWidth_ = 1;
    TColor brushColor_ = clWhite;
    TBrushStyle brushStyle_ = TBrushStyle::Solid;
    TFont font_;
    // The objects before their selections: the selections are undone before the objects go.
    ScopedPen pen_;
    ScopedBrush brush_;
    ScopedFont hfont_;
    ScopedBitmap patternBitmap_;
    ScopedSelectObject penSelection_, brushSelection_, fontSelection_;
    bool penDirty_ = true, brushDirty_ = true, fontDirty_ = true;
};

// Paints a control's parent background under the control into a device context that draws for
// the control: the context's origin moves by the control's position, it is clipped to the parent's
// client area, and the parent gets WM_ERASEBKGND and WM_PAINT with the context as first parameter;
// the context's state is restored afterwards. Nothing when the control has no parent.
void PaintParentImage(TControl& control, HDC dc);

}  // namespace tk
