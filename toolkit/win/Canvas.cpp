#include "toolkit/win/Canvas.h"

#include "toolkit/win/Bitmap.h"

namespace tk {

namespace {

TCanvas::DrawHook& CurrentDrawHook() {
    static TCanvas::DrawHook hook;
    return hook;
}

}  // namespace

void TCanvas::SetDrawHook(DrawHook hook) { CurrentDrawHook() = std::move(hook); }

void TCanvas::Drawing() {
    if (const DrawHook& hook = CurrentDrawHook()) hook(dc_);
}

COLORREF ColorToRGB(TColor color) {
    if (color & 0x80000000u) return GetSysColor(static_cast<int>(color & 0xFF));
    return color & 0xFFFFFF;
}

TFont TFont::FromSpec(const TFontSpec& fontSpec) {
    TFont f;
    f.Name = fontSpec.Name;
    f.Height = fontSpec.Height;
    f.Color = fontSpec.Color;
    f.Bold = fontSpec.Bold;
    return f;
}

LOGFONTW TFont::ToLogFont() const {
    LOGFONTW lf{};
    lf.lfHeight = Height;
    lf.lfWeight = Bold ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = Italic;
    lf.lfUnderline = Underline;
    lf.lfStrikeOut = StrikeOut;
    lf.lfCharSet = Charset;
    lf.lfQuality = DEFAULT_QUALITY;
    lstrcpynW(lf.lfFaceName, Name.c_str(), LF_FACESIZE);
    return lf;
}

TFont TFont::FromLogFont(const LOGFONTW& lf, TColor color) {
    TFont f;
    f.Name = lf.lfFaceName;
    f.Height = lf.lfHeight;
    f.Color = color;
    f.Bold = lf.lfWeight >= FW_BOLD;
    f.Italic = lf.lfItalic != 0;
    f.Underline = lf.lfUnderline != 0;
    f.StrikeOut = lf.lfStrikeOut != 0;
    f.Charset = lf.lfCharSet;
    return f;
}

TCanvas::TCanvas(HDC dc) : dc_(dc) {}

TCanvas::~TCanvas() = default;

void TCanvas::Restore() {
    penSelection_.Restore();
    brushSelection_.Restore();
    fontSelection_.Restore();
    penDirty_ = brushDirty_ = fontDirty_ = true;
}

void TCanvas::SetHandle(HDC dc) {
    if (dc == dc_) return;
    Restore();
    dc_ = dc;
}

void TCanvas::SetPenColor(TColor color) {
    if (color != penColor_) penDirty_ = true;
    penColor_ = color;
}

void TCanvas::SetPenWidth(int width) {
    if (width != penWidth_) penDirty_ = true;
    penWidth_ = width;
}

void TCanvas::SetBrushColor(TColor color) {
    if (color != brushColor_ || brushStyle_ != TBrushStyle::Solid || patternBitmap_) brushDirty_ = true;
    brushColor_ = color;
    brushStyle_ = TBrushStyle::Solid;
    patternBitmap_.reset();
}

void TCanvas::SetBrushStyle(TBrushStyle style) {
    if (style != brushStyle_) brushDirty_ = true;
    brushStyle_ = style;
}

void TCanvas::SetBrushBitmap(TBitmap* bitmap) {
    patternBitmap_.reset();
    if (bitmap && !bitmap->Empty())
        patternBitmap_.reset(static_cast<HBITMAP>(CopyImage(bitmap->Handle(), IMAGE_BITMAP, 0, 0, 0)));
    brushStyle_ = TBrushStyle::Solid;
    brushDirty_ = true;
}

void TCanvas::SetFont(const TFont& font) {
    if (!(font == font_)) fontDirty_ = true;
    font_ = font;
}

void TCanvas::SetFontColor(TColor color) { font_.Color = color; }

void TCanvas::RequirePen() {
    if (!dc_ || !penDirty_) return;
    ScopedPen pen(CreatePen(PS_SOLID, penWidth_, ColorToRGB(penColor_)));
    penSelection_.Select(dc_, pen.get());
    pen_ = std::move(pen);  // the pen it replaces is no longer selected: it goes
    penDirty_ = false;
}

void TCanvas::RequireBrush() {
    if (!dc_ || !brushDirty_) return;
    ScopedBrush brush;
    if (brushStyle_ == TBrushStyle::Clear)
        brush.reset();
    else if (patternBitmap_)
        brush.reset(CreatePatternBrush(patternBitmap_.get()));
    else
        brush.reset(CreateSolidBrush(ColorToRGB(brushColor_)));
    brushSelection_.Select(dc_, brush ? static_cast<HGDIOBJ>(brush.get()) : GetStockObject(NULL_BRUSH));
    brush_ = std::move(brush);
    brushDirty_ = false;
}

void TCanvas::RequireFont() {
    if (!dc_) return;
    if (fontDirty_) {
        const LOGFONTW lf = font_.ToLogFont();
        ScopedFont font(CreateFontIndirectW(&lf));
        fontSelection_.Select(dc_, font.get());
        hfont_ = std::move(font);
        fontDirty_ = false;
    }
    SetTextColor(dc_, ColorToRGB(font_.Color));
    if (brushStyle_ == TBrushStyle::Clear || patternBitmap_) {
        SetBkMode(dc_, TRANSPARENT);
    } else {
        SetBkMode(dc_, OPAQUE);
        SetBkColor(dc_, ColorToRGB(brushColor_));
    }
}

void TCanvas::FillRect(const TRect& r) {
    if (!dc_) return;
    RequireBrush();
    if (!brush_) return;
    Drawing();
    RECT rc{r.Left, r.Top, r.Right, r.Bottom};
    ::FillRect(dc_, &rc, brush_.get());
}

void TCanvas::FrameRect(const TRect& r) {
    if (!dc_) return;
    RequireBrush();
    if (!brush_) return;
    Drawing();
    RECT rc{r.Left, r.Top, r.Right, r.Bottom};
    ::FrameRect(dc_, &rc, brush_.get());
}

void TCanvas::MoveTo(int x, int y) {
    if (dc_) MoveToEx(dc_, x, y, nullptr);
}

void TCanvas::LineTo(int x, int y) {
    if (!dc_) return;
    RequirePen();
    Drawing();
    ::LineTo(dc_, x, y);
}

void TCanvas::Polyline(std::initializer_list<POINT> points) {
    if (!dc_ || points.size() == 0) return;
    RequirePen();
    Drawing();
    ::Polyline(dc_, points.begin(), static_cast<int>(points.size()));
}

void TCanvas::Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
    if (!dc_) return;
    RequirePen();
    Drawing();
    ::Arc(dc_, x1, y1, x2, y2, x3, y3, x4, y4);
}

void TCanvas::TextOut(int x, int y, const std::wstring& text) {
    if (!dc_) return;
    RequireBrush();
    RequireFont();
    Drawing();
    ::TextOutW(dc_, x, y, text.c_str(), static_cast<int>(text.size()));
}

SIZE TCanvas::TextExtent(const std::wstring& text) {
    SIZE size{0, 0};
    if (!dc_) return size;
    RequireFont();
    GetTextExtentPoint32W(dc_, text.c_str(), static_cast<int>(text.size()), &size);
    return size;
}

int TCanvas::DrawText(const std::wstring& text, TRect& r, UINT flags) {
    if (!dc_) return 0;
    RequireBrush();
    RequireFont();
    if (!(flags & DT_CALCRECT)) Drawing();
    RECT rc{r.Left, r.Top, r.Right, r.Bottom};
    const int height = ::DrawTextW(dc_, text.c_str(), static_cast<int>(text.size()), &rc, flags);
    r = {rc.left, rc.top, rc.right, rc.bottom};
    return height;
}

std::uint32_t TCanvas::Pixel(int x, int y) const {
    if (!dc_) return 0;
    GdiFlush();
    return ::GetPixel(dc_, x, y);
}

void TCanvas::SetPixel(int x, int y, TColor color) {
    if (dc_) ::SetPixelV(dc_, x, y, ColorToRGB(color));
}

void TCanvas::CopyRect(const TRect& dest, const TCanvas& source, const TRect& sourceRect, DWORD rop) {
    if (!dc_ || !source.dc_) return;
    Drawing();
    if (dest.Width() == sourceRect.Width() && dest.Height() == sourceRect.Height()) {
        BitBlt(dc_, dest.Left, dest.Top, dest.Width(), dest.Height(), source.dc_, sourceRect.Left, sourceRect.Top, rop);
    } else {
        const int oldMode = SetStretchBltMode(dc_, COLORONCOLOR);
        StretchBlt(dc_, dest.Left, dest.Top, dest.Width(), dest.Height(), source.dc_, sourceRect.Left,
                   sourceRect.Top, sourceRect.Width(), sourceRect.Height(), rop);
        SetStretchBltMode(dc_, oldMode);
    }
}

void TCanvas::Draw(int x, int y, TBitmap& bitmap) {
    StretchDraw({x, y, x + bitmap.Width(), y + bitmap.Height()}, bitmap);
}

void TCanvas::StretchDraw(const TRect& r, TBitmap& bitmap) {
    if (!dc_ || bitmap.Empty() || r.Width() <= 0 || r.Height() <= 0) return;
    HDC src = bitmap.Dc();
    Drawing();
    if (bitmap.Transparent()) {
        TransparentBlt(dc_, r.Left, r.Top, r.Width(), r.Height(), src, 0, 0, bitmap.Width(), bitmap.Height(),
                       ColorToRGB(bitmap.TransparentColor()));
    } else if (r.Width() == bitmap.Width() && r.Height() == bitmap.Height()) {
        BitBlt(dc_, r.Left, r.Top, r.Width(), r.Height(), src, 0, 0, SRCCOPY);
    } else {
        const int oldMode = SetStretchBltMode(dc_, COLORONCOLOR);
        StretchBlt(dc_, r.Left, r.Top, r.Width(), r.Height(), src, 0, 0, bitmap.Width(), bitmap.Height(), SRCCOPY);
        SetStretchBltMode(dc_, oldMode);
    }
}

void PaintParentImage(TControl& control, HDC dc) {
    TWinControl* parent = control.Parent();
    if (!parent || !dc) return;
    HWND window = parent->Handle();
    ScopedSaveDC saved(dc);
    POINT origin;
    GetViewportOrgEx(dc, &origin);
    SetViewportOrgEx(dc, origin.x - control.Left(), origin.y - control.Top(), nullptr);
    RECT client{};
    GetClientRect(window, &client);
    IntersectClipRect(dc, 0, 0, client.right, client.bottom);
    SendMessageW(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    SendMessageW(window, WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
}

}  // namespace tk
